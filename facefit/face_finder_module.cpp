#include "face_finder_module.hpp"

namespace {

using namespace veidora::facefit;

FaceFinder* load(const std::string& modelPath, std::string& error) {
    return FaceFinder::load(modelPath, error).release();
}

void release(FaceFinder* finder) {
    delete finder;
}

std::optional<FoundFace> findLargestFace(FaceFinder& finder, const ImageView& image,
                                         FaceSearchError* error) {
    return finder.findLargestFace(image, error);
}

const FaceFinderEntry kEntry{load, release, findLargestFace};

} // namespace

extern "C" __attribute__((visibility("default"))) const FaceFinderEntry* veidoraFaceFinderEntry() {
    return &kEntry;
}
