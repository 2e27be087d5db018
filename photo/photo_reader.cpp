#include "photo_reader.hpp"

#include "image_check.hpp"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <atomic>
#include <mutex>
#include <span>

namespace veidora::ui {

namespace {

// libjpeg reports a truncated or corrupt file only as a warning and hands back a half-grey
// picture. The warning comes on the thread that reads, so each thread notes its own while it
// reads a photo; photos may be read on several threads at once.
thread_local bool t_reading = false;
thread_local bool t_corrupt = false;
QtMessageHandler g_previous = nullptr;
std::atomic<void (*)()> g_afterDecoding{nullptr};

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

QSize fitInside(QSize size, QSize bound) {
    if (size.width() <= bound.width() && size.height() <= bound.height())
        return size;
    return size.scaled(bound, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

// Qt scales a picture of one bit per pixel smoothly into dithered black and white, whatever its
// two colours. Such a picture is thinned out to twice `size`, put in colour, and only then
// scaled smoothly.
QImage oneBitInColour(const QImage& image, QSize size) {
    QImage out = image;
    if (out.width() > 2 * size.width() || out.height() > 2 * size.height())
        out = out.scaled(size * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    out = out.convertToFormat(out.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (!out.isNull() && out.size() != size)
        out = out.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return out;
}

std::span<const unsigned char> bytesOf(const QByteArray& data) {
    return {reinterpret_cast<const unsigned char*>(data.constData()),
            static_cast<std::size_t>(data.size())};
}

// Decodes what `inspection` has vouched for, at the size it allows, and nothing else.
PhotoLoad decodeInspected(QIODevice& device, const image::Inspection& inspection,
                          const QString& name, QSize bound) {
    PhotoLoad out;
    out.error = loadFailedMessage(name);
    if (!inspection.ok() || inspection.largestArea > quint64(kMaxPhotoPixels))
        return out;

    // Qt refuses pictures over 128 MB by default; the budget below is the real bound.
    QImageReader::setAllocationLimit(kAllocationLimitMb);
    QImageReader reader(&device, image::formatName(inspection.format));
    reader.setDecideFormatFromContent(false);
    reader.setAutoTransform(true);

    const QSize stored(static_cast<int>(inspection.width), static_cast<int>(inspection.height));
    // The scaled size applies before the EXIF turn; a quarter turn swaps the bound.
    const bool quarterTurn = reader.transformation() & QImageIOHandler::TransformationRotate90;
    const QSize target = fitInside(stored, quarterTurn ? bound.transposed() : bound);

    // The decoder's working memory, the full picture where it cannot decode smaller (or a
    // reduced one at up to twice the size each way), and the result.
    const quint64 result = quint64(target.width()) * quint64(target.height()) * 4;
    const quint64 decoded = inspection.fullDecodeBytesPerPixel
                                ? quint64(stored.width()) * quint64(stored.height()) *
                                      inspection.fullDecodeBytesPerPixel
                                : result * 4;
    if (inspection.fixedBytes + decoded + result > quint64(kDecodeBudgetBytes))
        return out;
    // The decoders read one bit per pixel whole; scaling it is left to oneBitInColour.
    const bool oneBit = reader.imageFormat() == QImage::Format_Mono ||
                        reader.imageFormat() == QImage::Format_MonoLSB;
    if (target != stored && !oneBit)
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
        if (auto hook = g_afterDecoding.load())
            hook();
    }
    const QSize upright = quarterTurn ? target.transposed() : target;
    const QSize read = oneBit ? (quarterTurn ? stored.transposed() : stored) : upright;
    if (image.isNull() || t_corrupt || image.size() != read)
        return out;
    if (image.depth() < 8)
        image = oneBitInColour(image, upright);
    if (image.isNull())
        return out;
    out.error.clear();
    out.original = quarterTurn ? stored.transposed() : stored;
    out.image = std::move(image);
    return out;
}

} // namespace

void setAfterDecodingHook(void (*hook)()) {
    g_afterDecoding = hook;
}

QString loadFailedMessage(const QString& path) {
    return QStringLiteral("Loading bitmap failed (%1).").arg(path);
}

PhotoLoad loadPhoto(const QString& path, QSize bound) {
    PhotoLoad failed;
    failed.error = loadFailedMessage(path);
    // A pipe, device, socket or folder is never opened: opening a pipe waits for a writer.
    const QFileInfo info(path);
    if (!info.isFile() || info.size() <= 0 || info.size() > kMaxFileBytes)
        return failed;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failed;

    image::Inspection inspection;
    const qint64 size = file.size();
    if (uchar* mapped = file.map(0, size)) {
        inspection = image::inspect({mapped, static_cast<std::size_t>(size)});
        file.unmap(mapped); // the decoder reads the file itself; the mapping would double it
    } else {
        const QByteArray all = file.read(kMaxFileBytes);
        inspection = image::inspect(bytesOf(all));
    }
    if (!file.seek(0))
        return failed;
    return decodeInspected(file, inspection, path, bound);
}

PhotoLoad decodePhoto(const QByteArray& bytes, const QString& name, QSize bound) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return decodeInspected(buffer, image::inspect(bytesOf(bytes)), name, bound);
}

PhotoLoad reducePhoto(const QImage& image, const QString& name, QSize bound) {
    PhotoLoad out;
    out.error = loadFailedMessage(name);
    if (image.isNull() || qint64(image.width()) * image.height() > kMaxPhotoPixels)
        return out;
    const QSize target = fitInside(image.size(), bound);
    const QImage reduced = image.depth() < 8        ? oneBitInColour(image, target)
                           : target == image.size() ? image
                                                    : image.scaled(target, Qt::IgnoreAspectRatio,
                                                                   Qt::SmoothTransformation);
    if (reduced.isNull()) // no memory for it
        return out;
    out.error.clear();
    out.original = image.size();
    out.image = std::move(reduced);
    return out;
}

} // namespace veidora::ui
