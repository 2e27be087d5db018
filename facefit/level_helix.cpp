#include "level_helix.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace veidora::facefit::level {

namespace {

// Where the ear's middle lies behind and below the nose's root on adult profiles, how far round
// it is looked for (frame units: the spread between heads and of the nose root and chin the
// frame rests on), and how fast an outline further off loses out to a nearer one.
constexpr double kCentreBack = 1.03;
constexpr double kCentreDown = 0.22;
constexpr double kCentreHalfWidth = 0.26;
constexpr double kCentreHalfHeight = 0.22;
constexpr double kPlaceSpread = 0.12;
// Ears from this much smaller to this much larger than the typical one, in a few sizes.
constexpr std::array<double, 5> kScales{0.8, 0.9, 1.0, 1.12, 1.25};
// Samples per frame unit: an ear's rim is a few samples wide, its outline a hundred long.
constexpr double kStep = 1.0 / 120;
// Smoothing radius in samples: skin pores and single hairs are finer than the rim.
constexpr int kSmooth = 2;
// The votes' grid is this many samples a cell: the rim is no true ellipse, so its votes spread.
constexpr int kCell = 2;
// Below this brightness change (log luma per frame unit) an edge is noise; above the cap a
// hair's dark border against skin counts no more than the rim's own shade.
constexpr double kLeastEdge = 6;
constexpr double kEdgeCap = 24;
// Brightness rises into the ear across its rim (the head behind is hair or in the ear's
// shade). The rim's normals point forward, up or down, never much backward: those edges
// belong to the concha's back wall or the face.
constexpr double kMostBackward = 0.5;
// The outline must gather this much more than an average place in the search: hair alone
// scatters its votes.
constexpr double kLeastStrength = 3;

} // namespace

std::optional<EarOutline> findEarOutline(const ImageView& picture, const Frame& frame) {
    const double reachX = kEarHalfWidth * kScales.back(), reachY = kEarHalfHeight * kScales.back();
    const double left = kCentreBack - kCentreHalfWidth - reachX;
    const double top = kCentreDown - kCentreHalfHeight - reachY;
    const Patch patch = resample(picture, frame, left, top, kCentreBack + kCentreHalfWidth + reachX,
                                 kCentreDown + kCentreHalfHeight + reachY, kStep);
    std::vector<float> logLuma(patch.luma.size());
    for (std::size_t k = 0; k < logLuma.size(); ++k)
        logLuma[k] = std::log(std::max(patch.luma[k], 8.0f));
    const std::vector<float> l = boxBlur(logLuma, patch.inside, patch.columns, patch.rows, kSmooth);

    // Votes for the centre, one grid per size, over the centres' search area.
    const int cols = static_cast<int>(2 * kCentreHalfWidth / (kStep * kCell)) + 1;
    const int rows = static_cast<int>(2 * kCentreHalfHeight / (kStep * kCell)) + 1;
    const double gridLeft = kCentreBack - kCentreHalfWidth,
                 gridTop = kCentreDown - kCentreHalfHeight;
    std::vector<std::vector<float>> votes(kScales.size(),
                                          std::vector<float>(std::size_t(cols) * rows, 0));
    const auto vote = [&](std::size_t s, double x, double y, float w) {
        const double gi = (x - gridLeft) / (kStep * kCell), gj = (y - gridTop) / (kStep * kCell);
        const int i = static_cast<int>(std::floor(gi)), j = static_cast<int>(std::floor(gj));
        if (i < 0 || j < 0 || i + 1 >= cols || j + 1 >= rows)
            return;
        const float fx = float(gi - i), fy = float(gj - j);
        auto& v = votes[s];
        v[std::size_t(j) * cols + i] += w * (1 - fx) * (1 - fy);
        v[std::size_t(j) * cols + i + 1] += w * fx * (1 - fy);
        v[std::size_t(j + 1) * cols + i] += w * (1 - fx) * fy;
        v[std::size_t(j + 1) * cols + i + 1] += w * fx * fy;
    };
    for (int j = 1; j + 1 < patch.rows; ++j)
        for (int i = 1; i + 1 < patch.columns; ++i) {
            bool real = true;
            for (int dj = -1; dj <= 1; ++dj)
                for (int di = -1; di <= 1; ++di)
                    real = real && patch.inside[patch.at(i + di, j + dj)];
            if (!real)
                continue;
            const auto L = [&](int di, int dj) { return l[patch.at(i + di, j + dj)]; };
            // Sobel, in log luma per frame unit.
            const double gx =
                ((L(1, -1) + 2 * L(1, 0) + L(1, 1)) - (L(-1, -1) + 2 * L(-1, 0) + L(-1, 1))) /
                (8 * kStep);
            const double gy =
                ((L(-1, 1) + 2 * L(0, 1) + L(1, 1)) - (L(-1, -1) + 2 * L(0, -1) + L(1, -1))) /
                (8 * kStep);
            const double m = std::hypot(gx, gy);
            if (m < kLeastEdge)
                continue;
            const double nx = gx / m, ny = gy / m;
            if (nx > kMostBackward)
                continue;
            // The point of an ellipse with this inward normal lies at this offset from its centre.
            const double ex = kEarHalfWidth * nx * kEarHalfWidth,
                         ey = kEarHalfHeight * ny * kEarHalfHeight;
            const double norm = std::hypot(ex / kEarHalfWidth, ey / kEarHalfHeight);
            const float w = float(std::min(m, kEdgeCap));
            const Point p = patch.framePoint(i, j);
            for (std::size_t s = 0; s < kScales.size(); ++s)
                vote(s, p.x + kScales[s] * ex / norm, p.y + kScales[s] * ey / norm, w);
        }

    std::optional<EarOutline> best;
    double bestScore = 0, total = 0;
    std::size_t cells = 0;
    for (std::size_t s = 0; s < kScales.size(); ++s) {
        const std::vector<unsigned char> all(votes[s].size(), 1);
        const std::vector<float> v = boxBlur(votes[s], all, cols, rows, 1);
        for (int j = 0; j < rows; ++j)
            for (int i = 0; i < cols; ++i) {
                const float here = v[std::size_t(j) * cols + i];
                total += here;
                ++cells;
                const Point c{gridLeft + i * kStep * kCell, gridTop + j * kStep * kCell};
                const double off = std::hypot(c.x - kCentreBack, c.y - kCentreDown) / kPlaceSpread;
                // A larger outline gathers votes from a longer rim: counted per its length.
                const double score = here / kScales[s] * std::exp(-off * off / 2);
                if (!best || score > bestScore) {
                    best = EarOutline{c, kScales[s], here / kScales[s]};
                    bestScore = score;
                }
            }
    }
    if (!best || total <= 0)
        return std::nullopt;
    best->strength /= total / double(cells);
    if (best->strength < kLeastStrength)
        return std::nullopt;
    return best;
}

} // namespace veidora::facefit::level
