#pragma once

#include "types.hpp"

#include <array>

namespace veidora {

inline constexpr std::size_t kFrontLandmarkCount = 28;

// Default places of P1..P28 on the front sample face, in the drawing rectangle's units.
inline constexpr std::array<TPointF, kFrontLandmarkCount> kFrontDefaults{{
    {356, 89},  {481, 85},  {420, 76},  {421, 292}, {345, 140}, {407, 149}, {436, 149},
    {502, 142}, {357, 162}, {399, 164}, {445, 164}, {487, 162}, {329, 169}, {516, 169},
    {422, 213}, {422, 160}, {417, 175}, {428, 175}, {398, 207}, {445, 208}, {345, 255},
    {499, 254}, {390, 242}, {452, 243}, {422, 232}, {422, 254}, {394, 287}, {448, 288},
}};

} // namespace veidora
