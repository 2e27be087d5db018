#pragma once
// The profile finder as a loadable module. OpenCV and the libraries under it take longer to map
// and relocate than is worth paying at every start, so the program reads them from disk when a
// profile is first looked for. The module exports one function, named below, that hands out
// this table; nothing else of the module is called directly.
#include "profile_finder.hpp"

namespace veidora::facefit {

struct ProfileFinderEntry {
    // As findSilhouette: the module only cuts; the program walks the outline.
    std::optional<Outline> (*findSilhouette)(const ColourView& image,
                                             SilhouetteError* error) noexcept;
};

using ProfileFinderEntryFunction = const ProfileFinderEntry* (*)();
inline constexpr const char* kProfileFinderEntryName = "veidoraProfileFinderEntry";

} // namespace veidora::facefit
