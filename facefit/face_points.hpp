#pragma once

// Names for the 68 face points' indices and for the front landmarks' indices, so that code
// says which feature it reads.

#include <cstddef>

namespace veidora::facefit {

// The common 68-point face markup; "left" is the left of the picture.
namespace face68 {
inline constexpr int kJawFirst = 0; // the jaw outline starts at the left ear...
inline constexpr int kChin = 8;     // ...runs down to the chin...
inline constexpr int kJawLast = 16; // ...and up to the right ear
// The k-th point of the jaw outline from the left ear.
constexpr int jaw(int k) {
    return kJawFirst + k;
}
inline constexpr int kLeftBrowOuter = 17;
inline constexpr int kLeftBrowInner = 21;
inline constexpr int kRightBrowInner = 22;
inline constexpr int kRightBrowOuter = 26;
inline constexpr int kNoseRoot = 27;
inline constexpr int kNoseTip = 30;
inline constexpr int kNoseBase = 33; // where the columella meets the lip, on the midline
inline constexpr int kLeftEyeOuter = 36;
inline constexpr int kLeftEyeInner = 39;
inline constexpr int kLeftEyeLast = 41;
inline constexpr int kRightEyeInner = 42;
inline constexpr int kRightEyeOuter = 45;
inline constexpr int kRightEyeLast = 47;
inline constexpr int kMouthLeft = 48;
inline constexpr int kUpperLipTop = 51;
inline constexpr int kMouthRight = 54;
inline constexpr int kLowerLipBottom = 57;
} // namespace face68

// P1..P28 as indices of a FrontPoints array.
namespace lm {
inline constexpr std::size_t P1 = 0, P2 = 1, P3 = 2, P4 = 3, P5 = 4, P6 = 5, P7 = 6, P8 = 7, P9 = 8,
                             P10 = 9, P11 = 10, P12 = 11, P13 = 12, P14 = 13, P15 = 14, P16 = 15,
                             P17 = 16, P18 = 17, P19 = 18, P20 = 19, P21 = 20, P22 = 21, P23 = 22,
                             P24 = 23, P25 = 24, P26 = 25, P27 = 26, P28 = 27;
} // namespace lm

} // namespace veidora::facefit
