#include "profile_fit.hpp"

#include "image_pixels.hpp"
#include "profile_arc.hpp"
#include "profile_facing.hpp"
#include "profile_hairline.hpp"
#include "profile_landmarks.hpp"
#include "profile_nose_candidates.hpp"
#include "profile_symmetry.hpp"

#include <algorithm>
#include <cmath>
#include <exception>
#include <optional>
#include <utility>
#include <vector>

namespace veidora::facefit {

namespace {

using namespace profile;

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

// The forehead line rests this far above the tip at least, and at most (higher up lies hair):
// in shares of the widest row, or, when that finds no nose, of the width from the tip's drop.
constexpr double kForeheadNear = 0.1;
constexpr double kForeheadFar = 0.35;
constexpr double kForeheadNearByDrop = 0.18;
constexpr double kForeheadFarByDrop = 0.36;
// The lean is read again this many times, turning the outline by it each time, until it
// changes by less than kLeanSettled degrees; a head leaning further than kMostLean is not
// read.
constexpr int kLeanRounds = 3;
constexpr double kLeanSettled = 0.05;
constexpr double kMostLean = 35;
// The width is taken again from the tip's drop this many times, until it changes by less than
// this share.
constexpr int kScaleRounds = 4;
constexpr double kScaleSettled = 0.02;
// The pixel steps of a traced boundary are smoothed over about a 500th of its length, within
// these radii.
constexpr std::size_t kSmoothingShare = 1000;
constexpr int kMostSmoothing = 8;
constexpr std::size_t kLeastOutline = 30;
// A nose stands out of root and base by this share of the head's width at least; an ear seen
// from the front stands out less.
constexpr double kLeastNose = 0.03;
// Against the widest row (hair hanging behind included), a nose stands out at least this far:
// 0.047 to 0.11 on the development profiles, while a tuft of hair over the brow read as a nose
// stands out 0.02 to 0.03 of a head that wide.
constexpr double kLeastNoseOfHead = 0.038;
// The face's colour under the mouth is read this share of the way down from the nose base to
// the chin's turn: on the lower lip or the fold below it, clear of the beard's densest part
// and of the shade under the chin.
constexpr double kChinProbeShare = 0.6;

// Hair over the brow ending closer above the brow's front than this (the eyebrows' reach) may
// hide it; higher up, the brow shows below the hair.
constexpr double kBrowHiddenBelow = 0.06;

// One reading of a silhouette whose face looks left (towards -x).
struct Reading {
    bool ok = false;
    std::string why;
    SidePoints points{};
    std::array<bool, kSidePointCount> measured{};
    FacingCues cues;
    // Estimated landmarks that the picture places (where a fringe hides the hairline or the
    // brow), in its frame: they stand in for the fit's places.
    std::vector<std::pair<std::size_t, Point>> placed;
    // Read to the chin but standing out too little for a nose on a head this size: the face
    // may lie below.
    bool smallForHead = false;
    // The outline from the top of the head down to the brow, in the picture's frame: where an
    // estimated S2 is put. Empty where hair hangs over the brow (its front is not the skin's).
    std::vector<Point> forehead;
};

// The front arc read upright with its nose tip and the head's width.
struct Upright {
    FrontArc arc;
    std::size_t tip = 0;
    double width = 0;
};

bool colourful(const ColourView* v) {
    return v && isColour(*v);
}

// The tip, and the head's width taken again from the tip's drop until the two agree.
std::optional<std::size_t> tipAndWidth(const FrontArc& arc, double& width) {
    std::optional<std::size_t> tip = findTip(arc, width);
    for (int k = 0; k < kScaleRounds && tip; ++k) {
        const double again = widthFromTip(arc, *tip);
        if (std::abs(again - width) < kScaleSettled * width)
            break;
        width = again;
        tip = findTip(arc, width);
    }
    return tip;
}

// The outline turned upright: the lean from the line resting on tip and forehead, read again
// once turned by it.
// `pin`: the tip is the forward extreme nearest it rather than the most forward point.
// `asShown`: hair over the brow gives no forehead line to stand the head upright by; it is
// read as the picture shows it.
std::optional<Upright> standUpright(const std::vector<Point>& outline, const Outline& frame,
                                    bool foreheadByDrop, std::optional<Point> pin, bool asShown,
                                    std::string& why) {
    Point centre;
    for (const Point& p : outline) {
        centre.x += p.x / static_cast<double>(outline.size());
        centre.y += p.y / static_cast<double>(outline.size());
    }
    double tilt = 0;
    std::optional<Upright> out;
    for (int pass = 0; pass < kLeanRounds; ++pass) {
        std::optional<FrontArc> arc = FrontArc::place(outline, frame, centre, tilt, why);
        if (!arc)
            return std::nullopt;
        double width = arc->rowWidth();
        std::optional<std::size_t> tip;
        if (!pin) {
            tip = tipAndWidth(*arc, width);
        } else if ((tip = extremeNear(*arc, *pin, width))) {
            width = widthFromTip(*arc, *tip);
            pin = arc->toPicture((*arc)[*tip]); // followed as the arc turns
        }
        const double scale = foreheadByDrop ? width : arc->rowWidth();
        const std::optional<std::size_t> rest =
            tip ? findForeheadRest(*arc, *tip,
                                   (foreheadByDrop ? kForeheadNearByDrop : kForeheadNear) * scale,
                                   (foreheadByDrop ? kForeheadFarByDrop : kForeheadFar) * scale)
                : std::nullopt;
        if (!tip || !rest) {
            why = "No nose stands out of the outline.";
            return std::nullopt;
        }
        const double lean = asShown ? 0 : leanOf(*arc, *tip, *rest);
        out = Upright{std::move(*arc), *tip, width};
        if (pass == kLeanRounds - 1 || std::abs(lean) < kLeanSettled)
            break;
        tilt += lean;
        if (std::abs(tilt) > kMostLean) {
            why = "The head leans too far.";
            return std::nullopt;
        }
    }
    return out;
}

// Hair hanging forward over the brow: the outline dips back above the skin's brow and comes
// forward again on something grainy as hair. nullopt without colours.
std::optional<Overhang> fringeOverBrow(const FrontArc& arc, const ColourView* colours,
                                       bool mirrored, double pictureWidth, std::size_t root,
                                       const FacingCues& cues, double width) {
    if (!colourful(colours) || !cues.noseGrain)
        return std::nullopt;
    const std::optional<Overhang> overhang = findOverhang(arc, root, width);
    if (overhang && isHairOverBrow(arc, *colours, mirrored, pictureWidth, overhang->tip,
                                   overhang->notch, *cues.noseGrain, width))
        return overhang;
    return std::nullopt;
}

// Whether hair over the brow comes down so close to the brow's front that it may hide it.
bool hidesBrow(const FrontArc& arc, const Overhang& fringe, std::size_t brow, double width) {
    return arc[brow].y - arc[fringe.notch].y < kBrowHiddenBelow * width;
}

// Where the face's colour under the mouth is read.
std::size_t belowLips(const FrontArc& arc, std::size_t base, std::size_t bottom) {
    const double y = arc[base].y + kChinProbeShare * (arc[bottom].y - arc[base].y);
    std::size_t i = base;
    while (i < bottom && arc[i].y < y)
        ++i;
    return i;
}

// The landmarks of a silhouette whose face looks left; `mirrored`: the outline was mirrored
// from the picture's; `shownTilt`: how far the picture is shown turned; `pin`: where the nose
// tip is, when not the most forward point; `underHair`: the face lies below hair that stands
// out over the brow.
Reading readFacingLeft(const std::vector<Point>& outline, const Outline& frame,
                       const ColourView* colours, bool mirrored, double shownTilt,
                       bool foreheadByDrop, std::optional<Point> pin, bool underHair) {
    Reading out;
    const std::optional<Upright> up =
        standUpright(outline, frame, foreheadByDrop, pin, underHair, out.why);
    if (!up)
        return out;
    const FrontArc& arc = up->arc;
    const double W = up->width;
    const std::size_t tip = up->tip;
    if (arc.nearFrame(0) || arc.nearFrame(tip)) {
        out.why = "The head is cut off by the frame.";
        return out;
    }
    const std::size_t root = findRoot(arc, tip, W);
    const std::size_t brow = findBrow(arc, root, tip, W);
    const std::size_t base = findBase(arc, tip, W);
    if (!isNoseShaped(arc, tip, root, base, brow, W)) {
        out.why = "No nose-shaped point stands out of the outline.";
        return out;
    }
    out.cues.noseSize = (std::min(arc[root].x, arc[base].x) - arc[tip].x) / W;
    if (out.cues.noseSize < kLeastNose) {
        out.why = "What stands out of the outline is too small for a nose.";
        return out;
    }
    if (colourful(colours)) {
        out.cues.noseGrain = noseGrain(arc, *colours, mirrored, frame.width, tip, root, W);
        if (noseIsHair(out.cues)) {
            out.why = "What stands out of the outline is hair, not a nose.";
            return out;
        }
    }
    const std::optional<std::size_t> chinBottom = findChinBottom(arc, tip, base, W);
    if (!chinBottom) {
        out.why = "No chin below the nose.";
        return out;
    }
    const std::size_t chinTurn = findChinTurn(arc, base, *chinBottom, W);
    const std::optional<std::size_t> chinFront = findChinFront(arc, base, chinTurn, W);
    const Point top = findTop(arc, brow, W);
    std::size_t glabella = findGlabella(arc, root, brow, tip, W, shownTilt);
    const std::optional<Overhang> fringe =
        fringeOverBrow(arc, colours, mirrored, frame.width, root, out.cues, W);
    // The walk up from the root may have run on to the fringe's tip.
    if (fringe && glabella <= fringe->notch)
        glabella = fringe->brow;
    const std::size_t nasion = findNasion(arc, glabella, tip, W);

    SidePoints upright{};
    std::array<bool, kSidePointCount> got{};
    const auto put = [&](std::size_t s, Point p) {
        upright[s] = p;
        got[s] = true;
    };
    put(S1, top);
    put(S3, arc[glabella]);
    put(S4, arc[nasion]);
    put(S6, findBack(arc, arc[base].y));
    put(S7, arc[findNasalBone(arc, nasion, tip)]);
    put(S8, arc[tip]);
    put(S9, arc[base]);
    if (chinFront)
        put(S14, arc[*chinFront]);
    put(S15, arc[chinTurn]);
    if (colourful(colours))
        out.cues.skinMismatch = tipToChinColour(arc, *colours, mirrored, frame.width, tip,
                                                belowLips(arc, base, chinTurn), W);
    if (fringe) {
        // The fringe hides the hairline: S2 is where the skin goes under the hair. Hanging down
        // to the brow, it may hide the brow's front too.
        out.placed.push_back({S2, arc.toPicture(arc[fringe->notch])});
        if (hidesBrow(arc, *fringe, glabella, W)) {
            got[S3] = false;
            out.placed.push_back({S3, arc.toPicture(arc[glabella])});
        }
    } else if (colourful(colours)) {
        if (const auto hair = findHairline(arc, *colours, mirrored, frame.width, brow, top, W)) {
            if (hair->seen)
                put(S2, arc[hair->index]);
            else
                out.placed.push_back({S2, arc.toPicture(arc[hair->index])});
        }
    }

    // Hair over the brow hides the brow's front and the hairline: those are estimated.
    if (underHair)
        got[S2] = got[S3] = false;
    else
        for (std::size_t i = 0; i <= glabella; ++i)
            out.forehead.push_back(arc.toPicture(arc[i]));

    for (std::size_t s = 0; s < kSidePointCount; ++s)
        if (got[s])
            out.points[s] = arc.toPicture(upright[s]);
    out.measured = got;
    const double noseOfHead = out.cues.noseSize * W / arc.rowWidth();
    if (noseOfHead < kLeastNoseOfHead) {
        out.why = "What stands out of the outline is too small for a nose on a head this size.";
        out.smallForHead = true;
        return out;
    }
    out.ok = true;
    return out;
}

// The forehead line is looked for by the widest row first; hair hanging behind the head widens
// that row, so the width from the tip's drop is tried next.
Reading readWithTip(const std::vector<Point>& outline, const Outline& frame,
                    const ColourView* colours, bool mirrored, double shownTilt,
                    std::optional<Point> pin, bool underHair = false) {
    Reading r = readFacingLeft(outline, frame, colours, mirrored, shownTilt, false, pin, underHair);
    if (!r.ok)
        r = readFacingLeft(outline, frame, colours, mirrored, shownTilt, true, pin, underHair);
    return r;
}

// Each other place that stands out tried as the nose tip, most forward first: for lips ahead of
// the nose or a forelock over the brow. `failed` when none reads as a face.
Reading readByOtherTips(const std::vector<Point>& outline, const Outline& frame,
                        const ColourView* colours, bool mirrored, double shownTilt,
                        Reading failed) {
    std::string why;
    const std::optional<FrontArc> level = FrontArc::place(outline, frame, {}, 0, why);
    if (!level)
        return failed;
    for (const Point& pin : noseTipCandidates(*level, level->rowWidth()))
        if (Reading r = readWithTip(outline, frame, colours, mirrored, shownTilt, pin); r.ok)
            return r;
    return failed;
}

// A face has no other face below its chin, while a tuft of hair over the brow can read as a
// nose, lips and chin with the face itself below: a face read below the first one's chin is
// the face.
Reading faceBelow(const std::vector<Point>& outline, const Outline& frame,
                  const ColourView* colours, bool mirrored, double shownTilt, Reading above) {
    if (!above.ok && !above.smallForHead)
        return above;
    std::string why;
    const std::optional<FrontArc> level = FrontArc::place(outline, frame, {}, 0, why);
    if (!level)
        return above;
    for (const Point& pin : noseTipCandidates(*level, level->rowWidth())) {
        if (pin.y <= above.points[S15].y)
            continue;
        if (Reading r = readWithTip(outline, frame, colours, mirrored, shownTilt, pin, true); r.ok)
            return r;
    }
    return above;
}

// `p` moved level onto the outline `run` (top down), where it crosses p's height lowest: an
// estimated upper end of the forehead still lies on the forehead's edge, which the forehead's
// slope is read from. `p` itself when the run does not reach its height.
Point ontoOutline(Point p, const std::vector<Point>& run) {
    for (std::size_t i = run.size(); i-- > 1;) {
        const Point a = run[i - 1], b = run[i];
        if ((a.y <= p.y) == (b.y <= p.y))
            continue;
        const double t = (p.y - a.y) / (b.y - a.y);
        return {a.x + t * (b.x - a.x), p.y};
    }
    return p;
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
                             std::span<const Point, kSidePointCount> defaults,
                             double shownTilt) noexcept {
    ProfileResult result;
    try {
        if (outline.points.size() < kLeastOutline || !(outline.width > 0) ||
            !(outline.height > 0)) {
            result.why = "No silhouette.";
            return result;
        }
        const int radius = std::clamp(static_cast<int>(outline.points.size() / kSmoothingShare), 1,
                                      kMostSmoothing);
        const std::vector<Point> asGiven = smoothed(outline.points, radius);
        std::vector<Point> flipped(asGiven.size());
        for (std::size_t i = 0; i < asGiven.size(); ++i)
            flipped[i] = mirrored(asGiven[i], outline.width);

        // A face looking right is shown mirrored, then turned by the same tilt.
        Reading left =
            faceBelow(asGiven, outline, colours, false, shownTilt,
                      readWithTip(asGiven, outline, colours, false, shownTilt, std::nullopt));
        Reading right =
            faceBelow(flipped, outline, colours, true, shownTilt,
                      readWithTip(flipped, outline, colours, true, shownTilt, std::nullopt));
        // The most forward point is the nose tip on most heads. Other places are tried only
        // when it gives no face either way: they would find more in hair behind a face.
        if (!left.ok && !right.ok) {
            left = readByOtherTips(asGiven, outline, colours, false, shownTilt, std::move(left));
            right = readByOtherTips(flipped, outline, colours, true, shownTilt, std::move(right));
        }
        if (!left.ok && !right.ok) {
            result.why = left.why;
            return result;
        }
        // One side read as hair and the other's ear as a nose would pass a front view.
        if (looksFrontal(asGiven, outline)) {
            result.why = "The silhouette is its own mirror image: a face seen from the front.";
            return result;
        }
        bool faceRight = !left.ok;
        if (left.ok && right.ok) {
            const FaceSide face = whichIsFace(left.cues, right.cues);
            if (face == FaceSide::Neither) {
                // A nose either way is a face seen from the front, or something else.
                result.why = "The silhouette looks alike both ways: not a profile.";
                return result;
            }
            faceRight = face == FaceSide::Right;
        }
        Reading& r = faceRight ? right : left;
        fitRest(r.points, r.measured, defaults);
        for (const auto& [s, p] : r.placed)
            r.points[s] = p;
        const bool s2Placed = std::any_of(r.placed.begin(), r.placed.end(),
                                          [](const auto& sp) { return sp.first == S2; });
        if (!r.measured[S2] && !s2Placed)
            r.points[S2] = ontoOutline(r.points[S2], r.forehead);
        result.found = true;
        result.facing = faceRight ? Facing::Right : Facing::Left;
        result.measured = r.measured;
        for (std::size_t i = 0; i < kSidePointCount; ++i)
            result.points[i] = faceRight ? mirrored(r.points[i], outline.width) : r.points[i];
    } catch (const std::exception& e) {
        result = {};
        result.why = e.what();
    }
    return result;
}

} // namespace veidora::facefit
