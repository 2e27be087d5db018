#include "photo_drop.hpp"

#include "error_handler.hpp"
#include "face_page.hpp"
#include "photo_source.hpp"

#include <QDropEvent>
#include <QMimeData>
#include <QWidget>

#include <algorithm>

PhotoDrop::PhotoDrop(PhotoLoader* loader, std::vector<FacePage*> pages, QObject* parent)
    : QObject(parent), m_loader(loader), m_pages(std::move(pages)) {
    // The page takes the drops of everything on it: none of its controls takes any itself.
    for (FacePage* page : m_pages) {
        page->tab()->setAcceptDrops(true);
        page->tab()->installEventFilter(this);
    }
}

QString PhotoDrop::dataName() {
    return QStringLiteral("nutempta nuotrauka");
}

bool PhotoDrop::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return QObject::eventFilter(watched, event);
    auto* drop = static_cast<QDropEvent*>(event); // the drag events derive from it
    // Always a copy: a file manager must never take a move as leave to delete the file.
    const bool taken = drop->mimeData() && (drop->possibleActions() & Qt::CopyAction) &&
                       PhotoSource::offers(*drop->mimeData());
    if (!taken) {
        drop->ignore();
        return true;
    }
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    if (type == QEvent::Drop) {
        const auto page = std::find_if(m_pages.begin(), m_pages.end(),
                                       [watched](FacePage* p) { return p->tab() == watched; });
        if (page != m_pages.end())
            veidora::ui::guarded((*page)->tab()->window(), [&] {
                PhotoSource source = PhotoSource::from(*drop->mimeData(), dataName());
                if (source.kind == PhotoSource::Nothing) { // a picture that came empty
                    source.kind = PhotoSource::Data;
                    source.name = dataName();
                }
                source.open(*m_loader, **page);
            });
    }
    return true;
}
