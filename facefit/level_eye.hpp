#pragma once

// The lowest point of the eye's lower lid on a profile, read from a patch resampled in the
// head's frame (level_frame.hpp) round where an adult's eye lies behind the nose's root.
// Plain C++.

#include "level_frame.hpp"

#include <optional>

namespace veidora::facefit::level {

// In frame coordinates; nullopt when no single dark opening of an eye's size shows.
std::optional<Point> findLowerLid(const ImageView& picture, const Frame& frame);

} // namespace veidora::facefit::level
