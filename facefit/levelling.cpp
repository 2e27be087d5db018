#include "levelling.hpp"

#include "face_points.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace veidora::facefit {

namespace {

// The mean of the points round an eye, first to last.
Point eyeCentre(const FacePoints& face, int first, int last) {
    Point c;
    for (int i = first; i <= last; ++i) {
        c.x += face[static_cast<std::size_t>(i)].x;
        c.y += face[static_cast<std::size_t>(i)].y;
    }
    const int n = last - first + 1;
    return {c.x / n, c.y / n};
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
    return slopeDegrees(eyeCentre(face, face68::kLeftEyeOuter, face68::kLeftEyeLast),
                        eyeCentre(face, face68::kRightEyeInner, face68::kRightEyeLast));
}

Levelling levellingTilt(double slope, int minTilt, int maxTilt) {
    // A line falling to the right is turned back anticlockwise.
    const long wanted = std::lround(-slope);
    const long kept = std::clamp<long>(wanted, minTilt, maxTilt);
    return {static_cast<int>(kept), kept != wanted};
}

} // namespace veidora::facefit
