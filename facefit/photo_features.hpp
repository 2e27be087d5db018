#pragma once

// The front landmarks the 68 face points do not mark, looked for in the photo's own pixels: the
// hairline (P1..P3), where the forehead's skin ends going up, and the sides of the nose bridge
// (P17, P18), from the bridge's shading. Plain C++ on a plain pixel buffer.

#include "face_fit.hpp"
#include "image_view.hpp"

#include <optional>
#include <span>

namespace veidora::facefit {

// A colour with its brightness apart: y is the BT.601 luma (0..255); u and v are the red and
// blue differences (Cr - 128, Cb - 128) divided by the luma, so a shadow or a stronger light,
// which scale a pixel, leave them as they are.
struct Shade {
    float y = 0;
    float u = 0;
    float v = 0;
};
Shade shadeOf(float r, float g, float b);

// Skin colour as the face itself shows it: the median of sample pixels and their robust spread.
class SkinModel {
public:
    // nullopt for fewer than 8 samples.
    static std::optional<SkinModel> fit(std::span<const Shade> samples);

    // The same spreads about another typical colour.
    SkinModel recentred(const Shade& typical) const;

    // Skin in light or in shade: near the typical skin in brightness (from half of it up), in
    // saturation and in hue, within bounds wide enough for a face's own variation; or a shine:
    // brighter than the skin, its colour between the skin's and white.
    enum class Kind { None, Skin, Shine };
    Kind classify(const Shade& s) const;
    bool contains(const Shade& s) const { return classify(s) != Kind::None; }
    const Shade& typical() const { return m_typical; }

private:
    Shade m_typical;
    float m_chroma = 0;     // length of the typical (u, v)
    float m_hueSpread = 0;  // across the typical (u, v)
    float m_satSpread = 0;  // along it, as a share of its length
    float m_lumaSpread = 0; // of y
};

// Where skin ends going up a profile: skin[i] is the share of skin in the i-th row above the
// start. The end is where the share falls below a half and stays low for `run` rows, so a
// shadow or a shine narrower than that is crossed. In rows, the crossing interpolated; nullopt
// when the profile does not start on skin (hair or a hat down to the brows) or the skin does not
// end for good within it.
std::optional<double> skinEnd(std::span<const float> skin, int run);
// Whether the first half run of the profile is mostly skin.
bool startsOnSkin(std::span<const float> skin, int run);

// The strongest edge either side of `centre` in a brightness profile, of opposite senses:
// brighter towards the centre on both sides, as the lit ridge of a nose between its shaded
// sides. `a` and `b` are two profiles of the same ridge a little apart along it (sharing its
// edges, not their noise): the edges are looked for in their mean, the noise is what differs.
// Each edge lies minHalf..maxHalf samples from the centre; the profiles are smoothed by `sigma`
// samples first. In samples; nullopt when an edge does not stand out of the noise or is too
// faint to see.
struct EdgePair {
    double left = 0;
    double right = 0;
};
std::optional<EdgePair> ridgeEdges(std::span<const float> a, std::span<const float> b,
                                   double centre, double minHalf, double maxHalf, double sigma);

// What the photo shows, in its pixels; nullopt where it does not show the landmark.
struct PhotoLandmarks {
    std::optional<Point> hairlineLeft;  // P1
    std::optional<Point> hairlineRight; // P2
    std::optional<Point> hairlineTop;   // P3
    std::optional<Point> bridgeLeft;    // P17
    std::optional<Point> bridgeRight;   // P18
};

// `face`: the 68 points found on `photo`; `estimate`: the landmarks fitted from them
// (frontLandmarks), which say where to look: the hairline ends' columns and the bridge's height.
// The hairline counts as shown only where skin gives way to hair like that at the temples: not
// to the background (a bald or shaved head), not to a hat. An empty or malformed view gives
// nothing.
PhotoLandmarks findInPhoto(const ImageView& photo, const FacePoints& face,
                           const FrontPoints& estimate);

} // namespace veidora::facefit
