#include "photo_features.hpp"

#include "face_chip.hpp"
#include "image_pixels.hpp"

namespace veidora::facefit {

PhotoLandmarks findInPhoto(const ImageView& photo, const FacePoints& face,
                           const FrontPoints& estimate) {
    PhotoLandmarks out;
    if (!isReadable(photo))
        return out;
    const std::optional<Frame> fr = frameOf(face);
    if (!fr)
        return out;
    const Pixels px(photo);
    const Chip chip(px, *fr);
    const HairlinePoints hairline = findHairline(chip, px, *fr, face, estimate);
    out.hairlineLeft = hairline.left;
    out.hairlineRight = hairline.right;
    out.hairlineTop = hairline.top;
    if (const auto bridge = findBridge(px, *fr, estimate)) {
        out.bridgeLeft = bridge->left;
        out.bridgeRight = bridge->right;
    }
    return out;
}

} // namespace veidora::facefit
