#pragma once

// Skin colour as a face shows it: colours with their brightness apart, and a model of the
// face's own skin fitted to samples of it. Plain C++.

#include <optional>
#include <span>
#include <utility>
#include <vector>

namespace veidora::facefit {

// Below this luma the colour ratios are mostly noise: darker colours count as this bright.
inline constexpr float kDarkest = 24;

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

// The median of v (reordered).
float median(std::vector<float>& v);
// The median and 1.4826 x the median absolute deviation (the standard deviation, for a normal
// spread).
std::pair<float, float> robust(std::vector<float> v);
// Each component's median.
Shade medianShade(std::span<const Shade> s);

} // namespace veidora::facefit
