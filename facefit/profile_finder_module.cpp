#include "profile_finder_module.hpp"

namespace {

using namespace veidora::facefit;

const ProfileFinderEntry kEntry{findSilhouette};

} // namespace

extern "C" __attribute__((visibility("default"))) const ProfileFinderEntry*
veidoraProfileFinderEntry() {
    return &kEntry;
}
