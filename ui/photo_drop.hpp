#pragma once

#include <QObject>

#include <vector>

class FacePage;
class PhotoLoader;

// A photo file dropped anywhere on a page opens into that page, as if chosen in the dialog;
// so does a picture dragged from another program. While something is dragged over a page, the
// cursor shows whether the page would take it.
class PhotoDrop : public QObject {
    Q_OBJECT
public:
    PhotoDrop(PhotoLoader* loader, std::vector<FacePage*> pages, QObject* parent);

    // What stands for a dropped picture that is no file in the error box.
    static QString dataName();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    PhotoLoader* m_loader;
    std::vector<FacePage*> m_pages;
};
