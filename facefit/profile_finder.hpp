#pragma once

// Finds the head's silhouette on a side photo with OpenCV's GrabCut and reads the 17 side
// landmarks off its outline (profile_fit.hpp). OpenCV stays inside profile_finder.cpp: neither
// this header nor its users need it.

#include "profile_fit.hpp"

#include <optional>
#include <span>
#include <string>

namespace veidora::facefit {

// The segmentation works on a copy whose longer side is this many pixels; its outline is then
// laid onto the picture itself.
inline constexpr int kSilhouetteWorkSize = 160;

// The outline of the one dominant object, in the picture's continuous pixel coordinates.
// nullopt when there is none (nothing stands out of the background, or two objects of like
// size); then `error`, when given, is empty, or says why for a bad view, lack of memory or an
// OpenCV failure. Pure: any thread, any number at once. `channels` must be 3 or 4.
std::optional<Outline> findSilhouette(const ColourView& image,
                                      std::string* error = nullptr) noexcept;

// The silhouette and the walk along it. found = false with `why` when there is no profile; a
// bad view, lack of memory or an OpenCV failure also sets `error` when given.
ProfileResult findProfile(const ColourView& image, std::span<const Point, kSidePointCount> defaults,
                          std::string* error = nullptr) noexcept;

} // namespace veidora::facefit
