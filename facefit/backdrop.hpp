#pragma once

// The backdrop behind the head: its colours, read where a portrait shows it plainly, and
// whether a colour is one of them.

#include "face_chip.hpp"
#include "skin_model.hpp"

#include <span>
#include <vector>

namespace veidora::facefit {

// Plain patches beside the head (`midline` in face units) and in the picture's top corners. A
// patch that is not plain (long hair, a shoulder, a busy room), is skin or is out of the picture
// is left out.
std::vector<Shade> backgrounds(const Chip& chip, const Pixels& px, const SkinModel& skin,
                               const Frame& fr, double midline);

// Whether a colour is one of the backdrop's: within 5 levels in Cr and Cb and 15 % in
// brightness.
bool isBackdrop(const Shade& s, std::span<const Shade> backdrop);

} // namespace veidora::facefit
