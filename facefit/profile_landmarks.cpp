#include "profile_landmarks.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace veidora::facefit::profile {

namespace {

// Shares of the head's width unless said otherwise.
constexpr double kNoseBandTop = 0.3;    // the nose tip lies this far below the top of the head
constexpr double kNoseBandBottom = 1.0; // ... and no further
// A real head is about this many times as deep (nose tip to the back) as its nose tip lies
// below the top of the hair.
constexpr double kDepthPerTipDrop = 1.25;
// Measured on the sample profile standing upright: the direction from the nose tip to the
// forehead it touches (the line resting on both), in screen degrees (Y down).
constexpr double kUprightForeheadLine = -74.6;
constexpr double kTurn = 0.012;    // a turn smaller than this is an eyelash or a pixel step
constexpr double kRootReach = 0.3; // the root lies at most this far above the tip
// The brow lies at most this many nose heights (root to tip) above the root.
constexpr double kBrowReach = 1.0;
constexpr double kBaseReach = 0.12;  // the upper lip lies this far below the tip
constexpr double kNoseDepth = 0.03;  // the tip stands this far ahead of the root
constexpr double kBaseDepth = 0.012; // ... and this far ahead of its base (full lips reach far)
constexpr double kNoseSharp = 0.012; // the ridge lies this far behind the tip ...
constexpr double kRidgeRise = 0.06;  // ... this far above it
constexpr double kNoseRise = 0.06;   // the root lies this far above the tip at least
constexpr double kNoseTall = 0.45;   // ... and at most
constexpr double kBrowAhead = 0.002; // the brow stands this far ahead of the root
// The throat lies this far below the base at least and at most; the neck below it runs back
// as it goes down (x - kNeckSlope * y grows) until the outline comes forward by kNeckTurn.
constexpr double kThroatFrom = 0.15;
constexpr double kThroatTo = 0.7;
constexpr double kNeckSlope = 0.5;
constexpr double kBehindFace = 0.1;
constexpr double kNeckTurn = 0.05;
constexpr double kChinBelowTip =
    0.14; // the chin's bottom lies this far below the tip at least (an ear
// read as a nose has its "chin" close below)
// The fold under the lower lip lies at least this deep behind a straight edge resting on lip
// and chin, and that edge spans at least this height: shallower or shorter dents are the
// pixel steps of the outline or a beard's tufts.
constexpr double kFoldDepth = 0.008;
constexpr double kFoldSpan = 0.03;
// S15 is where the chin's front turns into its underside: the point whose tangent runs at 45
// degrees down and back, the most extreme one along (-1, 1). A dip of this share along the
// way is the outline's noise, not the turn's end.
constexpr double kTurnNoise = 0.004;
// A fold higher than this share of the way down from the nose base to the chin's bottom lies
// between the lips; without a lower one, the chin's front lies in this part of the way down.
constexpr double kFoldFrom = 0.45;
constexpr double kChinFrontFrom = 0.6;
constexpr double kChinFrontTo = 0.95;
// How far a point of the chin stands out is read this share square to the line from the fold to
// the chin's bottom and the rest straight ahead: ahead alone slides up a sloping chin towards
// the lip, square to that line alone down towards the chin's turn, below where a careful hand
// marks the chin's most forward point.
constexpr double kChinOutOfEdge = 0.6;
constexpr double kFlatChin = 0.005; // points this close behind the chin's front are as far forward
// How deep a point of the nose root lies is read this share square to the edge laid on brow
// and tip and the rest straight back: square to that edge alone slides down a flat bridge
// towards the nose, straight back alone up under a jutting brow. Points this close to the
// deepest are as deep, and the middle of that stretch is taken (a flat root has no one
// deepest point).
constexpr double kRootSquareToEdge = 0.5;
constexpr double kFlatRoot = 0.004;
// The sample's S7 lies this share of the outline's length from the root (S4) to the tip (S8).
constexpr double kNasalBoneShare = 0.342;
// A fringe's tip hangs at least this far above the skin's brow below it (further than the
// eyebrows reach) and at most this far (a nose's height), and the outline dips back between
// the two by at least kFringeNotch (less is the outline's noise) and at most kFringeDip (more
// is the forehead running back into the hair above it).
constexpr double kFringeLength = 0.07;
constexpr double kFringeReach = 0.3;
constexpr double kFringeNotch = 0.004;
constexpr double kFringeDip = 0.03;
constexpr double kCrownFlat = 0.002; // the crown counts as flat this close to its top

// How far a point lies on the face's side (towards -x for a line running down) of the line
// through the a-th and b-th points.
auto outFrom(const FrontArc& arc, std::size_t a, std::size_t b) {
    const Point p = arc[a], q = arc[b];
    const double dx = q.x - p.x, dy = q.y - p.y, len = std::max(std::hypot(dx, dy), 1e-9);
    return [=](const Point& r) { return ((r.x - p.x) * -dy + (r.y - p.y) * dx) / len; };
}

// The throat: the first clear peak of going back before going down below the nose base;
// below it the neck runs down (and a shirt may come forward again).
std::optional<std::size_t> findThroat(const FrontArc& arc, std::size_t base, double width) {
    const Point b = arc[base];
    std::size_t throat = base;
    const auto backDown = [&](std::size_t i) { return arc[i].x - kNeckSlope * arc[i].y; };
    for (std::size_t i = base; i <= arc.last() && arc[i].y <= b.y + kThroatTo * width; ++i) {
        if (arc[i].y < b.y + kThroatFrom * width)
            continue;
        if (throat == base || backDown(i) > backDown(throat))
            throat = i;
        else if (arc[throat].x > b.x + kBehindFace * width &&
                 backDown(i) < backDown(throat) - kNeckTurn * width)
            break;
    }
    return throat > base + 2 ? std::optional<std::size_t>(throat) : std::nullopt;
}

// The points of the arc from a to b that a straight edge laid against the face touches, in
// order: between two of them the outline dents in.
std::vector<std::size_t> faceHull(const FrontArc& arc, std::size_t a, std::size_t b) {
    std::vector<std::size_t> hull;
    for (std::size_t i = a; i <= b; ++i) {
        while (hull.size() >= 2 && outFrom(arc, hull[hull.size() - 2], i)(arc[hull.back()]) <= 0)
            hull.pop_back();
        hull.push_back(i);
    }
    return hull;
}

// The fold under the lower lip: the deepest point of the lowest dent between the nose base and
// the chin's bottom that is deep and tall enough.
std::optional<std::size_t> findFold(const FrontArc& arc, std::size_t base, std::size_t bottom,
                                    double width) {
    const std::vector<std::size_t> hull = faceHull(arc, base, bottom);
    for (std::size_t k = hull.size() - 1; k-- > 0;) {
        const std::size_t a = hull[k], b = hull[k + 1];
        if (arc[b].y - arc[a].y < kFoldSpan * width)
            continue;
        const auto out = outFrom(arc, a, b);
        const std::size_t deepest = arc.argMax(a, b, [&](const Point& p) { return -out(p); });
        if (-out(arc[deepest]) >= kFoldDepth * width)
            return deepest;
    }
    return std::nullopt;
}

// Walking from `from` one way (+1 or -1) within [lo, hi], the point where `key` peaks before it
// falls back by more than `noise`.
template <class Key>
std::size_t climb(std::size_t from, int way, std::size_t lo, std::size_t hi, double noise,
                  Key&& key, const FrontArc& arc) {
    std::size_t best = from;
    for (std::size_t i = from; way > 0 ? i < hi : i > lo;) {
        i = way > 0 ? i + 1 : i - 1;
        if (key(arc[i]) > key(arc[best]))
            best = i;
        else if (key(arc[i]) < key(arc[best]) - noise)
            break;
    }
    return best;
}

// The middle of the stretch around the largest `key` over [from, to] that stays within `flat`
// of it: a flat peak has no one extreme point.
template <class Key>
std::size_t middleOfPeak(std::size_t from, std::size_t to, double flat, Key&& key) {
    std::size_t peak = from;
    for (std::size_t i = from; i <= to; ++i)
        if (key(i) > key(peak))
            peak = i;
    const double floor = key(peak) - flat;
    std::size_t a = peak, b = peak;
    while (a > from && key(a - 1) >= floor)
        --a;
    while (b < to && key(b + 1) >= floor)
        ++b;
    return (a + b) / 2;
}

// Up from the root, the most forward point (least `across`) before the outline runs back by a
// turn, within a nose's height above the root.
template <class Across>
std::size_t mostForwardAbove(const FrontArc& arc, std::size_t root, std::size_t tip, double width,
                             Across&& across) {
    const double turn = kTurn * width;
    const double noseHeight = arc[tip].y - arc[root].y;
    std::size_t brow = root;
    for (std::size_t i = root; i-- > 0;) {
        if (arc[i].y < arc[root].y - kBrowReach * noseHeight)
            break;
        if (across(arc[i]) < across(arc[brow]))
            brow = i;
        else if (across(arc[i]) > across(arc[brow]) + turn)
            break;
    }
    return brow;
}

} // namespace

