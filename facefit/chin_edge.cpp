#include "chin_edge.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

namespace veidora::facefit {

namespace {

// The model puts its chin point on the bony chin, on the chin's edge or up to about a tenth of an
// eye distance above it where the soft tissue reaches lower; further off it has followed a
// beard or a fold. The edge is looked for that far below it and no further: the neck's own
// shadow edges lie further below.
constexpr double kReach = 0.1;
// Each row is read across this far either side of the midline: wide enough to average the
// skin's pores and stubble away, narrow enough that the chin's curve stays level across it.
constexpr double kAcross = 0.04;
// Rows this far apart, and the edge's fall measured between the means of this many rows above
// and below: a chin's shadow edge is a few hundredths of an eye distance soft.
constexpr double kRowStep = 1.0 / 128;
constexpr int kFallRows = 3;
// The edge is placed to within the rows its fall is measured over: a model's point that near it
// is on it already, and moving it would only add the rows' noise.
constexpr double kOnEdge = kFallRows * kRowStep;
// A fall of at least this share of the brightness above it is an edge the eye sees; a lit
// chin's underside is darker than that by far, a soft turn of the skin is not.
constexpr float kLeastFall = 0.15f;

// The mean brightness of the row across the midline at `x`, `y` eye distances below the eyes.
float rowLuma(const Pixels& px, const Frame& fr, double x, double y) {
    constexpr int kSamples = 9; // a sample every hundredth of an eye distance across

    float sum = 0;
    for (int i = 0; i < kSamples; ++i) {
        const double dx = -kAcross + 2 * kAcross * i / (kSamples - 1);
        sum += px.luma(fr.toImage(x + dx, y));
    }
    return sum / kSamples;
}

} // namespace

std::optional<double> steepestFall(std::span<const float> luma, int half, float leastShare) {
    const int n = static_cast<int>(luma.size());
    if (half < 1 || n < 2 * half + 1)
        return std::nullopt;
    const auto mean = [&](int from) {
        float sum = 0;
        for (int i = from; i < from + half; ++i)
            sum += luma[static_cast<std::size_t>(i)];
        return sum / static_cast<float>(half);
    };
    // fall[i]: between the rows above row i + 0.5 and the rows below it.
    std::vector<float> fall(static_cast<std::size_t>(n), 0.0f), above(fall.size(), 0.0f);
    int best = -1;
    for (int i = half - 1; i + half < n; ++i) {
        const std::size_t k = static_cast<std::size_t>(i);
        above[k] = mean(i - half + 1);
        fall[k] = above[k] - mean(i + 1);
        if (best < 0 || fall[k] > fall[static_cast<std::size_t>(best)])
            best = i;
    }
    const std::size_t b = static_cast<std::size_t>(best);
    if (!(fall[b] >= leastShare * std::max(above[b], 1.0f)))
        return std::nullopt;
    // Where the rows cross half way between the two sides' brightness: steadier than the
    // fall's own peak, which a soft edge spreads over several rows.
    const float mid = above[b] - fall[b] / 2;
    for (int i = best - half + 2; i <= best + half; ++i) {
        const float a = luma[static_cast<std::size_t>(i - 1)],
                    c = luma[static_cast<std::size_t>(i)];
        if (a > mid && c <= mid)
            return i - 1 + static_cast<double>((a - mid) / (a - c));
    }
    const double at = best + 0.5;
    return at;
}

std::optional<Point> findChinEdge(const Pixels& px, const Frame& fr, Point chin) {
    const Point at = fr.toFace(chin);
    // From just above the model's point, so that a fall right at it is measured too, down.
    const int rows = static_cast<int>(std::lround(kReach / kRowStep)) + kFallRows;
    std::vector<float> luma;
    for (int i = -kFallRows; i <= rows; ++i)
        luma.push_back(rowLuma(px, fr, at.x, at.y + i * kRowStep));
    const std::optional<double> fall = steepestFall(luma, kFallRows, kLeastFall);
    if (!fall)
        return std::nullopt;
    const double below = (*fall - kFallRows) * kRowStep;
    if (below > kReach)
        return std::nullopt; // the steepest fall lies past the reach: no edge within it
    if (below <= kOnEdge)
        return std::nullopt; // the model's point lies on the edge's blur already
    return fr.toImage(at.x, at.y + below);
}

} // namespace veidora::facefit
