#include "photo_features.hpp"

#include "backdrop.hpp"
#include "face_chip.hpp"
#include "face_points.hpp"
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
    out.chinBottom = findChinEdge(px, *fr, face[face68::kChin]);
    const double midline = fr->toFace(face[face68::kNoseRoot]).x;
    const std::optional<SkinModel> skin = SkinModel::fit(cheekShades(chip, midline));
    const std::vector<Shade> backdrop =
        skin ? backgrounds(chip, px, *skin, *fr, midline) : std::vector<Shade>{};
    out.outline = findOutline(px, *fr, face, skin, backdrop);
    if (const auto bridge = findBridge(px, *fr, estimate)) {
        out.bridgeLeft = bridge->left;
        out.bridgeRight = bridge->right;
        out.bridgeRoot = bridge->root;
    }
    const WingPoints wings = findWings(px, *fr, estimate);
    out.wingLeft = wings.left;
    out.wingRight = wings.right;
    return out;
}

} // namespace veidora::facefit
