#pragma once

namespace veidora {

// A landmark position: single precision, as the grips report it.
struct TPointF {
    float X = 0.0f;
    float Y = 0.0f;

    friend bool operator==(const TPointF&, const TPointF&) = default;
};

// Where a sample face is drawn on its page, in the drawing rectangle's units: the landmarks'
// default places are given in the same frame.
struct SampleBox {
    int x, y, width, height;
};

// Eight trait codes, each 0..3; 0 means "not measured yet".
struct TraitCodes {
    double tKD = 0;
    double tKP = 0;
    double tND = 0;
    double tNP = 0;
    double tVS = 0;
    double tAPz = 0;
    double tAI = 0;
    double tSD = 0;

    friend bool operator==(const TraitCodes&, const TraitCodes&) = default;
};

} // namespace veidora
