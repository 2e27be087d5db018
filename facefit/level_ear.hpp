#pragma once

// The ear's opening on a profile: the dark hollow just behind the tragus, read from a patch
// resampled in the head's frame (level_frame.hpp) round where the ear lies. Plain C++.

#include "level_frame.hpp"

#include <optional>

namespace veidora::facefit::level {

// In frame coordinates; nullopt when no dark hollow ringed by skin shows there (the ear
// under hair, a shadowed or blurred ear).
std::optional<Point> findEarOpening(const ImageView& picture, const Frame& frame);

} // namespace veidora::facefit::level
