#pragma once

// Where along a head's front arc the nose tip may be when the most forward point is not it:
// full lips or a chin ahead of the nose on a head tilted back, a forelock or a fringe standing
// out over the brow. Plain C++.

#include "profile_arc.hpp"

#include <cstddef>
#include <optional>
#include <vector>

namespace veidora::facefit::profile {

// Every place in the band below the top where a nose tip can lie that stands out of the
// outline above and below it, most forward first, in the picture's frame (still facing left).
std::vector<Point> noseTipCandidates(const FrontArc& arc, double width);

// The forward extreme of the arc nearest `near` (a point of the picture's frame): the same
// feature after the arc was turned again.
std::optional<std::size_t> extremeNear(const FrontArc& arc, Point near, double width);

} // namespace veidora::facefit::profile
