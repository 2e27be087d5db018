#pragma once

// Whether a silhouette is a head seen from the front: its outline is then nearly its own mirror
// image about an upright (or leaning) axis, while a profile's chin stands out on one side and its
// neck sits towards the back. Plain C++.

#include "profile_fit.hpp"

#include <vector>

namespace veidora::facefit::profile {

// How far the middles of the silhouette's rows stray from the straight line fitted through them,
// from the top of the outline down `depth` (pixels): the root mean square, in pixels. 0 for an
// outline that is its own mirror image about some axis.
double rowMiddleStray(const std::vector<Point>& outline, double depth);

// Whether the silhouette is nearly its own mirror image from the top of the head down past the
// chin: a head seen from the front. `outline` as given or mirrored; `frame` is its picture's.
bool looksFrontal(const std::vector<Point>& outline, const Outline& frame);

} // namespace veidora::facefit::profile
