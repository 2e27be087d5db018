#pragma once

#include "types.hpp"

#include <array>
#include <string_view>

namespace veidora {

inline constexpr std::size_t kSideLandmarkCount = 17;

inline constexpr SampleBox kSideSampleBox{288, 9, 265, 321};

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

// What each landmark marks on a profile facing left, as the user is told.
inline constexpr std::array<std::string_view, kSideLandmarkCount> kSideFeatures{{
    "galvos viršus",
    "kaktos viršutinis galas",
    "kaktos apatinis galas",
    "nosies šaknis, nosikaulio viršutinis galas",
    "akies išorinis kampas (matavimams nenaudojamas)",
    "pakaušis",
    "nosikaulio taškas tarp S4 ir S8 (tikrinama kuprelė)",
    "nosies galiukas",
    "nosies pagrindas po galiuku",
    "viršutinės lūpos priekis (matavimams nenaudojamas)",
    "lūpų kampas (matavimams nenaudojamas)",
    "apatinės lūpos priekis (matavimams nenaudojamas)",
    "apatinio žandikaulio galinis galas",
    "smakro priekis",
    "smakro apačia",
    "kaklo linija po smakru (matavimams nenaudojamas)",
    "apatinio žandikaulio ilgio priekinis galas",
}};

} // namespace veidora
