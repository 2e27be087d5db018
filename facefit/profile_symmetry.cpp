#include "profile_symmetry.hpp"

#include "profile_arc.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <string>

namespace veidora::facefit::profile {

namespace {

// Rows read between the top and the given depth: enough to catch a chin a few rows high.
constexpr int kRows = 120;
// The rows compared reach this many head widths below the top: past the chin, where a profile's
// chin and the neck set back from it stand out on one side, while a front view is still head and
// neck. Down to the nose only, the nose is too small a share of the rows to tell.
constexpr double kSymmetryDepth = 1.2;
// A silhouette whose row middles stray less than this share of the head's width is seen from
// the front. Over the development photos at 700 to 2000 px the fronts stray 0.003 to 0.018
// (ears, a parting, a head not quite square on) and the profiles 0.025 and more; the limit sits
// between the two, nearer neither.
constexpr double kFrontStray = 0.021;

} // namespace

double rowMiddleStray(const std::vector<Point>& outline, double depth) {
    if (outline.size() < 3 || !(depth > 0))
        return 0;
    double top = outline.front().y;
    for (const Point& p : outline)
        top = std::min(top, p.y);
    // Each row's leftmost and rightmost crossing of the outline.
    std::vector<double> ys, middles;
    for (int r = 1; r <= kRows; ++r) {
        const double y = top + depth * r / kRows;
        double lo = std::numeric_limits<double>::max(), hi = std::numeric_limits<double>::lowest();
        for (std::size_t i = 0; i < outline.size(); ++i) {
            const Point& a = outline[i];
            const Point& b = outline[(i + 1) % outline.size()];
            if ((a.y - y) * (b.y - y) > 0 || a.y == b.y)
                continue;
            const double x = a.x + (b.x - a.x) * (y - a.y) / (b.y - a.y);
            lo = std::min(lo, x);
            hi = std::max(hi, x);
        }
        if (lo > hi)
            continue;
        ys.push_back(y);
        middles.push_back((lo + hi) / 2);
    }
    if (ys.size() < 2)
        return 0;
    // The axis is fitted, so a head leaning to one side is still seen as symmetric.
    const double n = static_cast<double>(ys.size());
    double my = 0, mm = 0;
    for (std::size_t i = 0; i < ys.size(); ++i) {
        my += ys[i] / n;
        mm += middles[i] / n;
    }
    double syy = 0, sym = 0;
    for (std::size_t i = 0; i < ys.size(); ++i) {
        syy += (ys[i] - my) * (ys[i] - my);
        sym += (ys[i] - my) * (middles[i] - mm);
    }
    const double slope = syy > 0 ? sym / syy : 0;
    double squares = 0;
    for (std::size_t i = 0; i < ys.size(); ++i) {
        const double e = middles[i] - (mm + slope * (ys[i] - my));
        squares += e * e;
    }
    return std::sqrt(squares / n);
}

bool looksFrontal(const std::vector<Point>& outline, const Outline& frame) {
    std::string why;
    const std::optional<FrontArc> level = FrontArc::place(outline, frame, {}, 0, why);
    if (!level)
        return false;
    const double width = level->rowWidth();
    return rowMiddleStray(outline, kSymmetryDepth * width) < kFrontStray * width;
}

} // namespace veidora::facefit::profile
