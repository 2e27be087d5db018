#pragma once

// The sides of the nose bridge (P17, P18), from the bridge's shading: its lit ridge between
// darker sides. Plain C++.

#include "face_chip.hpp"
#include "face_fit.hpp"

#include <optional>
#include <span>

namespace veidora::facefit {

// The strongest edge either side of `centre` in a brightness profile, of opposite senses:
// brighter towards the centre on both sides, as the lit ridge of a nose between its shaded
// sides. `a` and `b` are two profiles of the same ridge a little apart along it (sharing its
// edges, not their noise): the edges are looked for in their mean, the noise is what differs.
// Each edge lies minHalf..maxHalf samples from the centre; the profiles are smoothed by `sigma`
// samples first. In samples; nullopt when an edge does not stand out of the noise or is too
// faint to see.
struct EdgePair {
    double left = 0;
    double right = 0;
};
std::optional<EdgePair> ridgeEdges(std::span<const float> a, std::span<const float> b,
                                   double centre, double minHalf, double maxHalf, double sigma);

struct BridgeSides {
    Point left;  // P17
    Point right; // P18
    Point root;  // P16 moved across the nose onto the bridge's centre line
};

// The bridge's sides read on rows along it (P16 to P15 say which way it runs), a line fitted
// through their centres, and the sides put on that line at the height the sample face marks
// them, the root on it at its own height. In picture pixels; nullopt where the shading shows
// no sides.
// Where a photo does not show the bridge: its sides at the sample face's height on the nose's
// axis (P16 to P15), as far apart as the estimate put them.
void estimateBridge(FrontPoints& points);

std::optional<BridgeSides> findBridge(const Pixels& px, const Frame& fr,
                                      const FrontPoints& estimate);

} // namespace veidora::facefit
