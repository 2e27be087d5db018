#pragma once

// The front landmarks the 68 face points do not mark, looked for in the photo's own pixels: the
// hairline (P1..P3), where the forehead's skin ends going up, the sides of the nose bridge
// (P17, P18), from the bridge's shading, the chin's lowest point (P4) on its edge, the nostril
// wings (P19, P20), from the grooves beside them, and the face's outline (P13, P14, P21, P22).
// Plain C++ on a plain pixel buffer.

#include "chin_edge.hpp"
#include "face_fit.hpp"
#include "face_outline.hpp"
#include "hairline.hpp"
#include "image_view.hpp"
#include "nose_bridge.hpp"
#include "nose_wings.hpp"
#include "skin_model.hpp"

#include <optional>
#include <span>

namespace veidora::facefit {

// What the photo shows, in its pixels; nullopt where it does not show the landmark.
struct PhotoLandmarks {
    std::optional<Point> hairlineLeft;    // P1
    std::optional<Point> hairlineRight;   // P2
    std::optional<Point> hairlineTop;     // P3
    std::optional<Point> chinBottom;      // P4
    std::optional<Point> bridgeLeft;      // P17
    std::optional<Point> bridgeRight;     // P18
    std::optional<Point> bridgeRoot;      // P16 on the bridge's centre line
    std::optional<Point> wingLeft;        // P19
    std::optional<Point> wingRight;       // P20
    std::optional<OutlinePoints> outline; // P13, P14, P21, P22
};

// `face`: the 68 points found on `photo`; `estimate`: the landmarks fitted from them
// (frontLandmarks), which say where to look: the hairline ends' columns and the bridge's height.
// The hairline counts as shown only where skin gives way to hair like that at the temples: not
// to the background (a bald or shaved head), not to a hat. An empty or malformed view gives
// nothing.
PhotoLandmarks findInPhoto(const ImageView& photo, const FacePoints& face,
                           const FrontPoints& estimate);

} // namespace veidora::facefit
