#pragma once

// The two points a profile is levelled by: the ear's opening (just behind the tragus) and the
// lowest point of the eye's lower lid, read from the picture's pixels in a frame the side
// search's landmarks set. Plain C++.

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

// The slope of the line from the lid to the ear (levelling.hpp's sense), once both were found.
std::optional<double> levelLineSlope(const LevelPoints& points);

} // namespace veidora::facefit
