#include "photo_source.hpp"

#include "face_page.hpp"
#include "landmark_page.hpp"
#include "photo.hpp"
#include "photo_loader.hpp"
#include "selection_point.hpp" // the page's grips, held by pointers that check their type

#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

#include <algorithm>

namespace {

// The encoded forms the photo reader decodes, asked for before any other.
constexpr const char* kEncoded[] = {"image/png", "image/jpeg", "image/jpg",
                                    "image/gif", "image/bmp",  "image/x-bmp"};

// As the open-file dialog's filter lists them.
bool looksLikePhoto(const QString& path) {
    static const QStringList suffixes{QStringLiteral("jpg"), QStringLiteral("jpeg"),
                                      QStringLiteral("png"), QStringLiteral("gif"),
                                      QStringLiteral("bmp")};
    return suffixes.contains(QFileInfo(path).suffix(), Qt::CaseInsensitive);
}

} // namespace

bool PhotoSource::offers(const QMimeData& mime) {
    if (mime.hasUrls() || mime.hasImage())
        return true;
    for (const QString& format : mime.formats())
        if (format.startsWith(QLatin1String("image/")))
            return true;
    return false;
}

PhotoSource PhotoSource::from(const QMimeData& mime, const QString& dataName) {
    PhotoSource s;
    const QList<QUrl> urls = mime.hasUrls() ? mime.urls() : QList<QUrl>();
    QString firstFile, firstPhoto;
    for (const QUrl& url : urls) {
        if (!url.isLocalFile())
            continue;
        const QString path = url.toLocalFile();
        if (firstFile.isEmpty())
            firstFile = path;
        if (firstPhoto.isEmpty() && looksLikePhoto(path))
            firstPhoto = path;
    }
    const int others = std::max<int>(0, int(urls.size()) - 1);
    if (!firstFile.isEmpty()) {
        s.kind = File;
        s.name = firstPhoto.isEmpty() ? firstFile : firstPhoto;
        s.skipped = others;
        return s;
    }
    // An encoded picture goes to the photo reader as a file's bytes would: one of another
    // format is refused there, as such a file is, rather than decoded unchecked here.
    QStringList encoded;
    for (const char* format : kEncoded)
        if (mime.hasFormat(QLatin1String(format)))
            encoded << QLatin1String(format);
    for (const QString& format : mime.formats())
        if (format.startsWith(QLatin1String("image/")) && !encoded.contains(format))
            encoded << format;
    for (const QString& format : encoded) {
        if (QByteArray bytes = mime.data(format); !bytes.isEmpty()) {
            s.kind = Data;
            s.name = dataName;
            s.bytes = std::move(bytes);
            return s;
        }
    }
    if (mime.hasImage()) { // a picture handed over within the program
        if (QImage picture = qvariant_cast<QImage>(mime.imageData()); !picture.isNull()) {
            s.kind = Picture;
            s.name = dataName;
            s.picture = std::move(picture);
            return s;
        }
    }
    if (!urls.isEmpty()) {
        s.kind = Data; // no bytes: refused as a file that cannot be read
        s.name = urls.constFirst().toDisplayString(QUrl::RemoveUserInfo);
        s.skipped = others;
    }
    return s;
}

void PhotoSource::open(PhotoLoader& loader, FacePage& page) const {
    TImage* target = page.photo();
    switch (kind) {
    case Nothing:
        return;
    case File:
        loader.load(target, name, target->decodeBound());
        break;
    case Data:
        loader.loadData(target, bytes, name, target->decodeBound());
        break;
    case Picture:
        loader.loadImage(target, picture, name, target->decodeBound());
        break;
    }
    if (skipped > 0)
        page.landmarks()->announce(
            skippedText(kind == File ? QFileInfo(name).fileName() : name, skipped));
}

QString PhotoSource::skippedText(const QString& opened, int skipped) {
    return QStringLiteral("Atidaroma tik „%1“; kitų failų praleista: %2.").arg(opened).arg(skipped);
}
