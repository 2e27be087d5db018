#include "profile_fit.hpp"

#include <algorithm>
#include <cmath>
#include <exception>
#include <limits>
#include <numbers>
#include <optional>

namespace veidora::facefit {

namespace {

// Indices into SidePoints.
enum : std::size_t {
    S1 = 0,
    S2,
    S3,
    S4,
    S5,
    S6,
    S7,
    S8,
    S9,
    S10,
    S11,
    S12,
    S13,
    S14,
    S15,
    S16,
    S17
};

// Measured on the sample profile standing upright: the direction from the nose tip to the
// forehead it touches (the line resting on both), in screen degrees (Y down). A head whose
// line lies otherwise is taken as leaning by the difference, and the outline is read upright.
constexpr double kUprightForeheadLine = -74.6;
// The sample's S7 lies this share of the outline's length from the root (S4) to the tip (S8).
constexpr double kNasalBoneShare = 0.342;

// Everything below is in shares of the head's width, so any picture size reads alike.
constexpr double kNoseBandTop = 0.3;    // the nose tip lies this far below the top of the head
constexpr double kNoseBandBottom = 1.0; // ... and no further
// The forehead line rests this far above the tip at least, and at most (higher up lies hair),
// in shares of the widest row, or when that finds no nose, of the width from the tip's drop.
constexpr double kForeheadNear = 0.1;
constexpr double kForeheadFar = 0.35;
constexpr double kForeheadNearByDrop = 0.18;
constexpr double kForeheadFarByDrop = 0.36;
constexpr double kNoseDepth = 0.03;  // the tip stands this far ahead of the root
constexpr double kBaseDepth = 0.012; // ... and this far ahead of its base (full lips reach far)
constexpr double kNoseSharp = 0.012; // the ridge lies this far behind the tip 0.06 above it
constexpr double kBaseReach = 0.12;  // the upper lip lies this far below the tip
// A real head is about this many times as deep (nose tip to the back) as its nose tip lies
// below the top of the hair.
constexpr double kDepthPerTipDrop = 1.25;
constexpr int kScaleRounds = 4;
constexpr double kTurn = 0.012;    // a turn smaller than this is an eyelash or a pixel step
constexpr double kRootReach = 0.3; // the root lies at most this far above the tip
// The brow lies at most this many nose heights (root to tip) above the root.
constexpr double kBrowReach = 1.0;
constexpr double kCrownFlat = 0.002; // the crown counts as flat this close to its top
constexpr double kFoldStep = 0.01;   // a turn of the chin's outline smaller than this is noise
// A fold higher than this share of the way down from the nose base to the chin's bottom lies
// between the lips; without a lower one, the chin's front lies in this part of the way down.
constexpr double kFoldFrom = 0.45;
constexpr double kChinFrontFrom = 0.6;
constexpr double kChinFrontTo = 0.95;
// The hairline: colours are read this far inside the outline, past the thin strands at its
// edge; the forehead's skin between these heights above the brow (below lie the eyebrows);
// hair differs from it by this much colour and is this much darker (a highlight on the
// forehead is lighter), over a run this long.
constexpr double kHairProbeDepth = 0.03;
constexpr double kSkinBandFrom = 0.03;
constexpr double kSkinBandTo = 0.12;
constexpr double kHairContrast = 45;
constexpr double kHairDarker = 15;
constexpr double kHairRun = 0.012;
// The hairline lies at most this share of the way up from the brow to the top of the head.
constexpr double kHairlineReach = 0.75;
constexpr double kFlatChin = 0.005; // points this close behind the chin's front are as far forward

struct Colour {
    double r = 0, g = 0, b = 0;
};

double colourDistance(Colour a, Colour b) {
    return std::hypot(a.r - b.r, a.g - b.g, a.b - b.b);
}

double lightness(Colour c) {
    return 0.299 * c.r + 0.587 * c.g + 0.114 * c.b;
}

std::optional<Colour> colourAt(const ColourView& v, Point p) {
    const int cx = static_cast<int>(std::floor(p.x)), cy = static_cast<int>(std::floor(p.y));
    Colour sum;
    int n = 0;
    for (int y = cy - 1; y <= cy + 1; ++y) {
        for (int x = cx - 1; x <= cx + 1; ++x) {
            if (x < 0 || y < 0 || x >= v.width || y >= v.height)
                continue;
            const std::uint8_t* q = v.pixels + static_cast<std::ptrdiff_t>(y) * v.bytesPerLine +
                                    static_cast<std::ptrdiff_t>(x) * v.channels;
            if (v.channels == 3) {
                sum.r += q[0];
                sum.g += q[1];
                sum.b += q[2];
            } else {
                sum.r += q[2];
                sum.g += q[1];
                sum.b += q[0];
            }
            ++n;
        }
    }
    if (n == 0)
        return std::nullopt;
    return Colour{sum.r / n, sum.g / n, sum.b / n};
}

Point turned(Point p, Point centre, double radians) {
    const double c = std::cos(radians), s = std::sin(radians);
    const double dx = p.x - centre.x, dy = p.y - centre.y;
    return {centre.x + c * dx - s * dy, centre.y + s * dx + c * dy};
}

// A moving average along the closed outline: the pixel steps of a traced boundary would
// otherwise decide which of two nearly equal points is the extreme.
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

// One reading of a silhouette whose face looks left (towards -x).
struct Reading {
    bool ok = false;
    std::string why;
    SidePoints points{};
    std::array<bool, kSidePointCount> measured{};
    double score = 0; // how far the nose stands out, in head widths
    double tilt = 0;  // degrees
};

class Walk {
public:
    Walk(const std::vector<Point>& outline, const Outline& frame)
        : m_raw(outline), m_frame(frame) {}

