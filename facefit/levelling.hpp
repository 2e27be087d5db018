#pragma once

// How far to turn a photo so that a line across the face stands level: the line through the
// eyes on a front photo, or the one from the ear's opening to the lowest point of the eye's
// lower lid on a profile. Plain C++.

#include "face_fit.hpp"

#include <optional>

namespace veidora::facefit {

// The slope of the line from `from` to `to`, in degrees, positive when it falls to the right
// (clockwise on the screen, Y down), within -90..90 whichever way the line is drawn. nullopt
// when the two points coincide.
std::optional<double> slopeDegrees(Point from, Point to);

// The slope of the line through the centres of the two eyes (six points each).
std::optional<double> eyeLineSlope(const FacePoints& face);

// The whole-degree turn (positive = clockwise, as the page's tilt) that brings a line of
// `slope` degrees nearest to level, kept within minTilt..maxTilt. `limited` says the range
// held it short.
struct Levelling {
    int tilt = 0;
    bool limited = false;
};
Levelling levellingTilt(double slope, int minTilt, int maxTilt);

} // namespace veidora::facefit
