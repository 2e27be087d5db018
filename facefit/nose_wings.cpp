#include "nose_wings.hpp"

#include "face_points.hpp"
#include "skin_model.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

namespace veidora::facefit {

namespace {

// The sample face marks the wings' outer bulge this share of the way from the nose root down
// to its base.
constexpr double kWingHeight = 0.89;
// The edge is looked for this far (eye distances) either side of where the fit puts it: the
// fit follows the face's size and turn, not its own nose's breadth.
constexpr double kWingReach = 0.0625;
// Samples per eye distance across the nose; each the mean of rows this far apart along it
// (eye distances), over this many rows: the groove runs along the nose, noise does not.
constexpr int kSamplesPerUnit = 128;
constexpr double kRowStep = 0.005;
constexpr int kRows = 5;
// The rise is read as the mean log brightness over this many samples either side (a fortieth
// of an eye distance: a few pixels even on a small face) and counts where the cheek is at least
// 16 % (e^0.15) brighter than the groove: a wing's own shading rises more gently.
constexpr int kRiseHalf = 3;
constexpr double kLeastRise = 0.15;

// The outermost clear rise outwards along `luma`: where its middle lies, in samples.
std::optional<double> outermostRise(const std::vector<float>& luma) {
    const int n = static_cast<int>(luma.size());
    std::vector<double> logs(luma.size());
    for (std::size_t i = 0; i < luma.size(); ++i)
        logs[i] = std::log(std::max(luma[i], kDarkest));
    std::vector<double> rise(luma.size(), 0.0);
    for (int i = kRiseHalf; i + kRiseHalf <= n; ++i) {
        double inner = 0, outer = 0;
        for (int k = 0; k < kRiseHalf; ++k) {
            inner += logs[static_cast<std::size_t>(i - 1 - k)];
            outer += logs[static_cast<std::size_t>(i + k)];
        }
        rise[static_cast<std::size_t>(i)] = (outer - inner) / kRiseHalf;
    }
    // The outermost clear rise: further in, the nostril's shadow rises to the lit wing.
    for (int i = n - kRiseHalf; i > kRiseHalf; --i) {
        const double r = rise[static_cast<std::size_t>(i)];
        if (r >= kLeastRise && r >= rise[static_cast<std::size_t>(i - 1)] &&
            r >= rise[static_cast<std::size_t>(std::min(i + 1, n - 1))])
            return i - 0.5;
    }
    return std::nullopt;
}

} // namespace

WingPoints findWings(const Pixels& px, const Frame& fr, const FrontPoints& estimate) {
    WingPoints out;
    const Point root = estimate[lm::P16], base = estimate[lm::P15];
    const double ax = base.x - root.x, ay = base.y - root.y;
    const double length = std::hypot(ax, ay);
    if (!(length > 0) || !(fr.unit > 0))
        return out;
    const Point along{ax / length, ay / length};
    const Point across{along.y, -along.x}; // to the picture's right
    const Point c{root.x + kWingHeight * ax, root.y + kWingHeight * ay};
    const double step = fr.unit / kSamplesPerUnit;
    const int reach = static_cast<int>(std::lround(kWingReach * kSamplesPerUnit));
    for (const int side : {-1, 1}) {
        const Point fit = estimate[side < 0 ? lm::P19 : lm::P20];
        // The fit's distance from the nose's axis, outwards, in samples.
        const double fitAt = side * ((fit.x - c.x) * across.x + (fit.y - c.y) * across.y) / step;
        const int first = static_cast<int>(std::lround(fitAt)) - reach - kRiseHalf;
        std::vector<float> luma;
        for (int i = first; i <= first + 2 * (reach + kRiseHalf); ++i) {
            const double s = side * i * step;
            float sum = 0;
            for (int r = 0; r < kRows; ++r) {
                const double a = (r - (kRows - 1) / 2.0) * kRowStep * fr.unit;
                const Point p{c.x + s * across.x + a * along.x, c.y + s * across.y + a * along.y};
                if (!px.inside(p))
                    return out;
                sum += px.luma(p);
            }
            luma.push_back(sum / kRows);
        }
        const std::optional<double> rise = outermostRise(luma);
        if (!rise)
            continue;
        const double s = side * (first + *rise) * step;
        (side < 0 ? out.left : out.right) = Point{c.x + s * across.x, c.y + s * across.y};
    }
    return out;
}

} // namespace veidora::facefit
