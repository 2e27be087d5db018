#pragma once

#include "types.hpp"

#include <array>

namespace veidora {

inline constexpr std::size_t kSideLandmarkCount = 17;

// Default places of S1..S17 on the profile sample face, in the drawing rectangle's units.
inline constexpr std::array<TPointF, kSideLandmarkCount> kSideDefaults{{
    {330, 101},
    {325, 113},
    {316, 145},
    {321, 163},
    {340, 166},
    {517, 166},
    {313, 175},
    {300, 200},
    {323, 208},
    {315, 223},
    {326, 233},
    {317, 238},
    {406, 235},
    {324, 248},
    {323, 266},
    {375, 274},
    {317, 215},
}};

} // namespace veidora
