#pragma once

// The nostril wings (P19, P20): each wing's outer edge, where the groove between the wing and
// the cheek rises to the cheek's brightness. Plain C++.

#include "face_chip.hpp"
#include "face_fit.hpp"

#include <optional>

namespace veidora::facefit {

struct WingPoints {
    std::optional<Point> left;  // P19
    std::optional<Point> right; // P20
};

// Across the nose at the wings' height (0.89 of the way from the root P16 to the base P15, as
// on the sample face), near where the estimate puts them. In picture pixels; a wing whose
// groove shows no clear rise to the cheek is left out.
WingPoints findWings(const Pixels& px, const Frame& fr, const FrontPoints& estimate);

} // namespace veidora::facefit
