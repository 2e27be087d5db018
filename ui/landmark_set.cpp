#include "landmark_set.hpp"

using veidora::TPointF;

LandmarkSet::LandmarkSet(std::span<const TPointF> defaults, QObject* parent)
    : QObject(parent), m_defaults(defaults.begin(), defaults.end()), m_places(m_defaults),
      m_estimated(m_defaults.size(), false) {}

int LandmarkSet::movedCount() const {
    int moved = 0;
    for (std::size_t i = 0; i < m_places.size(); ++i)
        moved += m_places[i] != m_defaults[i];
    return moved;
}

void LandmarkSet::setPosition(std::size_t i, QPointF place) {
    const TPointF p{static_cast<float>(place.x()), static_cast<float>(place.y())};
    if (m_places.at(i) == p)
        return;
    m_places[i] = p;
    emit changed(i);
}

void LandmarkSet::setEstimated(std::size_t i, bool estimated) {
    if (m_estimated.at(i) == estimated)
        return;
    m_estimated[i] = estimated;
    emit changed(i);
}

void LandmarkSet::reset() {
    for (std::size_t i = 0; i < m_places.size(); ++i)
        setPosition(i, point(m_defaults[i]));
}
