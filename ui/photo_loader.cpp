#include "photo_loader.hpp"

#include "error_handler.hpp"
#include "photo.hpp"

#include <QFutureWatcher>
#include <QStackedWidget>
#include <QtConcurrent>

namespace {

// The page the picture is on: the busy cursor shows over it, not over the whole window.
QWidget* pageOf(QWidget* w) {
    while (w->parentWidget() && !qobject_cast<QStackedWidget*>(w->parentWidget()))
        w = w->parentWidget();
    return w;
}

} // namespace

PhotoLoader::PhotoLoader(QObject* parent) : QObject(parent) {}

void PhotoLoader::load(TImage* target, const QString& path, QSize bound) {
    start(target, path, [path, bound, read = m_reader] {
        return read ? read(path, bound) : veidora::ui::loadPhoto(path, bound);
    });
}

void PhotoLoader::loadData(TImage* target, const QByteArray& bytes, const QString& name,
                           QSize bound) {
    start(target, name,
          [bytes, name, bound] { return veidora::ui::decodePhoto(bytes, name, bound); });
}

void PhotoLoader::loadImage(TImage* target, const QImage& image, const QString& name, QSize bound) {
    start(target, name,
          [image, name, bound] { return veidora::ui::reducePhoto(image, name, bound); });
}

void PhotoLoader::start(TImage* target, const QString& path,
                        std::function<veidora::ui::PhotoLoad()> read) {
    const quint64 ticket = ++m_next;
    m_latest.insert(target, ticket);
    QWidget* page = pageOf(target);
    if (m_busy[page]++ == 0)
        page->setCursor(Qt::BusyCursor);
    ++m_pending;

    auto* watcher = new QFutureWatcher<veidora::ui::PhotoLoad>(this);
    connect(watcher, &QFutureWatcher<veidora::ui::PhotoLoad>::finished, this,
            [this, watcher, ticket, path, to = QPointer<TImage>(target), key = target,
             over = QPointer<QWidget>(page)] {
                watcher->deleteLater();
                --m_pending;
                if (over && --m_busy[over] == 0)
                    over->unsetCursor();
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
    watcher->setFuture(QtConcurrent::run([path, read = std::move(read)]() noexcept {
        try {
            return read();
        } catch (...) { // out of memory, most likely: the same as an unreadable file
            veidora::ui::PhotoLoad failed;
            failed.error = veidora::ui::loadFailedMessage(path);
            return failed;
        }
    }));
}
