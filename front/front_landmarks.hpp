#pragma once

#include "types.hpp"

#include <array>
#include <string_view>

namespace veidora {

inline constexpr std::size_t kFrontLandmarkCount = 28;

inline constexpr SampleBox kFrontSampleBox{288, 7, 265, 321};

// Default places of P1..P28 on the front sample face, in the drawing rectangle's units.
inline constexpr std::array<TPointF, kFrontLandmarkCount> kFrontDefaults{{
    {356, 89},  {481, 85},  {420, 76},  {421, 292}, {345, 140}, {407, 149}, {436, 149},
    {502, 142}, {357, 162}, {399, 164}, {445, 164}, {487, 162}, {329, 169}, {516, 169},
    {422, 213}, {422, 160}, {417, 175}, {428, 175}, {398, 207}, {445, 208}, {345, 255},
    {499, 254}, {390, 242}, {452, 243}, {422, 232}, {422, 254}, {394, 287}, {448, 288},
}};

// What each landmark marks, as the user is told; left and right as seen on screen.
inline constexpr std::array<std::string_view, kFrontLandmarkCount> kFrontFeatures{{
    "kairysis kaktos kraštas ties plaukų linija",
    "dešinysis kaktos kraštas ties plaukų linija",
    "kaktos viršus ties plaukų linija, veido viduryje",
    "žemiausias smakro taškas, veido viduryje",
    "kairiojo antakio išorinis galas",
    "kairiojo antakio vidinis galas",
    "dešiniojo antakio vidinis galas",
    "dešiniojo antakio išorinis galas",
    "kairiosios akies išorinis kampas",
    "kairiosios akies vidinis kampas",
    "dešiniosios akies vidinis kampas",
    "dešiniosios akies išorinis kampas",
    "kairysis veido kraštas ties skruostikauliu",
    "dešinysis veido kraštas ties skruostikauliu",
    "nosies pagrindas, veido viduryje",
    "nosies šaknis tarp akių, veido viduryje",
    "kairysis nosies nugarėlės šonas",
    "dešinysis nosies nugarėlės šonas",
    "kairysis šnervių sparnelis",
    "dešinysis šnervių sparnelis",
    "kairysis apatinio žandikaulio kontūras",
    "dešinysis apatinio žandikaulio kontūras",
    "kairysis lūpų kampas",
    "dešinysis lūpų kampas",
    "viršutinės lūpos viršus, veido viduryje",
    "apatinės lūpos apačia, veido viduryje",
    "kairysis smakro šonas",
    "dešinysis smakro šonas",
}};

} // namespace veidora
