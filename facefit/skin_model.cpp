#include "skin_model.hpp"

#include "image_pixels.hpp"

#include <algorithm>
#include <cmath>

namespace veidora::facefit {

namespace {

// How many spreads from the typical skin colour still count as skin.
constexpr float kSkinSpreads = 3;
// Skin's hue hardly changes over a face, its saturation does (redder cheeks, paler or darker
// sides): the least hue difference and saturation range that still count as skin, whatever the
// samples' own spread.
constexpr float kLeastHue = 0.03f;
constexpr float kPalest = 0.6f, kReddest = 1.7f;
// Skin in shade keeps its colour down to this share of the typical brightness.
constexpr float kShadeFloor = 0.5f;
constexpr float kLitCeiling = 1.35f;

} // namespace

float median(std::vector<float>& v) {
    const auto mid = v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2);
    std::nth_element(v.begin(), mid, v.end());
    return *mid;
}

// The median and 1.4826 x the median absolute deviation (the standard deviation, for a normal
// spread).
std::pair<float, float> robust(std::vector<float> v) {
    const float m = median(v);
    for (float& x : v)
        x = std::abs(x - m);
    return {m, 1.4826f * median(v)};
}

Shade medianShade(std::span<const Shade> s) {
    std::vector<float> y, u, v;
    for (const Shade& c : s) {
        y.push_back(c.y);
        u.push_back(c.u);
        v.push_back(c.v);
    }
    return {median(y), median(u), median(v)};
}

Shade shadeOf(float r, float g, float b) {
    const float y = lumaOf(r, g, b);
    const float cr = 0.713f * (r - y), cb = 0.564f * (b - y);
    const float scale = 1 / std::max(y, kDarkest);
    return {y, cr * scale, cb * scale};
}

std::optional<SkinModel> SkinModel::fit(std::span<const Shade> samples) {
    if (samples.size() < 8)
        return std::nullopt;
    SkinModel m;
    m.m_typical = medianShade(samples);
    const Shade& t = m.m_typical;
    m.m_chroma = std::hypot(t.u, t.v);
    std::vector<float> y, across, along;
    for (const Shade& s : samples) {
        y.push_back(s.y);
        if (m.m_chroma > 0) {
            across.push_back((s.u * t.v - s.v * t.u) / m.m_chroma);
            along.push_back((s.u * t.u + s.v * t.v) / (m.m_chroma * m.m_chroma));
        }
    }
    m.m_lumaSpread = robust(y).second;
    if (m.m_chroma > 0) {
        m.m_hueSpread = robust(across).second;
        m.m_satSpread = robust(along).second;
    }
    return m;
}

SkinModel SkinModel::recentred(const Shade& typical) const {
    SkinModel m = *this;
    m.m_typical = typical;
    m.m_chroma = std::hypot(typical.u, typical.v);
    return m;
}

SkinModel::Kind SkinModel::classify(const Shade& s) const {
    const Shade& t = m_typical;
    const bool grey = m_chroma < kLeastHue; // a grey picture: no hue to go by
    const float across = grey ? std::hypot(s.u, s.v) : (s.u * t.v - s.v * t.u) / m_chroma;
    const float along = grey ? 1 : (s.u * t.u + s.v * t.v) / (m_chroma * m_chroma);
    const float hueTol = std::max(kLeastHue, kSkinSpreads * m_hueSpread);
    // Brightness and saturation as ratios to the typical skin's, each within its own bounds;
    // together inside an ellipsoid, so that a colour darker, more saturated and of another hue
    // at once (hair) is not skin though each alone would pass.
    const float ly = std::log(std::max(s.y, 1.0f) / std::max(t.y, 1.0f));
    const float yTol = ly < 0 ? -std::log(kShadeFloor)
                              : std::log(kLitCeiling + 4 * m_lumaSpread / std::max(t.y, 1.0f));
    const float ls = std::log(std::max(along, 1e-3f));
    const float sTol = ls < 0 ? -std::log(std::clamp(1 - kSkinSpreads * m_satSpread, 0.2f, kPalest))
                              : std::log(std::max(kReddest, 1 + kSkinSpreads * m_satSpread));
    const float d = (ly / yTol) * (ly / yTol) + (ls / sTol) * (ls / sTol) +
                    (across / hueTol) * (across / hueTol);
    if (d <= 1)
        return Kind::Skin;
    // A shine: skin's colour thinned with white, so between the skin's and none.
    const bool lit = s.y > std::max(1.15f * t.y, t.y + 3 * m_lumaSpread);
    return lit && !grey && std::abs(across) <= hueTol && along >= 0.15f && along <= 1.1f
               ? Kind::Shine
               : Kind::None;
}

} // namespace veidora::facefit
