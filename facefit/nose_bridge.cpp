#include "nose_bridge.hpp"

#include "face_points.hpp"
#include "skin_model.hpp"

#include <algorithm>
#include <cmath>
#include <span>
#include <utility>
#include <vector>

namespace veidora::facefit {

namespace {

// The least step of brightness (of 255) that counts as a side of the bridge.
constexpr double kLeastStep = 3;
constexpr double kNoiseTimes = 5;

// The sample face marks the bridge's sides this share of the way from the nose root down to its
// base.
constexpr double kSidesHeight = 0.283;
// The bridge's centre line is read on this many rows from this share of the way down to this
// one: the bony bridge's length, from just below the root to below the sides' height. A
// direction read over the whole bridge holds where one row's edges wander by a pixel.
constexpr double kLineTop = 0.05, kLineBottom = 0.45;
constexpr int kLineRows = 17;
// At least this many rows (a third) must show both sides: with fewer, too little is left over
// to tell a stray row from the bridge. Fewer is a flat-lit nose.
constexpr int kLeastRows = 6;
// A row whose centre lies this many robust spreads off the median line (and more than a hundredth
// of an eye distance: a pixel's worth on any face the search reads) is a glint or a crease, not
// the bridge: left out of the fit.
constexpr double kOutlierSpreads = 3, kLeastOutlier = 0.01;
// Each row is read this far either side of the axis (eye distances), finely enough for 256
// samples an eye distance but never finer than a quarter pixel.
constexpr double kRowReach = 0.3;
constexpr double kSamplesPerUnit = 256, kFinestStep = 0.25;
// The two halves of a row's stretch along the bridge: samples this far apart (eye distances),
// the profiles smoothed over the same width (at least a pixel) before their slopes are taken.
constexpr double kAlongGap = 0.012;
// A side lies this far from the axis at least and at most (eye distances): a bridge is never
// narrower than the twentieth of an eye distance, and its wider walls end before the eyes'
// inner corners.
constexpr double kLeastHalf = 0.025, kMostHalf = 0.17;

// Across the nose: its axis from the root to the base, and the direction to the picture's right.
struct NoseAxis {
    Point root;
    Point along;
    Point across;
    double length = 0; // pixels from the root to the base
};

// The axis from the root P16 to the base P15; nullopt when they coincide.
std::optional<NoseAxis> noseAxisOf(const FrontPoints& estimate) {
    const Point root = estimate[lm::P16], base = estimate[lm::P15];
    const double ax = base.x - root.x, ay = base.y - root.y;
    const double length = std::hypot(ax, ay);
    if (!(length > 0))
        return std::nullopt;
    const Point along{ax / length, ay / length};
    return NoseAxis{root, along, {along.y, -along.x}, length};
}

// The bridge's two sides on the row `down` pixels below the root, as offsets across the axis
// (pixels, to the picture's right); nullopt where the shading shows no sides there.
std::optional<EdgePair> sidesOnRow(const Pixels& px, const Frame& fr, const NoseAxis& axis,
                                   double down) {
    const Point c{axis.root.x + down * axis.along.x, axis.root.y + down * axis.along.y};
    // Across the bridge, finely; each sample the mean of a short stretch along it, once for each
    // half of the stretch. The bridge's sides run along it, so the halves share them and differ
    // by the photo's noise; they lie two pixels apart at least, so that no pixel is under both.
    constexpr int kAlong = 4; // samples in each half
    const double step = std::max(fr.unit / kSamplesPerUnit, kFinestStep);
    const double gap = kAlongGap * fr.unit;
    const double inner = std::max(1.0, gap / 2);
    const int half = static_cast<int>(std::lround(kRowReach * fr.unit / step));
    std::vector<float> upper, lower;
    for (int i = -half; i <= half; ++i) {
        float sum[2] = {0, 0};
        for (int j = 0; j < 2 * kAlong; ++j) {
            const double s = i * step;
            const double a = j < kAlong ? -inner - j * gap : inner + (j - kAlong) * gap;
            const Point p{c.x + s * axis.across.x + a * axis.along.x,
                          c.y + s * axis.across.y + a * axis.along.y};
            if (!px.inside(p))
                return std::nullopt;
            sum[j / kAlong] += px.luma(p) / kAlong;
        }
        upper.push_back(sum[0]);
        lower.push_back(sum[1]);
    }
    const double sigma = std::max(kAlongGap * fr.unit, 1.0) / step;
    const auto edges = ridgeEdges(upper, lower, half, kLeastHalf * fr.unit / step,
                                  kMostHalf * fr.unit / step, sigma);
    if (!edges)
        return std::nullopt;
    return EdgePair{(edges->left - half) * step, (edges->right - half) * step};
}

// One row's reading: how far below the root, the bridge's centre and half width across it.
struct RidgeRow {
    double down = 0;
    double centre = 0;
    double halfWidth = 0;
};

// The least-squares line centre = a + b down through the rows.
struct CentreLine {
    double a = 0;
    double b = 0;
    double at(double down) const { return a + b * down; }
};
std::optional<CentreLine> lineThrough(std::span<const RidgeRow> rows) {
    double n = 0, sd = 0, sc = 0, sdd = 0, sdc = 0;
    for (const RidgeRow& r : rows) {
        n += 1;
        sd += r.down;
        sc += r.centre;
        sdd += r.down * r.down;
        sdc += r.down * r.centre;
    }
    const double den = n * sdd - sd * sd;
    if (n < 2 || !(den > 0))
        return std::nullopt;
    const double b = (n * sdc - sd * sc) / den;
    return CentreLine{(sc - b * sd) / n, b};
}

// A line through the rows that a few stray ones cannot pull: the median of the slopes between
// every two rows, then the median offset.
std::optional<CentreLine> medianLine(std::span<const RidgeRow> rows) {
    std::vector<float> slopes, offsets;
    for (std::size_t i = 0; i < rows.size(); ++i)
        for (std::size_t j = i + 1; j < rows.size(); ++j)
            if (rows[j].down != rows[i].down)
                slopes.push_back(static_cast<float>((rows[j].centre - rows[i].centre) /
                                                    (rows[j].down - rows[i].down)));
    if (slopes.empty())
        return std::nullopt;
    const double b = median(slopes);
    for (const RidgeRow& r : rows)
        offsets.push_back(static_cast<float>(r.centre - b * r.down));
    return CentreLine{median(offsets), b};
}

// The bridge's centre line through the rows that show it, rows far off the median line left out.
std::optional<CentreLine> bridgeLine(std::vector<RidgeRow> rows, double unit) {
    if (static_cast<int>(rows.size()) < kLeastRows)
        return std::nullopt;
    const std::optional<CentreLine> first = medianLine(rows);
    if (!first)
        return std::nullopt;
    std::vector<float> off;
    for (const RidgeRow& r : rows)
        off.push_back(static_cast<float>(std::abs(r.centre - first->at(r.down))));
    const double spread = 1.4826 * median(off);
    const double limit = std::max(kOutlierSpreads * spread, kLeastOutlier * unit);
    std::erase_if(
        rows, [&](const RidgeRow& r) { return std::abs(r.centre - first->at(r.down)) > limit; });
    if (static_cast<int>(rows.size()) < kLeastRows)
        return std::nullopt;
    return lineThrough(rows);
}

} // namespace

std::optional<BridgeSides> findBridge(const Pixels& px, const Frame& fr,
                                      const FrontPoints& estimate) {
    const std::optional<NoseAxis> axis = noseAxisOf(estimate);
    if (!axis)
        return std::nullopt;
    std::vector<RidgeRow> rows;
    for (int k = 0; k < kLineRows; ++k) {
        const double share = kLineTop + (kLineBottom - kLineTop) * k / (kLineRows - 1);
        const double down = share * axis->length;
        if (const auto e = sidesOnRow(px, fr, *axis, down))
            rows.push_back({down, (e->left + e->right) / 2, (e->right - e->left) / 2});
    }
    const std::optional<CentreLine> line = bridgeLine(rows, fr.unit);
    if (!line)
        return std::nullopt;
    // The sides' half width: the rows' median, as the bridge's width changes little along it.
    std::vector<float> halves;
    for (const RidgeRow& r : rows)
        halves.push_back(static_cast<float>(r.halfWidth));
    const double halfWidth = median(halves);
    const double down = kSidesHeight * axis->length;
    const auto at = [&](double d, double off) {
        return Point{axis->root.x + d * axis->along.x + off * axis->across.x,
                     axis->root.y + d * axis->along.y + off * axis->across.y};
    };
    return BridgeSides{at(down, line->at(down) - halfWidth), at(down, line->at(down) + halfWidth),
                       at(0, line->at(0))};
}

void estimateBridge(FrontPoints& points) {
    const std::optional<NoseAxis> axis = noseAxisOf(points);
    if (!axis)
        return;
    const Point l = points[lm::P17], r = points[lm::P18];
    const double half = ((r.x - l.x) * axis->across.x + (r.y - l.y) * axis->across.y) / 2;
    const double down = kSidesHeight * axis->length;
    for (const auto& [i, off] : {std::pair{lm::P17, -half}, std::pair{lm::P18, half}})
        points[i] = {axis->root.x + down * axis->along.x + off * axis->across.x,
                     axis->root.y + down * axis->along.y + off * axis->across.y};
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
