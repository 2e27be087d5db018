#include "photo.hpp"

#include "sample_art.hpp"

#include <QPainter>
#include <QSvgRenderer>
#include <QTransform>
#include <QWindow>

#include <cmath>

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
