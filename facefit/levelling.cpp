#include "levelling.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace veidora::facefit {

namespace {

// The 68-point markup's eyes: six points round each.
constexpr int kLeftEyeFirst = 36;
constexpr int kRightEyeFirst = 42;
constexpr int kEyePointCount = 6;

Point eyeCentre(const FacePoints& face, int first) {
    Point c;
    for (int i = first; i < first + kEyePointCount; ++i) {
        c.x += face[static_cast<std::size_t>(i)].x;
        c.y += face[static_cast<std::size_t>(i)].y;
    }
    return {c.x / kEyePointCount, c.y / kEyePointCount};
}

} // namespace

std::optional<double> slopeDegrees(Point from, Point to) {
    double dx = to.x - from.x, dy = to.y - from.y;
    if (dx == 0 && dy == 0)
        return std::nullopt;
    if (dx < 0) { // the same line, drawn the other way
        dx = -dx;
        dy = -dy;
    }
    return std::atan2(dy, dx) * 180 / std::numbers::pi;
}

std::optional<double> eyeLineSlope(const FacePoints& face) {
    return slopeDegrees(eyeCentre(face, kLeftEyeFirst), eyeCentre(face, kRightEyeFirst));
}

Levelling levellingTilt(double slope, int minTilt, int maxTilt) {
    // A line falling to the right is turned back anticlockwise.
    const long wanted = std::lround(-slope);
    const long kept = std::clamp<long>(wanted, minTilt, maxTilt);
    return {static_cast<int>(kept), kept != wanted};
}

} // namespace veidora::facefit
