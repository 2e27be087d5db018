#pragma once

#include "front_landmarks.hpp"
#include "measurement.hpp"

#include <span>

namespace veidora {

struct FrontCodes {
    double tVS = 0;
    double tAPz = 0;
    double tNP = 0;
    double tAI = 0;

    friend bool operator==(const FrontCodes&, const FrontCodes&) = default;
};

using FrontMeasurement = MeasurementResult<FrontCodes>;

inline void setCodes(TraitCodes& all, const FrontCodes& front) {
    all.tVS = front.tVS;
    all.tAPz = front.tAPz;
    all.tNP = front.tNP;
    all.tAI = front.tAI;
}

// The 25 value labels of the front page and the codes tVS, tAPz, tNP, tAI, from P1..P28.
FrontMeasurement measureFront(std::span<const TPointF, kFrontLandmarkCount> P, char sep);

inline constexpr const char* kFrontZeroHeadMessage =
    "Priekio matuoti negalima: galvos aukštis lygus 0. Kaktos viršaus taškas (3) ir smakro "
    "apačios taškas (4) yra tame pačiame aukštyje – atitraukite juos vieną nuo kito.";

} // namespace veidora
