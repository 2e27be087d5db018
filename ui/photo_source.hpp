#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

class FacePage;
class PhotoLoader;
class QMimeData;

// What a drop or the clipboard offers as a photo, chosen as a user means it: a photo file (the
// first one that looks like a photo when there are several), else the picture itself, else the
// first address, which fails as an unreadable file does. Opened through the loader, so it gets
// the dialog's checks, limits and error box.
struct PhotoSource {
    enum Kind { Nothing, File, Data, Picture };
    Kind kind = Nothing;
    QString name;     // the file's path, the address, or `dataName` for a picture
    QByteArray bytes; // Data: the picture as a file holds it (empty for an address)
    QImage picture;   // Picture: already decoded, where no encoded form was offered
    int skipped = 0;  // the other files or addresses offered with it

    // Whether `mime` holds anything from() takes, without fetching the data.
    static bool offers(const QMimeData& mime);
    // `dataName` stands for a picture that is no file in the error box.
    static PhotoSource from(const QMimeData& mime, const QString& dataName);

    // Into the page's photo control; the status bar says what was left out.
    void open(PhotoLoader& loader, FacePage& page) const;

    static QString skippedText(const QString& opened, int skipped);
};