    Reading read(const ColourView* colours, bool mirror, bool foreheadByDrop);

private:
    // The outline turned by `tilt` degrees about its centre, split into the front arc (top of
    // the head to the lowest point, past the face) and the back arc.
    bool place(double tiltDegrees, std::string& why);
    std::size_t frontIndex(std::size_t i) const { return (m_top + m_dir * i + m_n * 2) % m_n; }
    const Point& front(std::size_t i) const { return m_pts[frontIndex(i)]; }
    std::size_t argBy(std::size_t from, std::size_t to, auto&& key) const;
    bool nearFrame(std::size_t i) const;

    const std::vector<Point>& m_raw;
    const Outline& m_frame;
    std::size_t m_n = 0;
    std::vector<Point> m_pts; // the outline in the upright working frame
    Point m_centre;
    double m_tilt = 0;
    std::size_t m_top = 0; // raw index of the top
    std::size_t m_dir = 1; // +1 or n-1: the way round that runs down the face
    std::size_t m_frontLength = 0;
    double m_width = 0; // the head's width (front to back at its widest)
    double m_yTop = 0;
    double m_rowWidth = 0; // the widest row's width, hair hanging behind the head included
    bool m_foreheadByDrop = false;
};

std::size_t Walk::argBy(std::size_t from, std::size_t to, auto&& key) const {
    std::size_t best = from;
    double bestKey = key(front(from));
    for (std::size_t i = from + 1; i <= to; ++i) {
        const double k = key(front(i));
        if (k > bestKey) {
            bestKey = k;
            best = i;
        }
    }
    return best;
}

bool Walk::nearFrame(std::size_t i) const {
    const Point& p = m_raw[frontIndex(i)];
    const double reach = m_frame.edge + 1.5;
    return p.x <= reach || p.y <= reach || p.x >= m_frame.width - reach;
}

bool Walk::place(double tiltDegrees, std::string& why) {
    m_n = m_raw.size();
    m_tilt = tiltDegrees;
    const double rad = -tiltDegrees * std::numbers::pi / 180;
    m_pts.resize(m_n);
    for (std::size_t i = 0; i < m_n; ++i)
        m_pts[i] = turned(m_raw[i], m_centre, rad);

    m_top = 0;
    double yBottom = m_pts[0].y;
    for (std::size_t i = 0; i < m_n; ++i) {
        if (m_pts[i].y < m_pts[m_top].y ||
            (m_pts[i].y == m_pts[m_top].y && m_pts[i].x < m_pts[m_top].x))
            m_top = i;
        yBottom = std::max(yBottom, m_pts[i].y);
    }
    m_yTop = m_pts[m_top].y;

    // The head's width: rows down from the top until the neck narrows below 3/4 of the widest.
    const int rows = static_cast<int>(std::ceil(yBottom - m_yTop)) + 1;
    std::vector<double> left(static_cast<std::size_t>(rows), std::numeric_limits<double>::max());
    std::vector<double> right(static_cast<std::size_t>(rows),
                              std::numeric_limits<double>::lowest());
    for (const Point& p : m_pts) {
        const auto r = static_cast<std::size_t>(
            std::clamp(static_cast<int>(std::floor(p.y - m_yTop)), 0, rows - 1));
        left[r] = std::min(left[r], p.x);
        right[r] = std::max(right[r], p.x);
    }
    m_width = 0;
    for (int r = 0; r < rows; ++r) {
        const auto ur = static_cast<std::size_t>(r);
        if (left[ur] > right[ur])
            continue;
        const double w = right[ur] - left[ur];
        if (r > 0.3 * m_width && w < 0.75 * m_width)
            break;
        m_width = std::max(m_width, w);
    }
    m_rowWidth = m_width;
    if (m_width < 20) {
        why = "The silhouette is too small.";
        return false;
    }

    // Both ways round from the top to the lowest point; the face is on the arc further left
    // over the head's upper half.
    double mean[2] = {0, 0};
    std::size_t length[2] = {0, 0};
    for (int d = 0; d < 2; ++d) {
        const std::size_t step = d == 0 ? 1 : m_n - 1;
        double sum = 0;
        std::size_t count = 0, i = m_top, k = 0;
        for (; k < m_n; ++k, i = (i + step) % m_n) {
            // Down to the lowest point or to where the body leaves the picture.
            if (m_pts[i].y >= yBottom - 0.5 || m_raw[i].y >= m_frame.height - 2)
                break;
            if (m_pts[i].y < m_yTop + 0.5 * m_width) {
                sum += m_pts[i].x;
                ++count;
            }
        }
        mean[d] = count ? sum / static_cast<double>(count) : 0;
        length[d] = k;
    }
    const int d = mean[0] <= mean[1] ? 0 : 1;
    m_dir = d == 0 ? 1 : m_n - 1;
    m_frontLength = length[d];
    if (m_frontLength < 10) {
        why = "The silhouette has no front outline.";
        return false;
    }
    return true;
}

Reading Walk::read(const ColourView* colours, bool mirror, bool foreheadByDrop) {
    Reading out;
    m_foreheadByDrop = foreheadByDrop;
    m_centre = {};
    for (const Point& p : m_raw) {
        m_centre.x += p.x / static_cast<double>(m_raw.size());
        m_centre.y += p.y / static_cast<double>(m_raw.size());
    }
    const auto tipIn = [&](std::size_t last) {
        const double from = m_yTop + kNoseBandTop * m_width,
                     to = m_yTop + kNoseBandBottom * m_width;
        std::optional<std::size_t> tip;
        for (std::size_t i = 0; i <= last; ++i) {
            const Point& p = front(i);
            if (p.y >= from && p.y <= to && (!tip || p.x < front(*tip).x))
                tip = i;
        }
        return tip;
    };
    const auto foreheadFor = [&](std::size_t tip) {
        const Point& n = front(tip);
        std::optional<std::size_t> best;
        double bestSlope = 0;
        for (std::size_t i = 0; i < tip; ++i) {
            const Point& p = front(i);
            const double rise = n.y - p.y;
            const bool byDrop = m_foreheadByDrop;
            const double near = byDrop ? kForeheadNearByDrop * m_width : kForeheadNear * m_rowWidth;
            const double far = byDrop ? kForeheadFarByDrop * m_width : kForeheadFar * m_rowWidth;
            if (rise < near || rise > far)
                continue;
            const double slope = (p.x - n.x) / rise;
            if (!best || slope < bestSlope) {
                best = i;
                bestSlope = slope;
            }
        }
        return best;
    };

    // Upright first: the leaning from the forehead line, read again once turned by it.
    double tilt = 0;
    std::size_t iN = 0, iF = 0;
    for (int pass = 0; pass < 3; ++pass) {
        if (!place(tilt, out.why))
            return out;
        const std::size_t last = m_frontLength - 1;
        // Hair hanging behind the head widens it: the width is taken again from how far the
        // tip lies below the top, until the two agree.
        auto tip = tipIn(last);
        for (int k = 0; k < kScaleRounds && tip; ++k) {
            const double width = kDepthPerTipDrop * (front(*tip).y - m_yTop);
            if (std::abs(width - m_width) < 0.02 * m_width)
                break;
            m_width = width;
            tip = tipIn(last);
        }
        const auto forehead = tip ? foreheadFor(*tip) : std::nullopt;
        if (!tip || !forehead) {
            out.why = "No nose stands out of the outline.";
            return out;
        }
        iN = *tip;
        iF = *forehead;
        if (pass == 2)
            break;
        const Point v{front(iF).x - front(iN).x, front(iF).y - front(iN).y};
        const double lean = std::atan2(v.y, v.x) * 180 / std::numbers::pi - kUprightForeheadLine;
        if (std::abs(lean) < 0.05)
            break;
        tilt += lean;
        if (std::abs(tilt) > 35) {
            out.why = "The head leans too far.";
            return out;
        }
    }
    const double W = m_width;
    const std::size_t last = m_frontLength - 1;
    const Point N = front(iN);
    if (nearFrame(0) || nearFrame(iN)) {
        out.why = "The head is cut off by the frame.";
        return out;
    }

    // Root: the deepest point between the forehead line's rest and the tip; the forehead
    // above it: the most forward.
    const auto x = [](const Point& p) { return p.x; };
    const auto minusX = [](const Point& p) { return -p.x; };
    (void)x;
    (void)minusX;
    const double turn = kTurn * W;
    // Root: up from the tip, the first place where the outline comes forward again.
    std::size_t iS4 = iN;
    for (std::size_t i = iN; i-- > 0;) {
        if (front(i).x > front(iS4).x)
            iS4 = i;
        else if (front(i).x < front(iS4).x - turn || front(i).y < N.y - kRootReach * W)
            break;
    }
    // Brow: up from the root, the most forward point before the forehead runs back, no
    // higher above the root than the nose is long.
    const double noseHeight = N.y - front(iS4).y;
    std::size_t iS3 = iS4;
    for (std::size_t i = iS4; i-- > 0;) {
        if (front(i).y < front(iS4).y - kBrowReach * noseHeight)
            break;
        if (front(i).x < front(iS3).x)
            iS3 = i;
        else if (front(i).x > front(iS3).x + turn)
            break;
    }

    // Nose base: the corner under the tip, the point furthest in from the line from the tip to
    // the outline a little lower (the upper lip).
    std::size_t iLip = iN;
    while (iLip < last && front(iLip).y < N.y + kBaseReach * W)
        ++iLip;
    const auto inFrom = [&](std::size_t a, std::size_t b) {
        const Point p = front(a), q = front(b);
        const double dx = q.x - p.x, dy = q.y - p.y, len = std::max(std::hypot(dx, dy), 1e-9);
        return [=](const Point& r) { return ((r.x - p.x) * dy - (r.y - p.y) * dx) / len; };
    };
    const std::size_t iS9 = argBy(iN, iLip, inFrom(iN, iLip));

    // The nose must be a nose: ahead of root and base, sharp, with the root above the tip.
    const Point root = front(iS4), base = front(iS9), brow = front(iS3);
    std::size_t iRidge = iN;
    while (iRidge > iS4 && front(iRidge).y > N.y - 0.06 * W)
        --iRidge;
    if (root.x - N.x < kNoseDepth * W || base.x - N.x < kBaseDepth * W ||
        front(iRidge).x - N.x < kNoseSharp * W || N.y - root.y < 0.06 * W ||
        N.y - root.y > 0.45 * W || brow.x > root.x - 0.002 * W) {
        out.why = "No nose-shaped point stands out of the outline.";
        return out;
    }
    out.score = (std::min(root.x, base.x) - N.x) / W;

    // The throat: where the line under the chin meets the neck.
    // The first clear peak of going back before going down: below it the neck runs down (and
    // a shirt may come forward again).
    std::size_t iT = iS9;
    const auto backDown = [&](std::size_t i) { return front(i).x - 0.5 * front(i).y; };
    for (std::size_t i = iS9; i <= last && front(i).y <= base.y + 0.7 * W; ++i) {
        if (front(i).y < base.y + 0.15 * W)
            continue;
        if (iT == iS9 || backDown(i) > backDown(iT))
            iT = i;
        else if (front(iT).x > base.x + 0.1 * W && backDown(i) < backDown(iT) - 0.05 * W)
            break; // well behind the face, and the outline runs down
    }
    // The chin's bottom: the point furthest out from the line from the nose base to the
    // throat, i.e. where the outline turns back towards the neck.
    const auto outFrom = [&](std::size_t a, std::size_t b) {
        const Point p = front(a), q = front(b);
        const double dx = q.x - p.x, dy = q.y - p.y, len = std::max(std::hypot(dx, dy), 1e-9);
        // The face's side of the line: towards -x for a line running down.
        return [=](const Point& r) { return ((r.x - p.x) * -dy + (r.y - p.y) * dx) / len; };
    };
    if (iT <= iS9 + 2) {
        out.why = "No chin below the nose.";
        return out;
    }
    const std::size_t iS15 = argBy(iS9, iT, outFrom(iS9, iT));
    if (front(iS15).y < N.y + 0.1 * W) {
        out.why = "No chin below the nose.";
        return out;
    }

    // Up from the chin's bottom: the chin's front, then the fold under the lower lip.
    std::optional<std::size_t> fold;
    {
        const double step = kFoldStep * W;
        std::size_t iMin = iS15, iMax = iS15;
        bool rising = false;
        for (std::size_t i = iS15; i-- > iS9 + 1;) {
            const double px = front(i).x;
            if (!rising) {
                if (px < front(iMin).x)
                    iMin = i;
                else if (px > front(iMin).x + step) {
                    rising = true;
                    iMax = i;
                }
            } else if (px > front(iMax).x) {
                iMax = i;
            } else if (px < front(iMax).x - step) {
                break;
            }
        }
        if (rising)
            fold = iMax;
    }
    const Point bottom = front(iS15);
    const auto shareDown = [&](std::size_t i) {
        return (front(i).y - base.y) / std::max(bottom.y - base.y, 1e-9);
    };
    std::optional<std::size_t> iS14;
    if (fold && shareDown(*fold) >= kFoldFrom) {
        // The chin's front: the middle of the stretch that stands out furthest from the line
        // from the fold to the chin's bottom (a chin's front is often flat).
        const auto out = outFrom(*fold, iS15);
        const std::size_t peak = argBy(*fold, iS15, out);
        const double floor = out(front(peak)) - kFlatChin * W;
        std::size_t from = peak, to = peak;
        while (from > *fold && out(front(from - 1)) >= floor)
            --from;
        while (to < iS15 && out(front(to + 1)) >= floor)
            ++to;
        iS14 = (from + to) / 2;
    } else {
        // No fold below the lips (a receding chin): the most forward point of the part of the
        // way down where the lips no longer reach.
        std::optional<std::size_t> peak;
        for (std::size_t i = iS9; i <= iS15; ++i)
            if (shareDown(i) >= kChinFrontFrom && shareDown(i) <= kChinFrontTo &&
                (!peak || front(i).x < front(*peak).x))
                peak = i;
        if (peak) {
            const double floor = front(*peak).x + kFlatChin * W;
            std::size_t a = *peak, b = *peak;
            while (a > iS9 && shareDown(a - 1) >= kChinFrontFrom && front(a - 1).x <= floor)
                --a;
            while (b < iS15 && shareDown(b + 1) <= kChinFrontTo && front(b + 1).x <= floor)
                ++b;
            iS14 = (a + b) / 2;
        }
    }

    // Nasal bone: a set share of the way along the outline from the root to the tip.
    std::size_t iS7 = iS4;
    {
        double total = 0;
        for (std::size_t i = iS4; i < iN; ++i)
            total += std::hypot(front(i + 1).x - front(i).x, front(i + 1).y - front(i).y);
        double run = 0;
        while (iS7 < iN && run < kNasalBoneShare * total) {
            run += std::hypot(front(iS7 + 1).x - front(iS7).x, front(iS7 + 1).y - front(iS7).y);
            ++iS7;
        }
    }

    // The top of the head: its height, at the front end of the crown's flat run.
    std::size_t iS1 = 0;
    while (iS1 < iS3 && front(iS1).y <= m_yTop + std::max(1.0, kCrownFlat * W))
        ++iS1;
    const Point top{front(iS1 > 0 ? iS1 - 1 : 0).x, m_yTop};

    // Back of the head: the rearmost point from the top down to the nose base.
    Point back = m_pts[m_top];
    for (const Point& p : m_pts)
        if (p.y >= m_yTop && p.y <= base.y && p.x > back.x)
            back = p;

    SidePoints upright{};
    std::array<bool, kSidePointCount> got{};
    const auto put = [&](std::size_t s, Point p) {
        upright[s] = p;
        got[s] = true;
    };
    put(S1, top);
    put(S3, brow);
    put(S4, root);
    put(S6, back);
    put(S7, front(iS7));
    put(S8, N);
    put(S9, base);
    if (iS14)
        put(S14, front(*iS14));
    put(S15, front(iS15));

    // Back to the (left-facing) picture's frame.
    const double rad = m_tilt * std::numbers::pi / 180;
    const auto toPicture = [&](Point p) { return turned(p, m_centre, rad); };

    // The upper end of the forehead: where the skin gives way to hair, walking up from S3.
    if (colours && colours->pixels && colours->width > 0 && colours->height > 0 &&
        (colours->channels == 3 || colours->channels == 4) &&
        colours->bytesPerLine >= static_cast<std::ptrdiff_t>(colours->width) * colours->channels) {
        const double depth = kHairProbeDepth * W;
        const auto inside = [&](std::size_t i) {
            const std::size_t k = std::max<std::size_t>(2, static_cast<std::size_t>(0.01 * W));
            const Point a = front(i > k ? i - k : 0), b = front(std::min(i + k, last));
            const double tx = b.x - a.x, ty = b.y - a.y, len = std::max(std::hypot(tx, ty), 1e-9);
            // Running down the face's front, the inside lies to the right of the way.
            Point p{front(i).x + ty / len * depth, front(i).y - tx / len * depth};
            p = toPicture(p);
            if (mirror)
                p = mirrored(p, m_frame.width);
            return colourAt(*colours, p);
        };
        Colour skin;
        int n = 0;
        for (std::size_t i = iS3; i > 0 && front(i).y > brow.y - kSkinBandTo * W; --i) {
            if (front(i).y > brow.y - kSkinBandFrom * W)
                continue;
            if (const auto c = inside(i)) {
                skin.r += c->r;
                skin.g += c->g;
                skin.b += c->b;
                ++n;
            }
        }
        if (n > 0) {
            skin = {skin.r / n, skin.g / n, skin.b / n};
            int run = 0;
            const double lowest = brow.y - kSkinBandFrom * W;
            const double highest = brow.y - kHairlineReach * (brow.y - top.y);
            for (std::size_t i = iS3; i-- > iS1;) {
                if (front(i).y > lowest)
                    continue; // the eyebrows
                if (front(i).y < highest)
                    break;
                const auto c = inside(i);
                // Hair is darker than skin; a highlight on the forehead is not hair.
                run = c && colourDistance(*c, skin) > kHairContrast &&
                              lightness(*c) < lightness(skin) - kHairDarker
                          ? run + 1
                          : 0;
                if (run >= std::max<int>(3, static_cast<int>(kHairRun * W))) {
                    put(S2, front(i + static_cast<std::size_t>(run) - 1));
                    break;
                }
            }
        }
    }

    for (std::size_t s = 0; s < kSidePointCount; ++s)
        if (got[s])
            out.points[s] = toPicture(upright[s]);
    out.measured = got;
    out.tilt = m_tilt;
    out.ok = true;
    return out;
}

// The sample's places of the landmarks not read, through the similarity that takes the read
// ones' defaults onto them.
void fitRest(SidePoints& points, const std::array<bool, kSidePointCount>& measured,
             std::span<const Point, kSidePointCount> defaults) {
    std::vector<Point> from, to;
    for (std::size_t i = 0; i < kSidePointCount; ++i) {
        if (measured[i]) {
            from.push_back(defaults[i]);
            to.push_back(points[i]);
        }
    }
    const auto fit = fitSimilarity(from, to);
    for (std::size_t i = 0; i < kSidePointCount; ++i)
        if (!measured[i])
            points[i] = fit ? fit->apply(defaults[i]) : to.front();
}

} // namespace

ProfileResult analyseProfile(const Outline& outline, const ColourView* colours,
                             std::span<const Point, kSidePointCount> defaults) noexcept {
    ProfileResult result;
    try {
        if (outline.points.size() < 30 || !(outline.width > 0) || !(outline.height > 0)) {
            result.why = "No silhouette.";
            return result;
        }
        // The pixel steps of a traced boundary, smoothed over about a 500th of its length.
        const int radius = std::clamp(static_cast<int>(outline.points.size() / 1000), 1, 8);
        const std::vector<Point> asGiven = smoothed(outline.points, radius);
        std::vector<Point> flipped(asGiven.size());
        for (std::size_t i = 0; i < asGiven.size(); ++i)
            flipped[i] = mirrored(asGiven[i], outline.width);

        // The forehead line is looked for by the widest row first; hair hanging behind the
        // head widens that row, so the width from the tip's drop is tried next.
        const auto readAt = [&](const std::vector<Point>& pts, bool mirror) {
            Reading r = Walk(pts, outline).read(colours, mirror, false);
            if (!r.ok)
                r = Walk(pts, outline).read(colours, mirror, true);
            return r;
        };
        Reading left = readAt(asGiven, false);
        Reading right = readAt(flipped, true);
        if (!left.ok && !right.ok) {
            result.why = left.why;
            return result;
        }
        // A nose either way is a face seen from the front, or something else.
        if (left.ok && right.ok &&
            std::max(left.score, right.score) < 2 * std::min(left.score, right.score)) {
            result.why = "The silhouette looks alike both ways: not a profile.";
            return result;
        }
        const bool faceRight = right.ok && (!left.ok || right.score > left.score);
        Reading& r = faceRight ? right : left;
        fitRest(r.points, r.measured, defaults);
        result.found = true;
        result.facing = faceRight ? Facing::Right : Facing::Left;
        result.measured = r.measured;
        result.tiltDegrees = faceRight ? -r.tilt : r.tilt;
        for (std::size_t i = 0; i < kSidePointCount; ++i)
            result.points[i] = faceRight ? mirrored(r.points[i], outline.width) : r.points[i];
    } catch (const std::exception& e) {
        result = {};
        result.why = e.what();
    }
    return result;
}

} // namespace veidora::facefit
