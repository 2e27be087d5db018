#include "level_points.hpp"

#include "image_pixels.hpp"
#include "level_ear.hpp"
#include "level_eye.hpp"
#include "level_frame.hpp"
#include "levelling.hpp"

#include <cmath>
#include <new>
#include <numbers>
#include <utility>

namespace veidora::facefit {

namespace {

// A point counts as found only where the step finds it again with its frame turned and
// stretched by the slack of the landmarks it rests on (the nose's root and the chin are read
// a few pixels either way): a hollow that wins only by a hair over another one nearby is not
// trusted.
constexpr double kFrameSlackDegrees = 3;
constexpr double kFrameSlackScale = 0.04;
// The lid-to-ear line's slope against the head's own frame (from the nose's root towards the
// chin, which turn with the head): 15 degrees on the hand-marked development profiles (median;
// 5 to 24). A pair further off than the spread between heads, with room for the points' own
// error, has one point wrong.
constexpr double kTypicalFrameSlope = 15;
constexpr double kMostFrameSlopeOff = 15;
// Found again this near (frame units) counts as the same point.
constexpr double kSamePoint = 0.02;

level::Frame varied(const level::Frame& f, double degrees, double scale) {
    const double a = degrees * std::numbers::pi / 180, c = std::cos(a), s = std::sin(a);
    level::Frame v = f;
    v.down = {f.down.x * c - f.down.y * s, f.down.x * s + f.down.y * c};
    v.back = {f.back.x * c - f.back.y * s, f.back.x * s + f.back.y * c};
    v.unit = f.unit * scale;
    return v;
}

template <class Step>
std::optional<Point> steadily(Step step, const ImageView& picture, const level::Frame& frame) {
    const auto at = step(picture, frame);
    if (!at)
        return std::nullopt;
    const Point found = frame.toPicture(*at);
    // Each way alone, so a profile and its mirror image are checked alike.
    for (const auto& [degrees, scale] :
         {std::pair{kFrameSlackDegrees, 1.0}, std::pair{-kFrameSlackDegrees, 1.0},
          std::pair{0.0, 1 + kFrameSlackScale}, std::pair{0.0, 1 - kFrameSlackScale}}) {
        const level::Frame v = varied(frame, degrees, scale);
        const auto again = step(picture, v);
        if (!again)
            return std::nullopt;
        const Point p = v.toPicture(*again);
        if (std::hypot(p.x - found.x, p.y - found.y) > kSamePoint * frame.unit)
            return std::nullopt;
    }
    return found;
}

} // namespace

LevelPoints findLevelPoints(const ColourView& picture, const ProfileResult& profile) noexcept {
    LevelPoints out;
    if (!profile.found || !isReadable(picture)) {
        out.why = "No profile to read.";
        return out;
    }
    const auto frame = level::frameOf(profile);
    if (!frame) {
        out.why = "The nose root and the chin coincide.";
        return out;
    }
    try {
        out.eye = steadily(level::findLowerLid, picture, *frame);
        out.ear = steadily(level::findEarOpening, picture, *frame);
    } catch (const std::bad_alloc&) {
        out = {};
        out.why = "Out of memory.";
        return out;
    }
    if (!out.eye)
        out.why = "No eye's opening shows behind the nose's root.";
    else if (!out.ear)
        out.why = "No ear's opening shows: the ear may be under hair.";
    else if (!lineAgreesWithProfile(profile, *out.eye, *out.ear)) {
        out.eye.reset();
        out.ear.reset();
        out.why = "The lid and the ear's opening found disagree with the face's own axis.";
    }
    return out;
}

bool lineAgreesWithProfile(const ProfileResult& profile, Point eye, Point ear) {
    const auto frame = level::frameOf(profile);
    if (!frame)
        return false;
    const Point a = frame->toFrame(eye), b = frame->toFrame(ear);
    const double slope = std::atan2(b.y - a.y, b.x - a.x) * 180 / std::numbers::pi;
    return std::abs(slope - kTypicalFrameSlope) <= kMostFrameSlopeOff;
}

std::optional<double> levelLineSlope(const LevelPoints& points) {
    if (!points.eye || !points.ear)
        return std::nullopt;
    return slopeDegrees(*points.eye, *points.ear);
}

} // namespace veidora::facefit

namespace veidora::facefit {

std::optional<Levelling> profileLevelling(const LevelPoints& points, Facing facing, int minTilt,
                                          int maxTilt) {
    const auto slope = levelLineSlope(points);
    if (!slope)
        return std::nullopt;
    const double shown = facing == Facing::Left ? *slope : -*slope;
    return levellingTilt(shown - kUprightLidToEarSlope, minTilt, maxTilt);
}

} // namespace veidora::facefit
