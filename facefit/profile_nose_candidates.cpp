#include "profile_nose_candidates.hpp"

#include <algorithm>
#include <cmath>

namespace veidora::facefit::profile {

namespace {

// Shares of the head's width. The band below the top where a nose tip can lie, as the tip
// search has it.
constexpr double kBandTop = 0.3;
constexpr double kBandBottom = 1.0;
// A candidate is the most forward point of the outline within this height above and below it,
// and the outline falls back by at least kStandOut on both sides within that height: a nose
// tip's ridge and underside do, a cheek's smooth curve does not.
constexpr double kReach = 0.06;
constexpr double kStandOut = 0.012;
// Tracking a candidate after the arc was turned: the point nearest it must lie this close.
constexpr double kTrackReach = 0.05;

// The indices of the arc running on from `i` by `step` while within `reach` in height.
template <class Visit>
void alongHeight(const FrontArc& arc, std::size_t i, int step, double reach, Visit&& visit) {
    const double y = arc[i].y;
    for (std::size_t j = i;;) {
        if (step < 0 ? j == 0 : j == arc.last())
            return;
        j = step < 0 ? j - 1 : j + 1;
        if (std::abs(arc[j].y - y) > reach)
            return;
        visit(j);
    }
}

// Whether the i-th point is ahead of its neighbours within `reach` in height and the outline
// falls back by `standOut` on both sides.
bool standsOut(const FrontArc& arc, std::size_t i, double reach, double standOut) {
    const double x = arc[i].x;
    bool ahead = true;
    double back[2] = {x, x};
    for (int side = 0; side < 2; ++side)
        alongHeight(arc, i, side == 0 ? -1 : 1, reach, [&](std::size_t j) {
            // Ties go to the upper point, so a flat tip gives one candidate.
            if (arc[j].x < x || (side == 0 && arc[j].x == x))
                ahead = false;
            back[side] = std::max(back[side], arc[j].x);
        });
    return ahead && back[0] >= x + standOut && back[1] >= x + standOut;
}

} // namespace

std::vector<Point> noseTipCandidates(const FrontArc& arc, double width) {
    const double from = arc.top() + kBandTop * width, to = arc.top() + kBandBottom * width;
    std::vector<std::size_t> found;
    for (std::size_t i = 0; i <= arc.last(); ++i)
        if (arc[i].y >= from && arc[i].y <= to &&
            standsOut(arc, i, kReach * width, kStandOut * width))
            found.push_back(i);
    std::sort(found.begin(), found.end(),
              [&](std::size_t a, std::size_t b) { return arc[a].x < arc[b].x; });
    std::vector<Point> out;
    out.reserve(found.size());
    for (std::size_t i : found)
        out.push_back(arc.toPicture(arc[i]));
    return out;
}

std::optional<std::size_t> extremeNear(const FrontArc& arc, Point near, double width) {
    std::optional<std::size_t> nearest;
    double best = 0;
    for (std::size_t i = 0; i <= arc.last(); ++i) {
        const Point p = arc.toPicture(arc[i]);
        const double d = std::hypot(p.x - near.x, p.y - near.y);
        if (!nearest || d < best) {
            nearest = i;
            best = d;
        }
    }
    if (!nearest || best > kTrackReach * width)
        return std::nullopt;
    // Forward along the arc to the extreme the turn moved it off.
    std::size_t i = *nearest;
    for (;;) {
        if (i > 0 && arc[i - 1].x < arc[i].x)
            --i;
        else if (i < arc.last() && arc[i + 1].x < arc[i].x)
            ++i;
        else
            return i;
    }
}

} // namespace veidora::facefit::profile
