#include "backdrop.hpp"

#include <algorithm>
#include <cmath>
#include <optional>

namespace veidora::facefit {

namespace {

// A patch's colour if it is plain (of one even colour) and not skin; else nothing.
std::optional<Shade> plain(std::span<const Shade> patch, const SkinModel& skin) {
    if (patch.size() < 16)
        return std::nullopt;
    std::vector<float> y;
    for (const Shade& s : patch)
        y.push_back(s.y);
    const auto [level, spread] = robust(y);
    const Shade m = medianShade(patch);
    if (spread > std::max(4.0f, 0.04f * level) || skin.contains(m))
        return std::nullopt;
    return m;
}

} // namespace

bool isBackdrop(const Shade& s, std::span<const Shade> backdrop) {
    const auto level = [](float ratio, float y) { return ratio * std::max(y, kDarkest); };
    return std::any_of(backdrop.begin(), backdrop.end(), [&](const Shade& b) {
        const float hi = std::max(s.y, b.y), lo = std::max(std::min(s.y, b.y), 1.0f);
        return std::abs(level(s.u, s.y) - level(b.u, b.y)) <= 5 &&
               std::abs(level(s.v, s.y) - level(b.v, b.y)) <= 5 && hi <= 1.15f * lo;
    });
}

std::vector<Shade> backgrounds(const Chip& chip, const Pixels& px, const SkinModel& skin,
                               const Frame& fr, double midline) {
    std::vector<Shade> out, patch;
    for (double side : {-1.0, 1.0}) {
        patch.clear();
        const double x0 = midline + side * 1.95, x1 = midline + side * 2.3;
        chip.each(std::min(x0, x1), std::max(x0, x1), -1.4, -0.4,
                  [&](const Shade& s) { patch.push_back(s); });
        if (const auto m = plain(patch, skin))
            out.push_back(*m);
    }
    const int side = std::max(4, static_cast<int>(0.2 * fr.unit));
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
