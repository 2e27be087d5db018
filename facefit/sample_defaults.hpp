#pragma once

// The landmarks' places on the sample faces as the fits take them: the default places of
// P1..P28 and S1..S17, in the drawing rectangle's units.

#include "face_fit.hpp"
#include "front_landmarks.hpp"
#include "profile_fit.hpp"
#include "side_landmarks.hpp"

namespace veidora::facefit {

inline FrontPoints frontDefaults() {
    FrontPoints d{};
    for (std::size_t i = 0; i < d.size(); ++i)
        d[i] = {kFrontDefaults[i].X, kFrontDefaults[i].Y};
    return d;
}

inline SidePoints sideDefaults() {
    SidePoints d{};
    for (std::size_t i = 0; i < d.size(); ++i)
        d[i] = {kSideDefaults[i].X, kSideDefaults[i].Y};
    return d;
}

} // namespace veidora::facefit
