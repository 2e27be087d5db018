#pragma once

// The hairline: where the forehead's skin gives way to hair going up, on the midline (P3) and
// at the forehead's ends (P1, P2). Plain C++ on the face chip.

#include "face_chip.hpp"
#include "face_fit.hpp"

#include <optional>
#include <span>

namespace veidora::facefit {

// Where skin ends going up a profile: skin[i] is the share of skin in the i-th row above the
// start. The end is where the share falls below a half and stays low for `run` rows, so a
// shadow or a shine narrower than that is crossed. In rows, the crossing interpolated; nullopt
// when the profile does not start on skin (hair or a hat down to the brows) or the skin does not
// end for good within it.
std::optional<double> skinEnd(std::span<const float> skin, int run);
// Whether the first half run of the profile is mostly skin.
bool startsOnSkin(std::span<const float> skin, int run);

struct HairlinePoints {
    std::optional<Point> left;  // P1
    std::optional<Point> right; // P2
    std::optional<Point> top;   // P3
};

// `estimate`: the landmarks fitted from the face points, which say which columns to read. The
// hairline counts as shown only where skin gives way to hair like that at the temples: not to
// the background (a bald or shaved head), not to a hat. In picture pixels.
HairlinePoints findHairline(const Chip& chip, const Pixels& px, const Frame& fr,
                            const FacePoints& face, const FrontPoints& estimate);

} // namespace veidora::facefit