std::optional<std::size_t> findTip(const FrontArc& arc, double width) {
    const double from = arc.top() + kNoseBandTop * width, to = arc.top() + kNoseBandBottom * width;
    std::optional<std::size_t> tip;
    for (std::size_t i = 0; i <= arc.last(); ++i) {
        const Point& p = arc[i];
        if (p.y >= from && p.y <= to && (!tip || p.x < arc[*tip].x))
            tip = i;
    }
    return tip;
}

double widthFromTip(const FrontArc& arc, std::size_t tip) {
    return kDepthPerTipDrop * (arc[tip].y - arc.top());
}

std::optional<std::size_t> findForeheadRest(const FrontArc& arc, std::size_t tip, double near,
                                            double far) {
    const Point& n = arc[tip];
    std::optional<std::size_t> best;
    double bestSlope = 0;
    for (std::size_t i = 0; i < tip; ++i) {
        const Point& p = arc[i];
        const double rise = n.y - p.y;
        if (rise < near || rise > far)
            continue;
        const double slope = (p.x - n.x) / rise;
        if (!best || slope < bestSlope) {
            best = i;
            bestSlope = slope;
        }
    }
    return best;
}

double leanOf(const FrontArc& arc, std::size_t tip, std::size_t rest) {
    const Point v{arc[rest].x - arc[tip].x, arc[rest].y - arc[tip].y};
    return std::atan2(v.y, v.x) * 180 / std::numbers::pi - kUprightForeheadLine;
}

