#pragma once

// The upper end of the forehead (S2): where the forehead's skin gives way to hair, read from
// the picture's colours just inside the front arc. Plain C++.

#include "profile_arc.hpp"

#include <cstddef>
#include <optional>

namespace veidora::facefit::profile {

// Where the forehead's skin gives way to hair on the outline. `seen`: false for the edge of
// a fringe hanging over the forehead, which only hides the hairline.
struct HairEdge {
    std::size_t index = 0;
    bool seen = true;
};

// Walking up from above the eyebrows, the first place where a run of hair-coloured points
// begins; nullopt when no hair edge shows (a bald or shaved head, light hair like the skin,
// hair over the forehead down to the brows). `mirrored`: the arc was read from the picture
// mirrored. `colours` must be a valid view.
std::optional<HairEdge> findHairline(const FrontArc& arc, const ColourView& colours, bool mirrored,
                                     double pictureWidth, std::size_t brow, Point top,
                                     double width);

// Whether the arc from `from` down to `to` is hair hanging over the forehead: the picture inside
// it is mostly far grainier than the nose's skin. `noseGrain`: the nose's (noseGrain(), two
// patches summed).
bool isHairOverBrow(const FrontArc& arc, const ColourView& colours, bool mirrored,
                    double pictureWidth, std::size_t from, std::size_t to, double noseGrain,
                    double width);

// How far apart (RGB distance) the colours just inside the nose tip and the chin's front are:
// both are skin on a face, while a bun or a ponytail read as a nose is not the skin of the
// nape below it. nullopt when either lies outside the picture.
std::optional<double> tipToChinColour(const FrontArc& arc, const ColourView& colours, bool mirrored,
                                      double pictureWidth, std::size_t tip, std::size_t chin,
                                      double width);

} // namespace veidora::facefit::profile
