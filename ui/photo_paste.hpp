#pragma once

#include <QObject>

#include <vector>

class FacePage;
class PhotoLoader;
class QTabWidget;

// Pasting (Ctrl+V): the photo on the clipboard, or a photo file copied there, opens into the
// current page as a dropped one does. With neither there, an information box says so and
// nothing changes.
class PhotoPaste : public QObject {
    Q_OBJECT
public:
    PhotoPaste(QTabWidget* tabs, PhotoLoader* loader, std::vector<FacePage*> pages,
               QObject* parent);

    void paste();

    static QString dataName(); // stands for a pasted picture in the error box
    static QString nothingText();

private:
    QTabWidget* m_tabs;
    PhotoLoader* m_loader;
    std::vector<FacePage*> m_pages;
};
