#include "face_fit.hpp"

#include "face_points.hpp"
#include "nose_bridge.hpp"
#include "photo_features.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>
#include <vector>

namespace veidora::facefit {

namespace {

constexpr bool sourcesValid() {
    for (const FrontSource& src : kFrontSources) {
        if (src.count < 0 || src.count > static_cast<int>(src.parts.size()))
            return false;
        for (int k = 0; k < src.count; ++k) {
            const FacePart& part = src.parts[static_cast<std::size_t>(k)];
            if (part.point < 0 || part.point >= kFacePointCount || !(part.weight > 0))
                return false;
        }
    }
    return true;
}
static_assert(sourcesValid(), "a front landmark names a face point out of range or a weight <= 0");

} // namespace

std::optional<Similarity> fitSimilarity(std::span<const Point> from, std::span<const Point> to) {
    if (from.size() != to.size() || from.size() < 2)
        return std::nullopt;
    const double n = static_cast<double>(from.size());
    Point mf, mt;
    for (std::size_t i = 0; i < from.size(); ++i) {
        mf.x += from[i].x;
        mf.y += from[i].y;
        mt.x += to[i].x;
        mt.y += to[i].y;
    }
    mf = {mf.x / n, mf.y / n};
    mt = {mt.x / n, mt.y / n};

    // Centred sums: the closed form of the 4-parameter least squares.
    double spread = 0, dot = 0, cross = 0, size = 0;
    for (std::size_t i = 0; i < from.size(); ++i) {
        const double fx = from[i].x - mf.x, fy = from[i].y - mf.y;
        const double tx = to[i].x - mt.x, ty = to[i].y - mt.y;
        spread += fx * fx + fy * fy;
        dot += fx * tx + fy * ty;
        cross += fx * ty - fy * tx;
        size += from[i].x * from[i].x + from[i].y * from[i].y;
    }
    // Points equal up to rounding noise count as coincident; NaN fails here too.
    if (!(spread > 1e-24 * std::max(size, 1.0)))
        return std::nullopt;
    Similarity s;
    s.a = dot / spread;
    s.b = cross / spread;
    s.tx = mt.x - (s.a * mf.x - s.b * mf.y);
    s.ty = mt.y - (s.b * mf.x + s.a * mf.y);
    return s;
}

FrontPoints frontLandmarks(const FacePoints& face,
                           std::span<const Point, kFrontPointCount> defaults) {
    FrontPoints out{};
    std::vector<Point> from, to;
    for (std::size_t i = 0; i < kFrontPointCount; ++i) {
        const FrontSource& src = kFrontSources[i];
        if (src.fitted())
            continue;
        Point sum;
        double weights = 0;
        for (int k = 0; k < src.count; ++k) {
            const FacePart& part = src.parts[static_cast<std::size_t>(k)];
            const Point& p = face[static_cast<std::size_t>(part.point)];
            sum.x += part.weight * p.x;
            sum.y += part.weight * p.y;
            weights += part.weight;
        }
        out[i] = {sum.x / weights, sum.y / weights};
        from.push_back(defaults[i]);
        to.push_back(out[i]);
    }

    const std::optional<Similarity> fit = fitSimilarity(from, to);
    Point centre;
    for (const Point& p : to) {
        centre.x += p.x / static_cast<double>(to.size());
        centre.y += p.y / static_cast<double>(to.size());
    }
    for (std::size_t i = 0; i < kFrontPointCount; ++i)
        if (kFrontSources[i].fitted())
            out[i] = fit ? fit->apply(defaults[i]) : centre;
    return out;
}

namespace {

// The hairline above the nose root, as a share of the nose root's height above the chin: about
// 0.6 on adult faces, seldom below 0.45 or above 0.85 (a high forehead or a receding hairline).
constexpr double kForeheadShare = 0.6;
constexpr double kLeastForehead = 0.45, kMostForehead = 0.85;
// The hairline's corners at the temples lie about level with its top or somewhat below it: on
// adult faces from 0.03 of the head's height above it to 0.11 below. A corner more than a
// twentieth above is not on the top's hairline; one lower than adult corners reach is a fringe's,
// a swept lock's or a curl's edge, where the corner itself cannot be told: it stays estimated.
constexpr double kCornerAbove = 0.05, kCornerBelow = 0.11;

// How far `hairline` lies above `root` along the face's axis (from `chin` to `root`), as a
// share of that axis's length.
double foreheadShare(Point hairline, Point root, Point chin) {
    const double ax = root.x - chin.x, ay = root.y - chin.y;
    const double len2 = ax * ax + ay * ay;
    return len2 > 0 ? ((hairline.x - root.x) * ax + (hairline.y - root.y) * ay) / len2 : 0;
}

} // namespace

void estimateHairline(FrontPoints& p) {
    const Point root = p[lm::P16], chin = p[lm::P4];
    const Point top{root.x + kForeheadShare * (root.x - chin.x),
                    root.y + kForeheadShare * (root.y - chin.y)};
    const Point shift{top.x - p[lm::P3].x, top.y - p[lm::P3].y};
    for (std::size_t i : {lm::P1, lm::P2})
        p[i] = {p[i].x + shift.x, p[i].y + shift.y};
    p[lm::P3] = top;
}

FrontFinding findFrontLandmarks(const FacePoints& face,
                                std::span<const Point, kFrontPointCount> defaults,
                                const ImageView& photo) {
    FrontFinding out;
    out.points = frontLandmarks(face, defaults);
    estimateHairline(out.points);
    estimateBridge(out.points);
    for (std::size_t i = 0; i < kFrontPointCount; ++i)
        out.found[i] = !kFrontSources[i].fitted();
    PhotoLandmarks seen = findInPhoto(photo, face, out.points);
    // A hairline no forehead could have is something else: a shadow, a fringe's edge.
    if (seen.hairlineTop) {
        const double share =
            foreheadShare(*seen.hairlineTop, out.points[lm::P16], out.points[lm::P4]);
        if (share < kLeastForehead || share > kMostForehead)
            seen.hairlineTop.reset();
    }
    const Point top = seen.hairlineTop ? *seen.hairlineTop : out.points[lm::P3];
    for (std::optional<Point>* corner : {&seen.hairlineLeft, &seen.hairlineRight}) {
        // What hides the top (a fringe, a lock, a bare crown) hides the corners too: the edge
        // seen there is the cover's.
        if (!seen.hairlineTop)
            corner->reset();
        if (!*corner)
            continue;
        // Below the top along the face's axis, as a share of the head's height.
        const double below = -foreheadShare(**corner, top, out.points[lm::P4]);
        if (below < -kCornerAbove || below > kCornerBelow)
            corner->reset();
    }
    std::optional<Point> cheekLeft, cheekRight, jawLeft, jawRight;
    if (seen.outline) {
        cheekLeft = seen.outline->cheekLeft;
        cheekRight = seen.outline->cheekRight;
        jawLeft = seen.outline->jawLeft;
        jawRight = seen.outline->jawRight;
    }
    const std::pair<const std::optional<Point>&, std::size_t> shown[] = {
        {seen.hairlineLeft, lm::P1}, {seen.hairlineRight, lm::P2}, {seen.hairlineTop, lm::P3},
        {seen.chinBottom, lm::P4},   {cheekLeft, lm::P13},         {cheekRight, lm::P14},
        {seen.bridgeLeft, lm::P17},  {seen.bridgeRight, lm::P18},  {seen.wingLeft, lm::P19},
        {seen.wingRight, lm::P20},   {jawLeft, lm::P21},           {jawRight, lm::P22},
        {seen.bridgeRoot, lm::P16},
    };
    for (const auto& [p, i] : shown) {
        if (p) {
            out.points[i] = *p;
            out.found[i] = true;
        }
    }
    return out;
}

Point imageToRectangle(Point imagePoint, const PhotoView& view) {
    const double cx = view.boxX + view.boxWidth / 2;
    const double cy = view.boxY + view.boxHeight / 2;
    Point p{cx, cy};
    if (view.imageWidth > 0 && view.imageHeight > 0 && view.boxWidth > 0 && view.boxHeight > 0) {
        const double scale =
            std::min(view.boxWidth / view.imageWidth, view.boxHeight / view.imageHeight);
        // Relative to the box centre, where the fitted picture is centred and turned.
        const double dx = (imagePoint.x - view.imageWidth / 2) * scale;
        const double dy = (imagePoint.y - view.imageHeight / 2) * scale;
        const double rad = view.angleDegrees * std::numbers::pi / 180;
        const double c = std::cos(rad), s = std::sin(rad);
        p = {cx + c * dx - s * dy, cy + s * dx + c * dy};
    }
    p.x = std::clamp(p.x, 0.0, std::max(view.clampWidth, 0.0));
    p.y = std::clamp(p.y, 0.0, std::max(view.clampHeight, 0.0));
    return p;
}

} // namespace veidora::facefit
