#include "photo.hpp"

#include "sample_art.hpp"

#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QSvgRenderer>
#include <QTransform>
#include <QWindow>

#include <cmath>
#include <mutex>

namespace veidora::ui {

namespace {

// libjpeg reports a truncated file only as a warning and hands back a half-grey picture.
// The warning comes on the thread that reads, so each thread notes its own while it reads a
// photo; photos may be read on several threads at once.
thread_local bool t_reading = false;
thread_local bool t_corrupt = false;
QtMessageHandler g_previous = nullptr;

void catchDecoderWarnings(QtMsgType type, const QMessageLogContext& context, const QString& msg) {
    if (t_reading && type == QtWarningMsg &&
        (msg.contains(QLatin1String("Corrupt JPEG data")) ||
         msg.contains(QLatin1String("Premature end of JPEG file")))) {
        t_corrupt = true;
        return;
    }
    if (g_previous)
        g_previous(type, context, msg);
}

// Installed once, in front of whatever handler there was.
void watchDecoderWarnings() {
    static std::once_flag once;
    std::call_once(once, [] { g_previous = qInstallMessageHandler(catchDecoderWarnings); });
}

QString failed(const QString& path) {
    return loadFailedMessage(path);
}

QSize fitInside(QSize size, QSize bound) {
    if (size.width() <= bound.width() && size.height() <= bound.height())
        return size;
    return size.scaled(bound, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

} // namespace

QString loadFailedMessage(const QString& path) {
    return QStringLiteral("Loading bitmap failed (%1).").arg(path);
}

PhotoLoad loadPhoto(const QString& path, QSize bound) {
    // Qt refuses pictures over 128 MB by default; large photos are fine as long as the declared
    // size passes the check below.
    QImageReader::setAllocationLimit(kAllocationLimitMb);
    PhotoLoad out;
    QImageReader reader(path);
    reader.setAutoTransform(true);
    reader.setDecideFormatFromContent(true);
    if (!reader.canRead()) {
        out.error = failed(path);
        return out;
    }
    const QSize stored = reader.size();
    if (!stored.isValid() || qint64(stored.width()) * stored.height() > kMaxPhotoPixels) {
        out.error = failed(path);
        return out;
    }
    // The scaled size applies before the EXIF turn; a quarter turn swaps the bound.
    const bool quarterTurn = reader.transformation() & QImageIOHandler::TransformationRotate90;
    const QSize storedBound = quarterTurn ? bound.transposed() : bound;
    const QSize target = fitInside(stored, storedBound);
    if (target != stored)
        reader.setScaledSize(target);

    watchDecoderWarnings();
    t_corrupt = false;
    QImage image;
    {
        struct Reading {
            Reading() { t_reading = true; }
            ~Reading() { t_reading = false; }
        } reading;
        image = reader.read();
    }

    if (image.isNull() || t_corrupt) {
        out.error = failed(path);
        return out;
    }
    out.original = quarterTurn ? stored.transposed() : stored;
    out.image = std::move(image);
    return out;
}

} // namespace veidora::ui

TImage::TImage(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

TImage::~TImage() = default;

void TImage::setBox(const QRect& box) {
    m_box = box;
    relayout();
    rebuildCache();
}

void TImage::setBitmap(const QImage& image) {
    m_bitmap = image;
    m_svg.clear();
    m_renderer.reset();
    rebuildCache();
    emit BitmapChanged();
}

void TImage::setSvg(const QString& resource) {
    m_renderer.reset();
    m_svg = resource;
    m_svgSize = SampleArt::defaultSize(resource);
    m_bitmap = QImage(); // rendered when first asked for; the screen needs only the fitted size
    rebuildCache();
}

const QImage& TImage::Bitmap() const {
    // The bitmap stands for the drawing at its own size, as a loaded picture would.
    if (!m_svg.isEmpty() && m_bitmap.isNull() && !m_svgSize.isEmpty())
        m_bitmap = SampleArt::image(m_svg, m_svgSize);
    return m_bitmap;
}

void TImage::mirror() {
    if (Bitmap().isNull())
        return;
    m_bitmap.mirror(true, false);
    m_svg.clear(); // the mirrored pixels are the picture now
    m_renderer.reset();
    rebuildCache();
    emit BitmapChanged();
}

void TImage::setRotationAngle(double degrees) {
    if (degrees == m_angle)
        return;
    m_angle = degrees;
    relayout();
    update();
}

QSize TImage::decodeBound() const {
    const qreal dpr = window() && window()->windowHandle()
                          ? window()->windowHandle()->devicePixelRatio()
                          : devicePixelRatioF();
    return (QSizeF(m_box.size()) * dpr * 4).toSize();
}

QRectF TImage::fittedRect() const {
    if (pictureSize().isEmpty() || m_box.isEmpty())
        return {};
    const QSizeF fitted = QSizeF(pictureSize()).scaled(QSizeF(m_box.size()), Qt::KeepAspectRatio);
    return {QPointF((m_box.width() - fitted.width()) / 2, (m_box.height() - fitted.height()) / 2),
            fitted};
}

void TImage::relayout() {
    // Grow around the box by the turned box's overhang, so nothing of the picture is cut.
    QTransform turn;
    turn.rotate(m_angle);
    const QRectF local(-m_box.width() / 2.0, -m_box.height() / 2.0, m_box.width(), m_box.height());
    const QRectF turned = turn.mapRect(local).translated(QRectF(m_box).center());
    setGeometry(turned.toAlignedRect().united(m_box));
}

void TImage::rebuildCache() {
    const QRectF fitted = fittedRect();
    if (fitted.isEmpty()) {
        m_cache = QPixmap();
        update();
        return;
    }
    const qreal dpr = devicePixelRatioF();
    const QSize device = (fitted.size() * dpr).toSize().expandedTo(QSize(1, 1));
    QImage scaled;
    if (!m_svg.isEmpty()) {
        scaled = SampleArt::image(m_svg, device);
    } else {
        scaled = m_bitmap.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    m_cache = QPixmap::fromImage(scaled);
    m_cache.setDevicePixelRatio(dpr);
    update();
}

void TImage::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ScreenChangeInternal)
        rebuildCache();
}

void TImage::paintEvent(QPaintEvent*) {
    if (m_cache.isNull())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF centre = QRectF(m_box).center() - QPointF(x(), y());
    p.translate(centre);
    p.rotate(m_angle);
    const QRectF fitted = fittedRect();
    p.drawPixmap(QPointF(fitted.left() - m_box.width() / 2.0, fitted.top() - m_box.height() / 2.0),
                 m_cache);
}

void TImage::paintDetail(QPainter& p) const {
    const QRectF fitted = fittedRect();
    if (fitted.isEmpty())
        return;
    p.save();
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(QRectF(m_box).center());
    p.rotate(m_angle);
    const QRectF target = fitted.translated(-m_box.width() / 2.0, -m_box.height() / 2.0);
    if (!m_svg.isEmpty()) {
        if (!m_renderer)
            m_renderer = std::make_unique<QSvgRenderer>(m_svg);
        m_renderer->render(&p, target);
    } else {
        p.drawImage(target, m_bitmap);
    }
    p.restore();
}
