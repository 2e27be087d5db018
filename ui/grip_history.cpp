#include "grip_history.hpp"

#include "controls.hpp"
#include "landmark_set.hpp"
#include "selection_point.hpp"

#include <QElapsedTimer>
#include <QUndoCommand>
#include <QUndoStack>

#include <algorithm>

namespace {

constexpr int kKeyRunId = 1;

class MoveGripsCommand : public QUndoCommand {
public:
    using Show = GripHistory::Show;

    MoveGripsCommand(const QString& text, std::vector<GripHistory::Move> moves,
                     GripHistory::Turn turn, bool byKey, qint64 time, Show show)
        : QUndoCommand(text), m_moves(std::move(moves)), m_turn(std::move(turn)), m_byKey(byKey),
          m_last(time), m_show(std::move(show)) {}

    int id() const override { return m_byKey ? kKeyRunId : -1; }

    bool mergeWith(const QUndoCommand* other) override {
        const auto* next = static_cast<const MoveGripsCommand*>(other);
        if (m_moves.size() != 1 || next->m_moves.size() != 1 || m_turn.tilt || next->m_turn.tilt ||
            m_moves[0].set != next->m_moves[0].set || m_moves[0].index != next->m_moves[0].index ||
            next->m_last - m_last >= GripHistory::kKeyRunPauseMs)
            return false;
        m_moves[0].to = next->m_moves[0].to;
        m_last = next->m_last;
        // Keys that brought the grip back where the run began leave nothing to undo.
        setObsolete(m_moves[0].from == m_moves[0].to);
        return true;
    }

    void undo() override { apply(false); }

    void redo() override {
        if (m_pushed) // the grips already stand where the user put them
            apply(true);
        m_pushed = true;
    }

private:
    void apply(bool forward) {
        // The photo turns first, as the user would turn it before placing the grips.
        if (m_turn.tilt)
            m_turn.tilt->setValue(forward ? m_turn.to : m_turn.from);
        std::vector<LandmarkSet*> sets;
        for (const auto& m : m_moves)
            if (m.set) {
                const GripHistory::Place& p = forward ? m.to : m.from;
                m.set->setPosition(m.index, p.at);
                m.set->setEstimated(m.index, p.estimated);
                if (std::find(sets.begin(), sets.end(), m.set) == sets.end())
                    sets.push_back(m.set);
            }
        if (m_show)
            m_show(sets);
    }

    std::vector<GripHistory::Move> m_moves;
    GripHistory::Turn m_turn;
    bool m_byKey;
    qint64 m_last;
    Show m_show;
    bool m_pushed = false;
};

qint64 monotonicMs() {
    static QElapsedTimer clock = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return clock.elapsed();
}

} // namespace

GripHistory::GripHistory(QObject* parent)
    : QObject(parent), m_stack(new QUndoStack(this)), m_clock(monotonicMs) {}

void GripHistory::push(const QString& text, std::vector<Move> moves, bool byKey, Turn turn) {
    std::erase_if(moves, [](const Move& m) { return !m.set || m.from == m.to; });
    if (turn.tilt && turn.from == turn.to)
        turn = {};
    if (moves.empty() && !turn.tilt)
        return;
    m_stack->push(
        new MoveGripsCommand(text, std::move(moves), std::move(turn), byKey, m_clock(), m_show));
}

void GripHistory::record(const QString& text, const std::vector<LandmarkSet*>& sets,
                         const std::function<void()>& change, TTrackBar* tilt) {
    std::vector<Move> moves;
    for (LandmarkSet* set : sets)
        for (std::size_t i = 0; i < set->size(); ++i)
            moves.push_back({set, i, {set->position(i), set->isEstimated(i)}, {}});
    Turn turn{tilt, tilt ? tilt->Value() : 0, 0};
    change();
    for (auto& m : moves)
        if (m.set)
            m.to = {m.set->position(m.index), m.set->isEstimated(m.index)};
    if (turn.tilt)
        turn.to = turn.tilt->Value();
    push(text, std::move(moves), false, std::move(turn));
}

void GripHistory::recordDrag(TSelectionPoint* grip, Place from, Place to) {
    push(grip->objectName(), {{grip->landmarkSet(), grip->index(), from, to}}, false, {});
}

void GripHistory::recordKey(TSelectionPoint* grip, Place from, Place to) {
    push(grip->objectName(), {{grip->landmarkSet(), grip->index(), from, to}}, true, {});
}

void GripHistory::undo() {
    if (m_busy && m_busy())
        return;
    m_stack->undo();
}

void GripHistory::redo() {
    if (m_busy && m_busy())
        return;
    m_stack->redo();
}
