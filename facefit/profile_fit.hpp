#pragma once

// From the outline of a head seen from the side to the 17 side landmarks. Plain C++: no Qt, no
// OpenCV; the segmentation adapter (profile_finder.hpp) hands over the outline.

#include "face_fit.hpp"
#include "image_view.hpp"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace veidora::facefit {

inline constexpr std::size_t kSidePointCount = 17;
using SidePoints = std::array<Point, kSidePointCount>;

enum class Facing { Left, Right };

// The picture whose colours tell skin from hair along the outline (3 or 4 channels).
using ColourView = ImageView;

// The silhouette's outer boundary in continuous pixel coordinates of a picture of the given
// size, in order around it (either way round), the last point next to the first. `edge`: the
// band along the picture's left, top and right sides that the segmentation took for
// background; a head reaching into it is cut off by the frame.
struct Outline {
    std::vector<Point> points;
    double width = 0;
    double height = 0;
    double edge = 0;
};

struct ProfileResult {
    bool found = false;
    // Which way the face looks in the picture as given. The measurements want it facing left:
    // a face looking right is analysed mirrored, and the window mirrors the photo for it.
    Facing facing = Facing::Left;
    // S1..S17 (index 0 = S1) in the given picture's pixels (not mirrored).
    SidePoints points{};
    // true: read off the outline; false: estimated, from the sample's defaults by a similarity
    // fitted to the landmarks that were read (S2 then moved level onto the forehead's outline),
    // or S2 at the edge of a fringe hiding the hairline.
    std::array<bool, kSidePointCount> measured{};
    std::string why; // when not found: what was missing, for logs and tests
};

// The walk along the face's front outline. Landmarks that the outline or the colours do not
// give are the `defaults` (the sample's places, any units, e.g. kSideDefaults) taken through
// the least-squares similarity from the defaults of the found ones to where they were found.
// `colours` (may be null or empty) is the picture the outline was taken from; without it the
// upper end of the forehead (S2) is estimated. `shownTilt`: how many degrees clockwise the
// picture is shown turned (mirrored first when the face looks right), which the measurements
// read it in. Never throws out of its bad_alloc.
ProfileResult analyseProfile(const Outline& outline, const ColourView* colours,
                             std::span<const Point, kSidePointCount> defaults,
                             double shownTilt = 0) noexcept;

// A point of the picture as given, in the picture mirrored left-right (as TImage::mirror and
// QImage::mirror(true, false) do). Continuous coordinates, so the mapping is its own inverse.
inline Point mirrored(Point p, double imageWidth) {
    return {imageWidth - p.x, p.y};
}

// Where the window draws a point of the picture as given when the picture is shown mirrored
// or not, fitted, turned and clamped as `view` says.
inline Point imageToRectangle(Point imagePoint, const PhotoView& view, bool mirror) {
    return imageToRectangle(mirror ? mirrored(imagePoint, view.imageWidth) : imagePoint, view);
}

} // namespace veidora::facefit
