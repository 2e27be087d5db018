#include "photo_loader.hpp"

#include "error_handler.hpp"
#include "photo.hpp"

#include <QFutureWatcher>
#include <QtConcurrent>

PhotoLoader::PhotoLoader(QObject* parent) : QObject(parent) {}

void PhotoLoader::load(TImage* target, const QString& path, QSize bound) {
    const quint64 ticket = ++m_next;
    m_latest.insert(target, ticket);
    if (m_pending++ == 0 && target->window())
        target->window()->setCursor(Qt::BusyCursor);

    auto* watcher = new QFutureWatcher<veidora::ui::PhotoLoad>(this);
    connect(watcher, &QFutureWatcher<veidora::ui::PhotoLoad>::finished, this,
            [this, watcher, ticket, path, to = QPointer<TImage>(target), key = target] {
                watcher->deleteLater();
                if (--m_pending == 0 && to && to->window())
                    to->window()->unsetCursor();
                if (!to || m_latest.value(key) != ticket) {
                    emit finished(to, path); // a newer photo is on its way
                    return;
                }
                m_latest.remove(key);
                const veidora::ui::PhotoLoad loaded = watcher->result();
                if (loaded.image.isNull())
                    veidora::ui::showError(to->window(), loaded.error);
                else
                    to->setBitmap(loaded.image);
                emit finished(to, path);
            });
    watcher->setFuture(QtConcurrent::run([path, bound]() noexcept {
        try {
            return veidora::ui::loadPhoto(path, bound);
        } catch (...) { // out of memory, most likely: the same as an unreadable file
            veidora::ui::PhotoLoad failed;
            failed.error = veidora::ui::loadFailedMessage(path);
            return failed;
        }
    }));
}
