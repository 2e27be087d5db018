#pragma once

// The ear's opening on a profile: the dark hollow just behind the tragus, at the front of the
// concha inside the ear's outline (level_helix.hpp), read from a patch resampled in the head's
// frame (level_frame.hpp). Plain C++.

#include "level_frame.hpp"

#include <optional>

namespace veidora::facefit::level {

// In frame coordinates; nullopt when no ear's outline or no dark hollow ringed by skin shows
// there (the ear under hair, a shadowed or blurred ear).
std::optional<Point> findEarOpening(const ImageView& picture, const Frame& frame);

} // namespace veidora::facefit::level
