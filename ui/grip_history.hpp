#pragma once

#include "landmark_set.hpp"

#include <QObject>
#include <QPointF>
#include <QPointer>

#include <functional>
#include <vector>

class QUndoStack;
class TSelectionPoint;
class TTrackBar;

// Undo and redo of landmark moves. A step puts landmarks back at exactly the positions they
// had, with their marks as estimates, and touches nothing else; a step that changes nothing is
// not kept.
class GripHistory : public QObject {
    Q_OBJECT
public:
    explicit GripHistory(QObject* parent = nullptr);

    // A landmark's place and whether it was only estimated there.
    struct Place {
        QPointF at;
        bool estimated = false;
        friend bool operator==(const Place&, const Place&) = default;
    };
    struct Move {
        QPointer<LandmarkSet> set;
        std::size_t index = 0;
        Place from;
        Place to;
    };
    // A page's tilt, turned along with the grips.
    struct Turn {
        QPointer<TTrackBar> tilt;
        double from = 0;
        double to = 0;
    };

    // Key presses on one landmark closer together than this make one step.
    static constexpr qint64 kKeyRunPauseMs = 1000;

    QUndoStack* stack() const { return m_stack; }

    // Milliseconds of a monotonic clock; tests set their own.
    void setClock(std::function<qint64()> clock) { m_clock = std::move(clock); }
    // Brings the moved landmarks' sets into view after an undo or redo (the page switch).
    using Show = std::function<void(const std::vector<LandmarkSet*>&)>;
    void setShowGrips(Show show) { m_show = std::move(show); }
    // While this says so, undo and redo wait (a drag is in progress).
    void setBusy(std::function<bool()> busy) { m_busy = std::move(busy); }

    // Runs `change` and keeps what it did to the landmarks of `sets`, and to `tilt` where given,
    // as one step named `text`.
    void record(const QString& text, const std::vector<LandmarkSet*>& sets,
                const std::function<void()>& change, TTrackBar* tilt = nullptr);
    // A finished drag of a grip's landmark, press to release; the step bears the grip's name.
    void recordDrag(TSelectionPoint* grip, Place from, Place to);
    // One key press; presses on the same landmark without a pause join the previous step.
    void recordKey(TSelectionPoint* grip, Place from, Place to);

    void undo();
    void redo();

private:
    void push(const QString& text, std::vector<Move> moves, bool byKey, Turn turn);

    QUndoStack* m_stack;
    std::function<qint64()> m_clock;
    Show m_show;
    std::function<bool()> m_busy;
};
