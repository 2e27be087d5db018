#pragma once

// Which way round a silhouette is a face, when it reads as one both ways. A nose tip and its
// ridge are bare skin, smooth whatever the skin's colour, while a bun, curls or a forelock read
// as a nose are hair, grainy with strands; a nose tip also has the chin's colour. Plain C++.

#include "profile_arc.hpp"

#include <cstddef>
#include <optional>

namespace veidora::facefit::profile {

// What one reading of a silhouette says about being the face.
struct FacingCues {
    double noseSize = 0; // how far the nose stands out of root and base, in head widths
    // How far apart the colours of the nose tip and the chin are (RGB); nullopt without colours.
    std::optional<double> skinMismatch;
    // How grainy the nose tip and its ridge are; nullopt without colours.
    std::optional<double> noseGrain;
};

enum class FaceSide { Left, Right, Neither };

// Which of the readings facing left and facing right is the face: the one with the smooth
// nose, else the one whose tip has its chin's colour, else the one with the clearly larger
// nose. Neither when nothing tells them apart (a face seen from the front, or no face).
FaceSide whichIsFace(const FacingCues& left, const FacingCues& right);

// Whether the nose read is grainy as hair is: then it is no nose.
bool noseIsHair(const FacingCues& cues);

// How grainy the picture is in a small patch just inside the arc's i-th point (the patch the
// nose's grain reads). nullopt when the patch leaves the picture.
std::optional<double> grainInside(const FrontArc& arc, const ColourView& colours, bool mirrored,
                                  double pictureWidth, std::size_t i, double width);

// How grainy the picture is just inside the nose tip plus halfway up its ridge to the root:
// the median lightness step between neighbouring pixels in a small patch at each. nullopt when a
// patch leaves the picture. `mirrored`: the arc was read from the picture mirrored. `colours`
// must be a valid view.
std::optional<double> noseGrain(const FrontArc& arc, const ColourView& colours, bool mirrored,
                                double pictureWidth, std::size_t tip, std::size_t root,
                                double width);

} // namespace veidora::facefit::profile
