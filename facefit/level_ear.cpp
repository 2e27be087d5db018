#include "level_ear.hpp"

#include "skin_model.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace veidora::facefit::level {

namespace {

// Where the ear's opening typically lies behind and below the nose's root on adult profiles
// (frame units), how far round that it is looked for, and how fast a hollow further off loses
// out to one nearer (the spread of the place between heads): the concha's upper bowl and the
// crease under the lobe are hollows of their own a little above and below.
constexpr double kEarBack = 0.89;
constexpr double kEarDown = 0.27;
constexpr double kHalfWidth = 0.22;
constexpr double kHalfHeight = 0.19;
constexpr double kPlaceSpread = 0.08;
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
// a lock of hair stays dark along itself.
constexpr int kLeastEnclosed = 14;
constexpr float kLeastContrast = 0.25f;
// Of the rims this many must be skin like the cheek's: hair round a dark gap between locks
// is not. (The concha's shaded walls often fall outside the cheek's colours, so not all.)
constexpr int kLeastSkinRims = 6;

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

} // namespace

std::optional<Point> findEarOpening(const ImageView& picture, const Frame& frame) {
    const auto skin = cheekSkin(picture, frame);
    if (!skin)
        return std::nullopt;
    const double margin = kRingOuter;
    const Patch patch =
        resample(picture, frame, kEarBack - kHalfWidth - margin, kEarDown - kHalfHeight - margin,
                 kEarBack + kHalfWidth + margin, kEarDown + kHalfHeight + margin, kStep);
    const std::vector<float> luma =
        boxBlur(patch.luma, patch.inside, patch.columns, patch.rows, kSmooth);
    const int m = static_cast<int>(std::ceil(margin / kStep));
    std::optional<Point> best;
    double bestScore = 0;
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
            double contrastSum = 0;
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
                skinRims += skin->contains(shadeAt(patch, rimAt));
                const double contrast = 1 - luma[k] / rim;
                if (contrast >= kLeastContrast) {
                    ++enclosed;
                    contrastSum += contrast;
                }
            }
            if (enclosed < kLeastEnclosed || skinRims < kLeastSkinRims)
                continue;
            const Point at = patch.framePoint(i, j);
            const double off = std::hypot(at.x - kEarBack, at.y - kEarDown) / kPlaceSpread;
            const double score = contrastSum * std::exp(-off * off / 2);
            if (!best || score > bestScore) {
                best = at;
                bestScore = score;
            }
        }
    return best;
}

} // namespace veidora::facefit::level
