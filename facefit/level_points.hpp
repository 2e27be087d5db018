#pragma once

// The two points a profile is levelled by: the ear's opening (just behind the tragus) and the
// lowest point of the eye's lower lid, read from the picture's pixels in a frame the side
// search's landmarks set. Plain C++.

#include "levelling.hpp"
#include "profile_fit.hpp"

#include <optional>
#include <string>

namespace veidora::facefit {

struct LevelPoints {
    // In the picture's pixels as given (not mirrored); nullopt where the feature did not show
    // clearly enough to be sure of it.
    std::optional<Point> eye;
    std::optional<Point> ear;
    std::string why; // when either is missing: what was not seen, for logs and tests
};

// Both points on the picture the profile was found on. Never throws.
LevelPoints findLevelPoints(const ColourView& picture, const ProfileResult& profile) noexcept;

// Whether a lid-to-ear line runs as it does on a face with these landmarks: against the line
// from the nose's root to the chin, which turns with the head, it slopes within what heads
// differ by. A pair that does not has one point wrong.
bool lineAgreesWithProfile(const ProfileResult& profile, Point eye, Point ear);

// The slope of the line from the lid to the ear (levelling.hpp's sense), once both were found.
std::optional<double> levelLineSlope(const LevelPoints& points);

// The slope the lid-to-ear line has on an upright studio profile facing left, in degrees
// (falling towards the back of the head): the median over 60 hand-marked development profiles
// (range -1.5..26.6). Levelling that line to 0 would turn every upright photo by about this
// much, so a profile is turned until its line has this slope instead.
inline constexpr double kUprightLidToEarSlope = 10.8;

// The page's tilt that stands the profile upright by its lid-to-ear line, within
// minTilt..maxTilt (levelling.hpp), for the picture as the page shows it: a profile facing right
// is mirrored to face left first, which turns its line's slope the other way. nullopt when
// either point is missing.
std::optional<Levelling> profileLevelling(const LevelPoints& points, Facing facing, int minTilt,
                                          int maxTilt);

} // namespace veidora::facefit
