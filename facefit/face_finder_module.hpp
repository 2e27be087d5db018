#pragma once
// The face finder as a loadable module. dlib and the libraries under it take longer to map and
// relocate than the window takes to build, so the program reads them from disk when a face is
// first looked for, not at start-up. The module exports one function, named below, that hands
// out this table; nothing else of the module is called directly.
#include "face_finder.hpp"

#include <optional>
#include <string>

namespace veidora::facefit {

struct FaceFinderEntry {
    // As FaceFinder::load; the finder is released with `release`.
    FaceFinder* (*load)(const std::string& modelPath, std::string& error);
    void (*release)(FaceFinder* finder);
    // As FaceFinder::findLargestFace.
    std::optional<FoundFace> (*findLargestFace)(FaceFinder& finder, const ImageView& image,
                                                FaceSearchError* error);
};

using FaceFinderEntryFunction = const FaceFinderEntry* (*)();
inline constexpr const char* kFaceFinderEntryName = "veidoraFaceFinderEntry";

} // namespace veidora::facefit
