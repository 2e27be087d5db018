#include "backdrop.hpp"

#include <algorithm>
#include <cmath>
#include <optional>

namespace veidora::facefit {

namespace {

// Two colours are the same backdrop within this many levels of Cr and Cb and this ratio of
// brightness: a backdrop's own light falls off gently across it.
constexpr float kSameBackdropLevels = 5;
constexpr float kSameBackdropBrightness = 1.15f;
// A plain patch: at least this many cells, their brightness spread within this many levels or
// this share of their brightness, whichever is more (a sensor's noise, no texture).
constexpr std::size_t kLeastPatch = 16;
constexpr float kPlainLevels = 4, kPlainShare = 0.04f;
// Beside the head (eye distances from the midline, and from the eye line up), clear of ears and
// hair that stands out: the backdrop there is the one behind the head.
constexpr double kBesideFrom = 1.95, kBesideTo = 2.3, kBesideTop = -1.4, kBesideBottom = -0.4;
// The picture's top corners, squares of this many eye distances (at least 4 pixels).
constexpr double kCorner = 0.2;
constexpr int kLeastCornerPixels = 4;

// A patch's colour if it is plain (of one even colour) and not skin; else nothing.
std::optional<Shade> plain(std::span<const Shade> patch, const SkinModel& skin) {
    if (patch.size() < kLeastPatch)
        return std::nullopt;
    std::vector<float> y;
    for (const Shade& s : patch)
        y.push_back(s.y);
    const auto [level, spread] = robust(y);
    const Shade m = medianShade(patch);
    if (spread > std::max(kPlainLevels, kPlainShare * level) || skin.contains(m))
        return std::nullopt;
    return m;
}

} // namespace

bool isBackdrop(const Shade& s, std::span<const Shade> backdrop) {
    const auto level = [](float ratio, float y) { return ratio * std::max(y, kDarkest); };
    return std::any_of(backdrop.begin(), backdrop.end(), [&](const Shade& b) {
        const float hi = std::max(s.y, b.y), lo = std::max(std::min(s.y, b.y), 1.0f);
        return std::abs(level(s.u, s.y) - level(b.u, b.y)) <= kSameBackdropLevels &&
               std::abs(level(s.v, s.y) - level(b.v, b.y)) <= kSameBackdropLevels &&
               hi <= kSameBackdropBrightness * lo;
    });
}

std::vector<Shade> backgrounds(const Chip& chip, const Pixels& px, const SkinModel& skin,
                               const Frame& fr, double midline) {
    std::vector<Shade> out, patch;
    for (double side : {-1.0, 1.0}) {
        patch.clear();
        const double x0 = midline + side * kBesideFrom, x1 = midline + side * kBesideTo;
        chip.each(std::min(x0, x1), std::max(x0, x1), kBesideTop, kBesideBottom,
                  [&](const Shade& s) { patch.push_back(s); });
        if (const auto m = plain(patch, skin))
            out.push_back(*m);
    }
    const int side = std::max(kLeastCornerPixels, static_cast<int>(kCorner * fr.unit));
    for (const int x0 : {0, px.width() - side}) {
        patch.clear();
        for (int y = 0; y < side; y += 2)
            for (int x = std::max(x0, 0); x < std::min(x0 + side, px.width()); x += 2) {
                float c[3];
                px.rgb(x, std::min(y, px.height() - 1), c);
                patch.push_back(shadeOf(c[0], c[1], c[2]));
            }
        if (const auto m = plain(patch, skin))
            out.push_back(*m);
    }
    return out;
}

} // namespace veidora::facefit