std::size_t findRoot(const FrontArc& arc, std::size_t tip, double width) {
    const double turn = kTurn * width;
    std::size_t root = tip;
    for (std::size_t i = tip; i-- > 0;) {
        if (arc[i].x > arc[root].x)
            root = i;
        else if (arc[i].x < arc[root].x - turn || arc[i].y < arc[tip].y - kRootReach * width)
            break;
    }
    return root;
}

std::size_t findBrow(const FrontArc& arc, std::size_t root, std::size_t tip, double width) {
    return mostForwardAbove(arc, root, tip, width, [](const Point& p) { return p.x; });
}

std::size_t findGlabella(const FrontArc& arc, std::size_t root, std::size_t brow, std::size_t tip,
                         double width, double shownTilt) {
    const double shown = shownTilt * std::numbers::pi / 180;
    // Turned about any point: only differences across are compared.
    const std::size_t asShown = mostForwardAbove(arc, root, tip, width, [&](const Point& p) {
        return turned(arc.toPicture(p), {}, shown).x;
    });
    // Stood upright by its forehead's line, a sloping forehead stands up and runs on forward
    // above the brow; as the photo is shown, a head bowed forward does the same. The brow is
    // where the first of the two stops (the walk's root itself when, as shown, nothing above it
    // stands further forward: the nasion then lies lower).
    return std::max(asShown, brow);
}

std::optional<Overhang> findOverhang(const FrontArc& arc, std::size_t root, double width) {
    std::size_t brow = root;
    for (std::size_t i = root; i-- > 0;) {
        if (arc[i].x < arc[brow].x)
            brow = i;
        else if (arc[i].x > arc[brow].x + kFringeNotch * width)
            break;
    }
    std::size_t tip = brow;
    for (std::size_t i = brow; i-- > 0;) {
        if (arc[i].y < arc[brow].y - kFringeReach * width)
            break;
        if (arc[i].x < arc[tip].x)
            tip = i;
        else if (arc[i].x > arc[tip].x + kFringeDip * width)
            break;
    }
    if (tip == brow || arc[tip].y > arc[brow].y - kFringeLength * width)
        return std::nullopt;
    return Overhang{brow, tip, arc.argMax(tip, brow, [](const Point& p) { return p.x; })};
}

std::size_t findNasion(const FrontArc& arc, std::size_t brow, std::size_t tip, double width) {
    if (tip <= brow)
        return brow;
    const auto edge = outFrom(arc, brow, tip);
    const auto depth = [&](std::size_t i) {
        return -kRootSquareToEdge * edge(arc[i]) + (1 - kRootSquareToEdge) * arc[i].x;
    };
    return middleOfPeak(brow, tip, kFlatRoot * width, depth);
}

std::size_t findBase(const FrontArc& arc, std::size_t tip, double width) {
    std::size_t lip = tip;
    while (lip < arc.last() && arc[lip].y < arc[tip].y + kBaseReach * width)
        ++lip;
    const Point p = arc[tip], q = arc[lip];
    const double dx = q.x - p.x, dy = q.y - p.y, len = std::max(std::hypot(dx, dy), 1e-9);
    return arc.argMax(tip, lip, [=](const Point& r) {
        return ((r.x - p.x) * dy - (r.y - p.y) * dx) / len; // inside the line
    });
}

