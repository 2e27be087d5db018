#pragma once

#include "face_finder.hpp"

#include <QFutureWatcher>
#include <QImage>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

// Looks for the largest face on a picture off the GUI thread and reports on it, with the 28
// front landmarks placed on it. The landmark model is read once per process, in the
// background, the first time it is wanted.
class FaceSearch : public QObject {
    Q_OBJECT
public:
    struct Outcome {
        enum Kind { Found, NoFace, NoModule, NoModel, Failed } kind = NoFace;
        veidora::facefit::FoundFace face{};
        // In the picture's pixels, each found on it or estimated (for Found).
        veidora::facefit::FrontFinding landmarks{};
        QString message; // why, for NoModule, NoModel and Failed
    };

    explicit FaceSearch(QObject* parent = nullptr);
    ~FaceSearch() override;

    void setModelPath(const QString& path) { m_modelPath = path; }
    QString modelPath() const { return m_modelPath; }
    // Where the finder's module is looked for, in order (see FaceFinderLibrary).
    void setModuleCandidates(const QStringList& paths) { m_modules = paths; }
    QStringList moduleCandidates() const { return m_modules; }

    // Starts reading the model in the background unless it is read or being read.
    void preload();
    // Searches `picture` (shared, not copied); `finished` follows on this thread.
    void start(const QImage& picture);
    // The running search's result will be dropped.
    void drop();
    bool isRunning() const { return m_running; }

    // Runs on a worker thread; never throws.
    static Outcome search(const QStringList& modules, const QString& modelPath,
                          const QImage& picture) noexcept;

    // What a search runs on the worker thread (search unless replaced, as tests do to hold a
    // search back). It must not throw.
    using Runner = std::function<Outcome(const QStringList& modules, const QString& modelPath,
                                         const QImage& picture)>;
    void setRunner(Runner runner) { m_runner = std::move(runner); }

signals:
    void finished(const FaceSearch::Outcome& outcome, const QImage& searched);
    void runningChanged(bool running);

private:
    void setRunning(bool running);

    Runner m_runner;
    QStringList m_modules;
    QString m_modelPath;
    QFutureWatcher<Outcome>* m_watcher = nullptr;
    quint64 m_generation = 0;
    bool m_running = false;
};
