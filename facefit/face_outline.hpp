#pragma once

// The face's outline at the heights the sample face marks it: the cheeks (P13, P14) at the
// cheekbone and the lower jaw (P21, P22) at the bottom of the lower lip. The model's jaw points
// say where to look; the jaw is then moved towards the skin's edge against what lies beyond it,
// the cheeks onto the end of the brightness's fall at the face's side.

#include "face_chip.hpp"
#include "face_fit.hpp"
#include "skin_model.hpp"

#include <optional>
#include <span>

namespace veidora::facefit {

struct OutlinePoints {
    Point cheekLeft;  // P13
    Point cheekRight; // P14
    Point jawLeft;    // P21
    Point jawRight;   // P22
};

// Where the model's jaw line (points 0..16) crosses the height `y` (face units) on the left
// (side < 0) or right side, in face units; nullopt when that side does not reach the height.
std::optional<Point> jawLineAt(const Frame& fr, const FacePoints& face, double y, int side);

// The four outline landmarks in picture pixels; `skin` the face's own (nullopt: the model's
// jaw line as it is), `backdrop` the colours behind the head (backgrounds()).
OutlinePoints findOutline(const Pixels& px, const Frame& fr, const FacePoints& face,
                          const std::optional<SkinModel>& skin, std::span<const Shade> backdrop);

} // namespace veidora::facefit
