#include "sample_art.hpp"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QIconEngine>
#include <QPainter>
#include <QResource>
#include <QStyle>
#include <QStyleOption>
#include <QSvgRenderer>
#include <QXmlStreamReader>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>

namespace {

constexpr quint32 kMagic = 0x56534132; // "VSA2"

struct Header {
    quint32 magic;
    qint32 width, height;         // of the rendering
    qint32 drawWidth, drawHeight; // the drawing's own size
    quint32 opaque;               // 1: every pixel is opaque, the picture is stored as RGB32
    quint32 pad[2];               // 32 bytes, so the rows stay aligned
};
static_assert(sizeof(Header) == 32);

// Renderers for sizes not rendered at build time, one per drawing (GUI thread only).
QSvgRenderer& renderer(const QString& svg) {
    static std::map<QString, std::unique_ptr<QSvgRenderer>> renderers;
    auto& r = renderers[svg];
    if (!r)
        r = std::make_unique<QSvgRenderer>(svg);
    return *r;
}

// What was rendered at build time for one drawing: its own size and the size of each entry.
struct Index {
    QSize drawing;
    QHash<QString, QSize> entries; // resource path -> rendering size
};

const Index& indexFor(const QString& svg) {
    static QHash<QString, Index> indexes;
    if (const auto it = indexes.constFind(svg); it != indexes.constEnd())
        return *it;
    Index index;
    const QString base = SampleArt::storeFolder() + QLatin1Char('/') +
                         QFileInfo(svg).completeBaseName() + QLatin1Char('_');
    QFile file(base + QStringLiteral("index"));
    if (file.open(QIODevice::ReadOnly)) {
        // "<width> <height>" of the drawing, then "<name> <width> <height>" per rendering.
        const QList<QByteArray> lines = file.readAll().split('\n');
        for (const QByteArray& line : lines) {
            const QList<QByteArray> f = line.simplified().split(' ');
            if (f.size() == 2 && index.drawing.isEmpty())
                index.drawing = QSize(f[0].toInt(), f[1].toInt());
            else if (f.size() == 3)
                index.entries.insert(base + QString::fromLatin1(f[0]),
                                     QSize(f[1].toInt(), f[2].toInt()));
        }
    }
    return *indexes.insert(svg, index);
}

int plainLength(QStringView text) {
    if (text.endsWith(QLatin1String("px")))
        text.chop(2);
    bool ok = false;
    const int n = text.toInt(&ok);
    return ok ? n : -1;
}

class SampleIconEngine : public QIconEngine {
public:
    explicit SampleIconEngine(QString svg) : m_svg(std::move(svg)) {}

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
        const QSize own = SampleArt::defaultSize(m_svg);
        return own.isEmpty() ? QSize() : own.scaled(size, Qt::KeepAspectRatio);
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        const QSize device = actualSize(size, mode, state);
        if (device.isEmpty())
            return {};
        const quint64 key = (quint64(quint32(device.width())) << 34) |
                            (quint64(quint32(device.height())) << 4) | quint64(mode);
        if (const auto it = m_cache.constFind(key); it != m_cache.constEnd())
            return *it;
        QPixmap pm = QPixmap::fromImage(SampleArt::image(m_svg, device));
        if (mode != QIcon::Normal && qobject_cast<QApplication*>(QCoreApplication::instance())) {
            QStyleOption opt(0);
            opt.palette = QGuiApplication::palette();
            const QPixmap generated = QApplication::style()->generatedIconPixmap(mode, pm, &opt);
            if (!generated.isNull())
                pm = generated;
        }
        m_cache.insert(key, pm);
        return pm;
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        const qreal dpr = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        QPixmap pm = pixmap((QSizeF(rect.size()) * dpr).toSize(), mode, state);
        pm.setDevicePixelRatio(dpr);
        const QSizeF shown = QSizeF(pm.size()) / dpr;
        painter->drawPixmap(QPointF(rect.x() + (rect.width() - shown.width()) / 2,
                                    rect.y() + (rect.height() - shown.height()) / 2),
                            pm);
    }

    QIconEngine* clone() const override { return new SampleIconEngine(m_svg); }
    QString key() const override { return QStringLiteral("veidora-sample"); }

private:
    QString m_svg;
    QHash<quint64, QPixmap> m_cache;
};

} // namespace

