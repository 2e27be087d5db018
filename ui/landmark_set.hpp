#pragma once

#include "types.hpp"

#include <QObject>
#include <QPointF>

#include <cstddef>
#include <span>
#include <vector>

// One page's landmarks: where each stands and whether it was only estimated there. The grips
// show and edit it; undo, the searches and the measurement read and write it, not the widgets.
// Places are kept in single precision, as the measurement reads them, so a place written here
// is exactly the one measured.
class LandmarkSet : public QObject {
    Q_OBJECT
public:
    LandmarkSet(std::span<const veidora::TPointF> defaults, QObject* parent);

    std::size_t size() const { return m_places.size(); }
    QPointF position(std::size_t i) const { return point(m_places.at(i)); }
    QPointF defaultPosition(std::size_t i) const { return point(m_defaults.at(i)); }
    bool isEstimated(std::size_t i) const { return m_estimated.at(i); }
    // Landmarks away from their place on the sample face.
    int movedCount() const;

    void setPosition(std::size_t i, QPointF place);
    void setEstimated(std::size_t i, bool estimated);
    // Every landmark back on the sample face; the marks stay as they are.
    void reset();

    // The places as the measurement reads them.
    const std::vector<veidora::TPointF>& snapshot() const { return m_places; }

signals:
    // A landmark's place or mark changed.
    void changed(std::size_t index);

private:
    static QPointF point(veidora::TPointF p) { return {p.X, p.Y}; }

    std::vector<veidora::TPointF> m_defaults;
    std::vector<veidora::TPointF> m_places;
    std::vector<bool> m_estimated;
};
