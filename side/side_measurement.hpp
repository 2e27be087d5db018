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

// What the side measurement gives, by meaning. Distances are between landmarks.
enum class SideFigure {
    HeadHeight,      // S15.Y - S1.Y
    ForeheadHeight,  // S3.Y - S2.Y
    ForeheadPercent, // of the head height, as every percentage
    ForeheadClass,   // code tKD
    NoseLength,      // S8-S4
    NoseLengthPercent,
    TipToBone, // S8-S7
    TipToBonePercent,
    BoneToRoot, // S7-S4
    BoneToRootPercent,
    BaseToRoot, // S9-S4
    BaseToRootPercent,
    BaseToBone, // S9-S7
    BaseToBonePercent,
    Nostrils, // S9-S8
    NostrilsPercent,
    ForeheadSlope, // S2.X - S3.X
    ForeheadSlopePercent,
    ForeheadSlopeClass, // code tKP
    TipHeight,          // S9.Y - S8.Y
    TipHeightPercent,
    JawLength, // S13.X - S17.X
    JawLengthPercent,
    BackOfHead, // S6.X - S4.X
    BackOfHeadPercent,
    RootAheadOfChin, // S4.X - S15.X
    RootAheadOfChinPercent,
    ChinProtrusion, // S14.X - S15.X
    ChinProtrusionPercent,
    ChinClass, // code tSD
    Hump,      // "Taip" when S7 lies in front of the line root-tip
    HumpDistance,
    HumpPercent,
    NoseArea,
    NoseAreaPercent,
    NasalBoneClass, // code tND
    Count
};

using SideMeasurement = Measurement<SideFigure, SideCodes>;

inline void setCodes(TraitCodes& all, const SideCodes& side) {
    all.tKD = side.tKD;
    all.tKP = side.tKP;
    all.tND = side.tND;
    all.tSD = side.tSD;
}

// Every side figure and the codes tKD, tKP, tND, tSD, from S1..S17.
SideMeasurement measureSide(std::span<const TPointF, kSideLandmarkCount> S, char sep);

inline constexpr const char* kSideZeroHeadMessage =
    "Šono matuoti negalima: galvos aukštis lygus 0. Galvos viršaus taškas (1) ir smakro "
    "apačios taškas (15) yra tame pačiame aukštyje – atitraukite juos vieną nuo kito.";

} // namespace veidora