QSize SampleArt::defaultSize(const QString& svg) {
    static QHash<QString, QSize> known;
    if (const auto it = known.constFind(svg); it != known.constEnd())
        return *it;
    QSize size = indexFor(svg).drawing;
    if (size.isEmpty()) { // not rendered at build time: the root element's size
        QFile file(svg);
        if (file.open(QIODevice::ReadOnly)) {
            QXmlStreamReader xml(&file);
            while (!xml.atEnd() && !xml.isStartElement())
                xml.readNext();
            if (xml.isStartElement() && xml.name() == QLatin1String("svg"))
                size = QSize(plainLength(xml.attributes().value(QLatin1String("width"))),
                             plainLength(xml.attributes().value(QLatin1String("height"))));
        }
    }
    // Units, percentages or a size given only by the view box: the SVG module decides.
    if (size.isEmpty())
        size = renderer(svg).defaultSize();
    known.insert(svg, size);
    return size;
}

QImage SampleArt::render(const QString& svg, QSize device) {
    QImage out(device, QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    QPainter p(&out);
    renderer(svg).render(&p);
    return out;
}

QImage SampleArt::image(const QString& svg, QSize device) {
    QImage done = prerendered(svg, device);
    return done.isNull() ? render(svg, device) : done;
}

QImage SampleArt::prerendered(const QString& svg, QSize device) {
    const QString path = indexFor(svg).entries.key(device);
    if (path.isEmpty())
        return {};
    const QResource r(path);
    const bool inPlace = r.compressionAlgorithm() == QResource::NoCompression;
    const QByteArray bytes =
        inPlace
            ? QByteArray::fromRawData(reinterpret_cast<const char*>(r.data()), qsizetype(r.size()))
            : r.uncompressedData();
    Header head{};
    const qsizetype rowBytes = qsizetype(device.width()) * 4;
    if (bytes.size() != qsizetype(sizeof(Header)) + rowBytes * device.height())
        return {};
    std::memcpy(&head, bytes.constData(), sizeof(Header));
    if (head.magic != kMagic || QSize(head.width, head.height) != device)
        return {};
    const auto* pixels = reinterpret_cast<const uchar*>(bytes.constData() + sizeof(Header));
    // An opaque picture is shown as RGB32: given as such, it needs no conversion, nor a copy.
    const QImage::Format format =
        head.opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied;
    if (!inPlace || reinterpret_cast<quintptr>(pixels) % 4 != 0) {
        QImage out(device, format);
        std::memcpy(out.bits(), pixels, size_t(rowBytes * device.height()));
        return out;
    }
    // Stored uncompressed: the picture reads the program's own data, nothing is copied.
    return QImage(pixels, device.width(), device.height(), rowBytes, format);
}

QIcon SampleArt::icon(const QString& svg) {
    return QIcon(new SampleIconEngine(svg));
}

std::vector<SampleArt::Rendering> SampleArt::buildSizes(QSize drawing, QSize box,
                                                        const std::vector<int>& ratios,
                                                        const std::vector<int>& iconSides) {
    std::vector<Rendering> out;
    for (int r : ratios)
        out.push_back({QStringLiteral("sample%1").arg(r),
                       (QSizeF(drawing).scaled(QSizeF(box), Qt::KeepAspectRatio) * r)
                           .toSize()
                           .expandedTo(QSize(1, 1))});
    for (int side : iconSides)
        out.push_back({QStringLiteral("icon%1").arg(side),
                       drawing.scaled(QSize(side, side), Qt::KeepAspectRatio)});
    return out;
}

QByteArray SampleArt::pack(const QImage& image, QSize drawing) {
    const QImage px = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    bool opaque = true;
    for (int y = 0; y < px.height() && opaque; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(px.constScanLine(y));
        opaque = std::all_of(line, line + px.width(), [](QRgb c) { return qAlpha(c) == 255; });
    }
    const Header head{kMagic,           px.width(),      px.height(), drawing.width(),
                      drawing.height(), quint32(opaque), {}};
    QByteArray out(reinterpret_cast<const char*>(&head), sizeof(head));
    for (int y = 0; y < px.height(); ++y)
        out.append(reinterpret_cast<const char*>(px.constScanLine(y)), qsizetype(px.width()) * 4);
    return out;
}