bool isNoseShaped(const FrontArc& arc, std::size_t tip, std::size_t root, std::size_t base,
                  std::size_t brow, double width) {
    const Point n = arc[tip], r = arc[root], b = arc[base], g = arc[brow];
    std::size_t ridge = tip;
    while (ridge > root && arc[ridge].y > n.y - kRidgeRise * width)
        --ridge;
    return r.x - n.x >= kNoseDepth * width && b.x - n.x >= kBaseDepth * width &&
           arc[ridge].x - n.x >= kNoseSharp * width && n.y - r.y >= kNoseRise * width &&
           n.y - r.y <= kNoseTall * width && g.x <= r.x - kBrowAhead * width;
}

std::optional<std::size_t> findChinBottom(const FrontArc& arc, std::size_t tip, std::size_t base,
                                          double width) {
    const std::optional<std::size_t> throat = findThroat(arc, base, width);
    if (!throat)
        return std::nullopt;
    // The point furthest out from the line from the nose base to the throat.
    const std::size_t bottom = arc.argMax(base, *throat, outFrom(arc, base, *throat));
    if (arc[bottom].y < arc[tip].y + kChinBelowTip * width)
        return std::nullopt;
    return bottom;
}

std::size_t findChinTurn(const FrontArc& arc, std::size_t base, std::size_t bottom, double width) {
    const std::size_t end = findThroat(arc, base, width).value_or(arc.last());
    const auto turn = [](const Point& p) { return p.y - p.x; };
    const double noise = kTurnNoise * width;
    const std::size_t down = climb(bottom, +1, base, end, noise, turn, arc);
    const std::size_t up = climb(bottom, -1, base, end, noise, turn, arc);
    return turn(arc[up]) > turn(arc[down]) ? up : down;
}

std::optional<std::size_t> findChinFront(const FrontArc& arc, std::size_t base, std::size_t bottom,
                                         double width) {
    const double baseY = arc[base].y, bottomY = arc[bottom].y;
    const auto shareDown = [&](std::size_t i) {
        return (arc[i].y - baseY) / std::max(bottomY - baseY, 1e-9);
    };
    const std::optional<std::size_t> fold = findFold(arc, base, bottom, width);
    if (fold && shareDown(*fold) >= kFoldFrom) {
        // The middle of the stretch that stands out furthest (a chin's front is often flat),
        // out from the line from the fold to the chin's bottom and forward.
        const auto edge = outFrom(arc, *fold, bottom);
        const auto out = [&](const Point& p) {
            return kChinOutOfEdge * edge(p) - (1 - kChinOutOfEdge) * p.x;
        };
        return middleOfPeak(*fold, bottom, kFlatChin * width,
                            [&](std::size_t i) { return out(arc[i]); });
    }
    // No fold below the lips (a receding chin): the most forward point of the part of the way
    // down where the lips no longer reach.
    std::optional<std::size_t> peak;
    for (std::size_t i = base; i <= bottom; ++i)
        if (shareDown(i) >= kChinFrontFrom && shareDown(i) <= kChinFrontTo &&
            (!peak || arc[i].x < arc[*peak].x))
            peak = i;
    if (!peak)
        return std::nullopt;
    const double floor = arc[*peak].x + kFlatChin * width;
    std::size_t a = *peak, b = *peak;
    while (a > base && shareDown(a - 1) >= kChinFrontFrom && arc[a - 1].x <= floor)
        --a;
    while (b < bottom && shareDown(b + 1) <= kChinFrontTo && arc[b + 1].x <= floor)
        ++b;
    return (a + b) / 2;
}

std::size_t findNasalBone(const FrontArc& arc, std::size_t root, std::size_t tip) {
    const auto step = [&](std::size_t i) {
        return std::hypot(arc[i + 1].x - arc[i].x, arc[i + 1].y - arc[i].y);
    };
    double total = 0;
    for (std::size_t i = root; i < tip; ++i)
        total += step(i);
    double run = 0;
    std::size_t bone = root;
    while (bone < tip && run < kNasalBoneShare * total) {
        run += step(bone);
        ++bone;
    }
    return bone;
}

Point findTop(const FrontArc& arc, std::size_t brow, double width) {
    std::size_t i = 0;
    while (i < brow && arc[i].y <= arc.top() + std::max(1.0, kCrownFlat * width))
        ++i;
    return {arc[i > 0 ? i - 1 : 0].x, arc.top()};
}

Point findBack(const FrontArc& arc, double baseY) {
    Point back = arc[0];
    for (const Point& p : arc.all())
        if (p.y >= arc.top() && p.y <= baseY && p.x > back.x)
            back = p;
    return back;
}

} // namespace veidora::facefit::profile
