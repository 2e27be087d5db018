#include "landmark_search.hpp"

#include <QtConcurrent>

LandmarkSearch::LandmarkSearch(QObject* parent)
    : QObject(parent), m_watcher(new QFutureWatcher<Outcome>(this)) {
    connect(m_watcher, &QFutureWatcher<Outcome>::finished, this, [this] {
        const quint64 generation = m_watcher->property("generation").toULongLong();
        if (generation != m_generation)
            return; // dropped: a newer photo or search came
        const QImage searched = m_watcher->property("picture").value<QImage>();
        setRunning(false);
        emit finished(m_watcher->result(), searched);
    });
}

LandmarkSearch::~LandmarkSearch() = default;

void LandmarkSearch::start(const QImage& picture) {
    ++m_generation;
    m_watcher->setProperty("generation", QVariant::fromValue(m_generation));
    m_watcher->setProperty("picture", picture);
    m_watcher->setFuture(QtConcurrent::run(m_override ? m_override : job(), picture));
    setRunning(true);
}

void LandmarkSearch::drop() {
    ++m_generation;
    setRunning(false);
}

void LandmarkSearch::setRunning(bool running) {
    if (running == m_running)
        return;
    m_running = running;
    emit runningChanged(running);
}
