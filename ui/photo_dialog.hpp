#pragma once

#include <QString>

class QWidget;

// The open-file dialog for photos: JPEG, PNG, GIF and BMP, named by the filter below.
class PhotoDialog {
public:
    static const char* const kFilter;
    // "description | *.a; *.b" as Qt's dialog takes it: "description (*.a *.b)".
    static QString qtNameFilter(const QString& filter);
    // The file the user chose, or "" when the dialog was cancelled.
    static QString choose(QWidget* parent);
};
