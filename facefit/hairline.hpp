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

// One column of a traced hairline: `x` its distance from the midline, `y` the edge's height
// where the column shows one, `covered` whether hair reaches down past the column's start.
struct TracedColumn {
    double x = 0;
    std::optional<double> y;
    bool covered = false;
};

// The forehead's corner on a hairline traced outwards in columns `step` apart, near the
// column `guess` from the midline: from there inwards past columns that hair covers and past the
// edge's descent to the temple (falling outwards at 45 degrees or more), to the first column
// where the top edge still runs flatter. In the trace's units; nullopt when that lies nearer the
// midline than any forehead's corner (a swept lock's or a fringe's edge) or columns that show
// nothing break the way.
std::optional<Point> hairlineCorner(std::span<const TracedColumn> traced, double step,
                                    double guess);

struct HairlinePoints {
    std::optional<Point> left;  // P1
    std::optional<Point> right; // P2
    std::optional<Point> top;   // P3
};

// P3 read on the midline, P1 and P2 at the corners of the hairline traced out from it, looked
// for first under the `estimate` (the landmarks fitted from the face points). The hairline counts
// as shown only where skin gives way to hair like that at the temples: not to the background (a
// bald or shaved head), not to a hat. In picture pixels.
HairlinePoints findHairline(const Chip& chip, const Pixels& px, const Frame& fr,
                            const FacePoints& face, const FrontPoints& estimate);

} // namespace veidora::facefit
