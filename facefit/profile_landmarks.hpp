#pragma once

// The side landmarks read off a head's front arc, one function each. Indices run down the front
// arc from the top of the head; `width` is the head's width, which scales every threshold, so
// any picture size reads alike. Plain C++.

#include "profile_arc.hpp"

#include <cstddef>
#include <optional>

namespace veidora::facefit::profile {

// S8: the most forward point in the band below the top where a nose tip can lie.
std::optional<std::size_t> findTip(const FrontArc& arc, double width);

// The head's width from how far the tip lies below the top of the head: hair hanging behind
// the head does not widen it.
double widthFromTip(const FrontArc& arc, std::size_t tip);

// Where the line resting on the tip and the forehead touches the forehead, between `near` and
// `far` above the tip.
std::optional<std::size_t> findForeheadRest(const FrontArc& arc, std::size_t tip, double near,
                                            double far);

// How far (degrees, clockwise) the head leans, from the line resting on tip and forehead.
double leanOf(const FrontArc& arc, std::size_t tip, std::size_t rest);

// Up from the tip, the first place where the outline comes forward again: where the walk up
// to the brow starts.
std::size_t findRoot(const FrontArc& arc, std::size_t tip, double width);

// Up from the root, the most forward point before the forehead runs back.
std::size_t findBrow(const FrontArc& arc, std::size_t root, std::size_t tip, double width);

// S3: the brow, or lower down, the most forward point above the root read in the frame the
// picture is shown in, turned `shownTilt` degrees clockwise (where the measurements read it).
std::size_t findGlabella(const FrontArc& arc, std::size_t root, std::size_t brow, std::size_t tip,
                         double width, double shownTilt);

// Hair hanging forward over the brow: `brow` is the skin's brow below it (the first forward
// peak up from the root), `tip` the hair's most forward point above, `notch` the deepest point
// between the two, where the skin goes under the hair.
struct Overhang {
    std::size_t brow = 0;
    std::size_t tip = 0;
    std::size_t notch = 0;
};

// Up from the root, the first forward peak the outline dips back from and, further up than the
// eyebrows reach, a point standing further forward again: a forehead runs back above its brow,
// while a fringe's tip hangs forward over it. nullopt when the outline runs back unbroken.
std::optional<Overhang> findOverhang(const FrontArc& arc, std::size_t root, double width);

// S4: between the brow and the tip, the middle of the deepest stretch, depth read half square
// to a straight edge laid on both and half straight back.
std::size_t findNasion(const FrontArc& arc, std::size_t brow, std::size_t tip, double width);

// S9: the corner under the tip, furthest in from the line from the tip to the upper lip.
std::size_t findBase(const FrontArc& arc, std::size_t tip, double width);

// Whether tip, root, base and brow make a nose: ahead of root and base, sharp, the root above
// the tip and behind the brow.
bool isNoseShaped(const FrontArc& arc, std::size_t tip, std::size_t root, std::size_t base,
                  std::size_t brow, double width);

// Below the base, the point furthest out from the line from the base to the throat: roughly
// where the outline turns back under the chin towards the neck.
std::optional<std::size_t> findChinBottom(const FrontArc& arc, std::size_t tip, std::size_t base,
                                          double width);

// S15: near that `bottom`, where the chin's front turns into its underside: the point whose
// outline runs at 45 degrees down and back (on a square chin, its corner).
std::size_t findChinTurn(const FrontArc& arc, std::size_t base, std::size_t bottom, double width);

// S14: the chin's front below the fold under the lower lip: the middle of the stretch that
// stands out furthest from the line from the fold to the chin's bottom.
std::optional<std::size_t> findChinFront(const FrontArc& arc, std::size_t base, std::size_t bottom,
                                         double width);

// S7: a set share of the way along the outline from the root to the tip.
std::size_t findNasalBone(const FrontArc& arc, std::size_t root, std::size_t tip);

// S1: the top of the head's height, at the front end of the crown's flat run.
Point findTop(const FrontArc& arc, std::size_t brow, double width);

// S6: the rearmost point from the top of the head down to the nose base's height.
Point findBack(const FrontArc& arc, double baseY);

} // namespace veidora::facefit::profile
