#include "profile_finder_module.hpp"

namespace {

using namespace veidora::facefit;

ProfileResult find(const ColourView& image, std::span<const Point, kSidePointCount> defaults,
                   std::string* error) {
    return findProfile(image, defaults, error);
}

const ProfileFinderEntry kEntry{find};

} // namespace

extern "C" __attribute__((visibility("default"))) const ProfileFinderEntry*
veidoraProfileFinderEntry() {
    return &kEntry;
}
