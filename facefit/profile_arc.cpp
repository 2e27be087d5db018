#include "profile_arc.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace veidora::facefit::profile {

namespace {

// The neck: the first row, past this share of the widest width below the top, narrower than
// this share of it.
constexpr double kNeckFrom = 0.3;
constexpr double kNeckNarrow = 0.75;
// Smaller than this many pixels across, a silhouette cannot show a face's features.
constexpr double kLeastWidth = 20;
// The face is on the arc lying further forward over this share of the width below the top.
constexpr double kFacingBand = 0.5;
constexpr std::size_t kLeastFrontLength = 10;
// A point this many pixels into the frame's background band counts as cut off by it.
constexpr double kFrameReach = 1.5;
// The way along the outline at a point is read over this share of the head's width.
constexpr double kTangentSpan = 0.01;

} // namespace

std::vector<Point> smoothed(const std::vector<Point>& pts, int radius) {
    const std::size_t n = pts.size();
    std::vector<Point> out(n);
    for (std::size_t i = 0; i < n; ++i) {
        Point sum;
        for (int k = -radius; k <= radius; ++k) {
            const Point& p = pts[(i + n + static_cast<std::size_t>(k + static_cast<int>(n))) % n];
            sum.x += p.x;
            sum.y += p.y;
        }
        out[i] = {sum.x / (2 * radius + 1), sum.y / (2 * radius + 1)};
    }
    return out;
}

Point turned(Point p, Point centre, double radians) {
    const double c = std::cos(radians), s = std::sin(radians);
    const double dx = p.x - centre.x, dy = p.y - centre.y;
    return {centre.x + c * dx - s * dy, centre.y + s * dx + c * dy};
}

std::optional<FrontArc> FrontArc::place(const std::vector<Point>& outline, const Outline& frame,
                                        Point centre, double tiltDegrees, std::string& why) {
    FrontArc a;
    a.m_raw = &outline;
    a.m_frame = &frame;
    a.m_centre = centre;
    a.m_tilt = tiltDegrees;
    const std::size_t n = outline.size();
    const double rad = -tiltDegrees * std::numbers::pi / 180;
    a.m_pts.resize(n);
    for (std::size_t i = 0; i < n; ++i)
        a.m_pts[i] = turned(outline[i], centre, rad);
    const std::vector<Point>& pts = a.m_pts;

    double yBottom = pts[0].y;
    for (std::size_t i = 0; i < n; ++i) {
        if (pts[i].y < pts[a.m_top].y || (pts[i].y == pts[a.m_top].y && pts[i].x < pts[a.m_top].x))
            a.m_top = i;
        yBottom = std::max(yBottom, pts[i].y);
    }
    a.m_yTop = pts[a.m_top].y;

    // The head's width: rows down from the top until the neck narrows.
    const int rows = static_cast<int>(std::ceil(yBottom - a.m_yTop)) + 1;
    std::vector<double> left(static_cast<std::size_t>(rows), std::numeric_limits<double>::max());
    std::vector<double> right(static_cast<std::size_t>(rows),
                              std::numeric_limits<double>::lowest());
    for (const Point& p : pts) {
        const auto r = static_cast<std::size_t>(
            std::clamp(static_cast<int>(std::floor(p.y - a.m_yTop)), 0, rows - 1));
        left[r] = std::min(left[r], p.x);
        right[r] = std::max(right[r], p.x);
    }
    double width = 0;
    for (int r = 0; r < rows; ++r) {
        const auto ur = static_cast<std::size_t>(r);
        if (left[ur] > right[ur])
            continue;
        const double w = right[ur] - left[ur];
        // A wisp of hair above the head narrows too: no neck before a head's width.
        if (width >= kLeastWidth && r > kNeckFrom * width && w < kNeckNarrow * width)
            break;
        width = std::max(width, w);
    }
    a.m_rowWidth = width;
    if (width < kLeastWidth) {
        why = "The silhouette is too small.";
        return std::nullopt;
    }

    // Both ways round from the top to the lowest point, or to where the body leaves the
    // picture; the face is on the one further forward.
    double mean[2] = {0, 0};
    std::size_t length[2] = {0, 0};
    for (int d = 0; d < 2; ++d) {
        const std::size_t step = d == 0 ? 1 : n - 1;
        double sum = 0;
        std::size_t count = 0, i = a.m_top, k = 0;
        for (; k < n; ++k, i = (i + step) % n) {
            if (pts[i].y >= yBottom - 0.5 || outline[i].y >= frame.height - 2)
                break;
            if (pts[i].y < a.m_yTop + kFacingBand * width) {
                sum += pts[i].x;
                ++count;
            }
        }
        mean[d] = count ? sum / static_cast<double>(count) : 0;
        length[d] = k;
    }
    const int d = mean[0] <= mean[1] ? 0 : 1;
    a.m_dir = d == 0 ? 1 : n - 1;
    a.m_length = length[d];
    if (a.m_length < kLeastFrontLength) {
        why = "The silhouette has no front outline.";
        return std::nullopt;
    }
    return a;
}

bool FrontArc::nearFrame(std::size_t i) const {
    const Point& p = (*m_raw)[index(i)];
    const double reach = m_frame->edge + kFrameReach;
    return p.x <= reach || p.y <= reach || p.x >= m_frame->width - reach;
}

Point FrontArc::toPicture(Point upright) const {
    return turned(upright, m_centre, m_tilt * std::numbers::pi / 180);
}

Point FrontArc::inside(std::size_t i, double depth, double width) const {
    const std::size_t k = std::max<std::size_t>(2, static_cast<std::size_t>(kTangentSpan * width));
    const Point a = (*this)[i > k ? i - k : 0], b = (*this)[std::min(i + k, last())];
    const double tx = b.x - a.x, ty = b.y - a.y, len = std::max(std::hypot(tx, ty), 1e-9);
    // Running down the face's front, the inside lies to the right of the way.
    return {(*this)[i].x + ty / len * depth, (*this)[i].y - tx / len * depth};
}

} // namespace veidora::facefit::profile
