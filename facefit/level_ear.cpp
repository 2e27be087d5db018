#include "level_ear.hpp"

#include "level_helix.hpp"
#include "skin_model.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>
#include <vector>

namespace veidora::facefit::level {

namespace {

// Where the opening lies in the ear's outline (level_helix.hpp), in the outline's half width
// and half height: at the concha's front, near the outline's front edge, a little below its
// middle (the medians over the hand-marked development profiles). The outline hugs the helix,
// so it sits a little high and behind the whole ear.
constexpr double kOpeningAcross = -0.9;
constexpr double kOpeningDown = 0.25;
// How far round that it is looked for (outline half sizes): about the spread of the opening in
// the outline between ears. Further forward, up and down than back: the outline often hugs
// the upper helix only, which moves it about more than the opening, while behind the opening
// lie the concha's back wall and upper bowl, hollows of their own.
constexpr double kAhead = 0.9;
constexpr double kBehind = 0.6;
constexpr double kAbove = 0.6;
constexpr double kBelow = 0.6;
// The concha's upper bowl and the crease under the lobe can be as deep as the opening: a hollow
// loses out the further it lies from where the opening usually is, by a Gaussian of this width
// (outline half sizes).
constexpr double kNearSpreadAcross = 0.6;
constexpr double kNearSpreadDown = 0.4;
// The cheek in front of the ear, whose colour is the skin's.
constexpr double kCheekBack0 = 0.35, kCheekBack1 = 0.60, kCheekDown0 = 0.25, kCheekDown1 = 0.45;
// Samples per frame unit: a face's length spans a few hundred pixels of a decoded photo.
constexpr double kStep = 1.0 / 200;
// Smoothing radius in samples: the opening is a hollow of several, a pore or a hair one.
constexpr int kSmooth = 3;
// How far out the hollow's rim is looked for (frame units): the tragus in front, the concha's
// floor behind and the lobe's top below lie within it.
constexpr double kRingInner = 0.02;
constexpr double kRingOuter = 0.05;
constexpr int kRingDirections = 16;
// Of the directions this many must meet a rim this much brighter than the hollow: a crease or
// a lock of hair stays dark along itself. Each one's contrast counts squared, so one deep
// hollow outweighs a shallow one of the same extent.
constexpr int kLeastEnclosed = 14;
constexpr float kLeastContrast = 0.25f;
// Of the rims this many must be skin like the cheek's: hair round a dark gap between locks
// is not. (The concha's shaded walls often fall outside the cheek's colours, so not all.)
constexpr int kLeastSkinRims = 6;
// The hollow reaches up to this share of the way from its darkest sample to its rim's brightness.
constexpr float kHollowShare = 0.5f;

Shade shadeAt(const Patch& p, std::size_t k) {
    return shadeOf(p.red[k], p.green[k], p.blue[k]);
}

std::optional<SkinModel> cheekSkin(const ImageView& picture, const Frame& frame) {
    const Patch c =
        resample(picture, frame, kCheekBack0, kCheekDown0, kCheekBack1, kCheekDown1, kStep * 2);
    std::vector<Shade> samples;
    for (std::size_t k = 0; k < c.luma.size(); ++k)
        if (c.inside[k])
            samples.push_back(shadeAt(c, k));
    return SkinModel::fit(samples);
}

// The middle of the hollow round its darkest sample: the samples within the rim's reach darker
// than halfway between the darkest and the rim, joined to it. Steadier than the darkest sample
// alone, which wanders along a flat floor as the picture is resampled.
Point hollowMiddle(const Patch& patch, const std::vector<float>& luma, int i0, int j0, float rim) {
    const float below = luma[patch.at(i0, j0)] + kHollowShare * (rim - luma[patch.at(i0, j0)]);
    const int reach = static_cast<int>(std::ceil(kRingOuter / kStep));
    std::vector<unsigned char> seen(luma.size(), 0);
    std::vector<std::pair<int, int>> stack{{i0, j0}};
    seen[patch.at(i0, j0)] = 1;
    double sumI = 0, sumJ = 0, n = 0;
    while (!stack.empty()) {
        const auto [i, j] = stack.back();
        stack.pop_back();
        sumI += i;
        sumJ += j;
        n += 1;
        for (const auto& [di, dj] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
            const int ni = i + di, nj = j + dj;
            if (ni < 0 || nj < 0 || ni >= patch.columns || nj >= patch.rows ||
                std::abs(ni - i0) > reach || std::abs(nj - j0) > reach)
                continue;
            const std::size_t q = patch.at(ni, nj);
            if (!seen[q] && patch.inside[q] && luma[q] < below) {
                seen[q] = 1;
                stack.push_back({ni, nj});
            }
        }
    }
    return patch.framePoint(sumI / n, sumJ / n);
}

} // namespace

std::optional<Point> findEarOpening(const ImageView& picture, const Frame& frame) {
    const auto skin = cheekSkin(picture, frame);
    if (!skin)
        return std::nullopt;
    const auto outline = findEarOutline(picture, frame);
    if (!outline)
        return std::nullopt;
    const double halfWidth = outline->scale * kEarHalfWidth;
    const double halfHeight = outline->scale * kEarHalfHeight;
    const Point expected{outline->centre.x + kOpeningAcross * halfWidth,
                         outline->centre.y + kOpeningDown * halfHeight};
    const double margin = kRingOuter;
    const Patch patch = resample(picture, frame, expected.x - kAhead * halfWidth - margin,
                                 expected.y - kAbove * halfHeight - margin,
                                 expected.x + kBehind * halfWidth + margin,
                                 expected.y + kBelow * halfHeight + margin, kStep);
    const std::vector<float> luma =
        boxBlur(patch.luma, patch.inside, patch.columns, patch.rows, kSmooth);
    const int m = static_cast<int>(std::ceil(margin / kStep));
    std::optional<Point> best;
    int bestI = 0, bestJ = 0;
    double bestScore = 0, bestRim = 0;
    for (int j = m; j < patch.rows - m; ++j)
        for (int i = m; i < patch.columns - m; ++i) {
            const std::size_t k = patch.at(i, j);
            if (!patch.inside[k])
                continue;
            bool lowest = true; // a local minimum of the smoothed brightness
            for (int dj = -1; dj <= 1 && lowest; ++dj)
                for (int di = -1; di <= 1 && lowest; ++di)
                    if ((di || dj) && luma[patch.at(i + di, j + dj)] < luma[k])
                        lowest = false;
            if (!lowest)
                continue;
            // Out along each direction the brightest point is the hollow's rim.
            int enclosed = 0, skinRims = 0;
            double contrastSum = 0, rimSum = 0;
            for (int d = 0; d < kRingDirections; ++d) {
                const double a = 2 * std::numbers::pi * d / kRingDirections;
                float rim = -1;
                std::size_t rimAt = k;
                for (double r = kRingInner; r <= kRingOuter; r += kStep) {
                    const int ii = i + static_cast<int>(std::lround(r * std::cos(a) / kStep));
                    const int jj = j + static_cast<int>(std::lround(r * std::sin(a) / kStep));
                    const std::size_t q = patch.at(ii, jj);
                    if (patch.inside[q] && luma[q] > rim) {
                        rim = luma[q];
                        rimAt = q;
                    }
                }
                if (rim <= 0)
                    continue;
                rimSum += rim;
                skinRims += skin->contains(shadeAt(patch, rimAt));
                const double contrast = 1 - luma[k] / rim;
                if (contrast >= kLeastContrast) {
                    ++enclosed;
                    contrastSum += contrast * contrast;
                }
            }
            if (enclosed < kLeastEnclosed || skinRims < kLeastSkinRims)
                continue;
            // The deepest, most enclosed hollow near the usual place: the canal outdoes the
            // concha's shallower folds.
            const Point at = patch.framePoint(i, j);
            const double offAcross = (at.x - expected.x) / (kNearSpreadAcross * halfWidth),
                         offDown = (at.y - expected.y) / (kNearSpreadDown * halfHeight);
            const double score =
                contrastSum * std::exp(-(offAcross * offAcross + offDown * offDown) / 2);
            if (!best || score > bestScore) {
                best = at;
                bestScore = score;
                bestI = i;
                bestJ = j;
                bestRim = rimSum / kRingDirections;
            }
        }
    if (!best)
        return std::nullopt;
    return hollowMiddle(patch, luma, bestI, bestJ, float(bestRim));
}

} // namespace veidora::facefit::level
