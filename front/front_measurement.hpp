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

// What the front measurement gives, by meaning.
enum class FrontFigure {
    HeadHeight,       // P4.Y - P3.Y
    ForeheadHeight,   // P5.Y - P1.Y
    ForeheadPercent,  // of the head height, as every percentage
    ForeheadTopWidth, // P2.X - P1.X
    ForeheadTopPercent,
    ForeheadBottomWidth, // P8.X - P5.X
    ForeheadBottomPercent,
    BrowSpan,   // the same span as the forehead's bottom width
    CheekWidth, // P14.X - P13.X
    CheekPercent,
    CheekClass,      // code tVS
    BridgeLeftPart,  // P16.X - P17.X
    BridgeRightPart, // P18.X - P16.X
    BridgeLean,      // code tNP
    NoseLength,      // P15.Y - P16.Y
    NoseLengthPercent,
    JawWidth, // P22.X - P21.X
    JawPercent,
    JawClass,     // code tAPz
    JawAsymmetry, // code tAI
    LipHeight,    // P26.Y - P25.Y
    LipPercent,
    MouthCornerDrop, // P23.Y - P25.Y
    MouthCornerPercent,
    Smile,
    Count
};

using FrontMeasurement = Measurement<FrontFigure, FrontCodes>;

inline void setCodes(TraitCodes& all, const FrontCodes& front) {
    all.tVS = front.tVS;
    all.tAPz = front.tAPz;
    all.tNP = front.tNP;
    all.tAI = front.tAI;
}

// Every front figure and the codes tVS, tAPz, tNP, tAI, from P1..P28.
FrontMeasurement measureFront(std::span<const TPointF, kFrontLandmarkCount> P, char sep);

inline constexpr const char* kFrontZeroHeadMessage =
    "Priekio matuoti negalima: galvos aukštis lygus 0. Kaktos viršaus taškas (3) ir smakro "
    "apačios taškas (4) yra tame pačiame aukštyje – atitraukite juos vieną nuo kito.";

} // namespace veidora
