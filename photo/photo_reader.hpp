#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

namespace veidora::ui {

struct PhotoLoad {
    QImage image;   // null on failure
    QString error;  // the text for the error box on failure
    QSize original; // the picture's own size, upright
};

// Reads a photo for display: upright by its EXIF orientation and decoded no larger than
// `bound` (the decoder's reduced-size decoding is used where the format has one). Only regular
// files are opened. Files that are not JPEG, PNG, GIF or BMP by their content, that are broken,
// truncated or empty, or that declare more pixels or need more memory than allowed give an
// error instead of a picture. Safe to call on any thread.
PhotoLoad loadPhoto(const QString& path, QSize bound);

// The same for a file already in memory; `name` stands for the path in the error text.
PhotoLoad decodePhoto(const QByteArray& bytes, const QString& name, QSize bound);

// The same for a picture already decoded (as the clipboard hands one over): refused as a file
// declaring too many pixels would be, else reduced to fit `bound`.
PhotoLoad reducePhoto(const QImage& image, const QString& name, QSize bound);

// For tests: called on the reading thread right after each decoding, before the decoder's
// warnings are judged (so a test can make two reads overlap there). Not for concurrent use
// with reads under way; nullptr removes it.
void setAfterDecodingHook(void (*hook)());

// The error box's text for a file that cannot be shown.
QString loadFailedMessage(const QString& path);

// Pictures declaring more pixels than this anywhere are refused before decoding.
inline constexpr qint64 kMaxPhotoPixels = 200'000'000;
// What one photo's decoding may take at its peak, and the largest file read at all.
inline constexpr qint64 kDecodeBudgetBytes = 240LL << 20;
inline constexpr qint64 kMaxFileBytes = 256LL << 20;
inline constexpr int kAllocationLimitMb = 256;

} // namespace veidora::ui
