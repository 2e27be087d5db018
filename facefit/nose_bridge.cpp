#include "nose_bridge.hpp"

#include "face_points.hpp"
#include "skin_model.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

namespace veidora::facefit {

namespace {

// The least step of brightness (of 255) that counts as a side of the bridge.
constexpr double kLeastStep = 3;
constexpr double kNoiseTimes = 5;

} // namespace

std::optional<BridgeSides> findBridge(const Pixels& px, const Frame& fr,
                                      const FrontPoints& estimate) {
    const Point root = estimate[lm::P16], base = estimate[lm::P15];
    const double ax = base.x - root.x, ay = base.y - root.y;
    const double length = std::hypot(ax, ay);
    if (!(length > 0))
        return std::nullopt;
    const Point along{ax / length, ay / length};
    const Point across{along.y, -along.x}; // to the picture's right
    // The sides' height: where the estimate puts them, between the root and the base.
    const Point l = estimate[lm::P17], r = estimate[lm::P18];
    const Point mid{(l.x + r.x) / 2, (l.y + r.y) / 2};
    const double t = ((mid.x - root.x) * along.x + (mid.y - root.y) * along.y);
    const Point c{root.x + t * along.x, root.y + t * along.y};

    // Across the bridge, finely; each sample the mean of a short stretch along it, once for each
    // half of the stretch. The bridge's sides run along it, so the halves share them and differ
    // by the photo's noise; they lie two pixels apart at least, so that no pixel is under both.
    constexpr int kAlong = 4; // samples in each half
    const double step = std::max(fr.unit / 256, 0.25), gap = 0.012 * fr.unit;
    const double inner = std::max(1.0, gap / 2);
    const int half = static_cast<int>(std::lround(0.3 * fr.unit / step));
    std::vector<float> upper, lower;
    for (int i = -half; i <= half; ++i) {
        float sum[2] = {0, 0};
        for (int j = 0; j < 2 * kAlong; ++j) {
            const double s = i * step;
            const double a = j < kAlong ? -inner - j * gap : inner + (j - kAlong) * gap;
            const Point p{c.x + s * across.x + a * along.x, c.y + s * across.y + a * along.y};
            if (!px.inside(p))
                return std::nullopt;
            sum[j / kAlong] += px.luma(p) / kAlong;
        }
        upper.push_back(sum[0]);
        lower.push_back(sum[1]);
    }
    const double sigma = std::max(0.012 * fr.unit, 1.0) / step;
    const auto edges =
        ridgeEdges(upper, lower, half, 0.025 * fr.unit / step, 0.17 * fr.unit / step, sigma);
    if (!edges)
        return std::nullopt;
    const auto at = [&](double i) {
        const double s = (i - half) * step;
        return Point{c.x + s * across.x, c.y + s * across.y};
    };
    return BridgeSides{at(edges->left), at(edges->right)};
}

std::optional<EdgePair> ridgeEdges(std::span<const float> a, std::span<const float> b,
                                   double centre, double minHalf, double maxHalf, double sigma) {
    const int n = static_cast<int>(a.size());
    if (n < 5 || b.size() != a.size() || !(sigma > 0) || !(minHalf >= 1) || !(maxHalf > minHalf))
        return std::nullopt;
    // Slopes of the Gaussian-smoothed profiles, by a derivative-of-Gaussian kernel (ends
    // clamped).
    const int r = std::max(1, static_cast<int>(std::ceil(3 * sigma)));
    std::vector<double> kernel(static_cast<std::size_t>(2 * r + 1));
    double norm = 0;
    for (int k = -r; k <= r; ++k) {
        const double g = std::exp(-0.5 * k * k / (sigma * sigma));
        kernel[static_cast<std::size_t>(k + r)] = k * g;
        norm += k * k * g;
    }
    for (double& k : kernel)
        k /= norm; // a unit ramp gives slope 1
    const auto slopeAt = [&](std::span<const float> p, int i) {
        double sum = 0;
        for (int k = -r; k <= r; ++k)
            sum += kernel[static_cast<std::size_t>(k + r)] *
                   p[static_cast<std::size_t>(std::clamp(i + k, 0, n - 1))];
        return sum;
    };
    std::vector<double> slope(static_cast<std::size_t>(n));
    std::vector<float> apart(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const double sa = slopeAt(a, i), sb = slopeAt(b, i);
        slope[static_cast<std::size_t>(i)] = (sa + sb) / 2;
        apart[static_cast<std::size_t>(i)] = static_cast<float>(std::abs(sa - sb) / 2);
    }
    // The slope's noise: how far the two profiles' slopes differ, typically. A side counts
    // when it stands well out of that and its step (slope x the smoothing's width) is a
    // visible shade.
    const double noise = 1.4826 * median(apart);
    const double least = std::max(kNoiseTimes * noise, kLeastStep / (2.5 * sigma));

    const auto best = [&](double from, double to, double sense) -> std::optional<double> {
        const int first = std::max(1, static_cast<int>(std::ceil(from)));
        const int last = std::min(n - 2, static_cast<int>(std::floor(to)));
        int pick = -1;
        for (int i = first; i <= last; ++i)
            if (pick < 0 || sense * slope[static_cast<std::size_t>(i)] >
                                sense * slope[static_cast<std::size_t>(pick)])
                pick = i;
        if (pick < 0 || sense * slope[static_cast<std::size_t>(pick)] < least)
            return std::nullopt;
        // The peak between samples, from a parabola through it and its neighbours.
        const double l = slope[static_cast<std::size_t>(pick - 1)],
                     m = slope[static_cast<std::size_t>(pick)],
                     h = slope[static_cast<std::size_t>(pick + 1)];
        const double den = l - 2 * m + h;
        const double off = den != 0 ? std::clamp(0.5 * (l - h) / den, -0.5, 0.5) : 0.0;
        return pick + off;
    };
    const auto left = best(centre - maxHalf, centre - minHalf, 1);
    const auto right = best(centre + minHalf, centre + maxHalf, -1);
    if (!left || !right)
        return std::nullopt;
    return EdgePair{*left, *right};
}

} // namespace veidora::facefit
