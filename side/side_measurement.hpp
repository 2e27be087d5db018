#pragma once

#include "measurement.hpp"
#include "side_landmarks.hpp"

#include <span>

namespace veidora {

struct SideCodes {
    double tKD = 0;
    double tKP = 0;
    double tND = 0;
    double tSD = 0;

    friend bool operator==(const SideCodes&, const SideCodes&) = default;
};

using SideMeasurement = MeasurementResult<SideCodes>;

inline void setCodes(TraitCodes& all, const SideCodes& side) {
    all.tKD = side.tKD;
    all.tKP = side.tKP;
    all.tND = side.tND;
    all.tSD = side.tSD;
}

// The 36 value labels of the side page and the codes tKD, tKP, tND, tSD, from S1..S17.
SideMeasurement measureSide(std::span<const TPointF, kSideLandmarkCount> S, char sep);

inline constexpr const char* kSideZeroHeadMessage =
    "Šono matuoti negalima: galvos aukštis lygus 0. Galvos viršaus taškas (1) ir smakro "
    "apačios taškas (15) yra tame pačiame aukštyje – atitraukite juos vieną nuo kito.";

} // namespace veidora
