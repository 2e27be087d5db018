#pragma once

#include "face_fit.hpp"

#include <QFutureWatcher>
#include <QImage>
#include <QObject>
#include <QString>

#include <exception>
#include <functional>
#include <optional>
#include <vector>

// A search for a page's landmarks on a photo, off the GUI thread. Only the newest search
// reports; a search for a photo that was replaced meanwhile is dropped.
class LandmarkSearch : public QObject {
    Q_OBJECT
public:
    struct Outcome {
        enum Kind { Found, NotFound, Failed } kind = NotFound;
        // In the searched picture's pixels, one for each landmark (for Found).
        std::vector<veidora::facefit::Point> points;
        std::vector<bool> found; // read on the photo; false: only estimated
        bool mirror = false;     // the photo is to be mirrored before the points are placed
        // Whether the search looks for a line that is level on an upright face (levelling.hpp),
        // and that line's slope in degrees on the searched picture; nullopt where it could not
        // see the line.
        bool levels = false;
        std::optional<double> slope;
        QString message; // for Failed: the error box's whole text
    };
    // The work of one search; runs on a worker thread and must not throw.
    using Job = std::function<Outcome(const QImage& picture)>;

    explicit LandmarkSearch(QObject* parent);
    ~LandmarkSearch() override;

    // This search's own work, with its settings as they are now.
    virtual Job job() const = 0;
    // Prepares what the first search needs, in the background, where that is slow.
    virtual void preload() {}

    // Searches `picture` (shared, not copied); `finished` follows on this thread.
    void start(const QImage& picture);
    // The running search's result will be dropped.
    void drop();
    bool isRunning() const { return m_running; }

    // Runs a search's `work` so that nothing it throws escapes: an exception becomes a Failed
    // outcome, worded by `failed` from what went wrong.
    template <class Work> static Outcome safely(Work&& work, QString (*failed)(const QString&)) {
        Outcome out;
        try {
            out = work();
        } catch (const std::exception& e) {
            out = {};
            out.kind = Outcome::Failed;
            out.message = failed(QString::fromLocal8Bit(e.what()));
        } catch (...) {
            out = {};
            out.kind = Outcome::Failed;
            out.message = failed({});
        }
        return out;
    }

    // What runs instead of job() (tests hold a search back with it); empty: job().
    void setJobOverride(Job job) { m_override = std::move(job); }

signals:
    void finished(const LandmarkSearch::Outcome& outcome, const QImage& searched);
    void runningChanged(bool running);

private:
    void setRunning(bool running);

    Job m_override;
    QFutureWatcher<Outcome>* m_watcher;
    quint64 m_generation = 0;
    bool m_running = false;
};
