#pragma once

// Cuts the head's silhouette out of a side photo with OpenCV's GrabCut: the only thing the
// profile module does. The walk along the outline (profile_fit.hpp) is plain C++ and runs in
// the program. OpenCV stays inside profile_finder.cpp: neither this header nor its users need
// it.

#include "profile_fit.hpp"

#include <optional>
#include <span>

namespace veidora::facefit {

// The segmentation works on a copy whose longer side is this many pixels; its outline is then
// laid onto the picture itself.
inline constexpr int kSilhouetteWorkSize = 160;

// Why no silhouette could be cut; the program words it for the user.
enum class SilhouetteError {
    None,           // cut, or nothing stands out: no error
    BadPicture,     // no pixels, not 3 or 4 channels, lines shorter than the width
    OutOfMemory,    // the cut needs more memory than there is
    LibraryFailure, // OpenCV itself failed
};

// The outline of the one dominant object, in the picture's continuous pixel coordinates.
// nullopt when there is none (nothing stands out of the background, or two objects of like
// size) with `error` None, or when the cut failed, with `error` saying why. Pure: any thread,
// any number at once.
std::optional<Outline> findSilhouette(const ColourView& image,
                                      SilhouetteError* error = nullptr) noexcept;

// The silhouette and the walk along it, one after the other as the program runs them.
inline ProfileResult findProfile(const ColourView& image,
                                 std::span<const Point, kSidePointCount> defaults,
                                 SilhouetteError* error = nullptr) noexcept {
    const std::optional<Outline> outline = findSilhouette(image, error);
    if (!outline) {
        ProfileResult none;
        none.why = "No single object stands out of the background.";
        return none;
    }
    return analyseProfile(*outline, &image, defaults);
}

} // namespace veidora::facefit
