#pragma once

// The ear's outline on a profile: the helix, a long C-shaped rim open towards the face, found
// in the head's frame (level_frame.hpp) as the ellipse its edges agree on. Plain C++.

#include "level_frame.hpp"

#include <optional>

namespace veidora::facefit::level {

struct EarOutline {
    Point centre;        // frame units
    double scale = 0;    // the ear's size against a typical adult's
    double strength = 0; // the edges' agreement at the centre against their spread elsewhere
};

// nullopt when no rim stands out behind the cheek (the ear under hair, no ear in the picture).
std::optional<EarOutline> findEarOutline(const ImageView& picture, const Frame& frame);

// A typical adult ear's half width (back to front) and half height (frame units).
inline constexpr double kEarHalfWidth = 0.15;
inline constexpr double kEarHalfHeight = 0.25;

} // namespace veidora::facefit::level
