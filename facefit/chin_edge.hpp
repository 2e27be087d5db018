#pragma once

// The chin's lowest point on the skin's edge, below which the neck lies in the chin's shadow.
// Plain C++ on a plain pixel buffer.

#include "face_chip.hpp"
#include "face_fit.hpp"

#include <optional>
#include <span>

namespace veidora::facefit {

// Where brightness falls most going down a profile of rows: between the `half` rows above and
// the `half` rows below whose means differ most, where the rows cross half way between the two
// (in rows, interpolated). nullopt when that fall is less than `leastShare` of the brightness
// above it (no edge).
std::optional<double> steepestFall(std::span<const float> luma, int half, float leastShare);

// The model's chin point `chin` moved down the face's midline onto the edge where the lit skin
// of the chin gives way to the shadow or the neck below, looked for a short way below it. In
// picture pixels; nullopt where the point lies on that edge already or no clear edge lies
// within that reach (a beard, a soft light): then the model's point stands.
std::optional<Point> findChinEdge(const Pixels& px, const Frame& fr, Point chin);

} // namespace veidora::facefit
