#pragma once

// From a face found on a photo to the 28 front landmarks on the screen. Plain C++: no Qt, no
// face detector; the detector adapter (face_finder.hpp) fills FacePoints.

#include "face_points.hpp"
#include "image_view.hpp"

#include <array>
#include <cstddef>
#include <optional>
#include <span>

namespace veidora::facefit {

struct Point {
    double x = 0;
    double y = 0;

    friend bool operator==(const Point&, const Point&) = default;
};

// The common 68-point face markup, in image pixels. "Left" is the left of the picture:
//   0-16 jaw outline from the left ear down to the chin (8) and up to the right ear;
//   17-21 left eyebrow, outer to inner; 22-26 right eyebrow, inner to outer;
//   27-30 nose ridge, root (27) to tip (30); 31-35 lower nose, left wing to right, 33 midline;
//   36-41 left eye, 36 outer corner, 39 inner; 42-47 right eye, 42 inner corner, 45 outer;
//   48-59 outer lip line, 48 left corner, 51 top of the upper lip, 54 right corner,
//   57 bottom of the lower lip; 60-67 inner lip line.
inline constexpr int kFacePointCount = 68;
using FacePoints = std::array<Point, kFacePointCount>;

inline constexpr std::size_t kFrontPointCount = 28;
using FrontPoints = std::array<Point, kFrontPointCount>;

// x' = a x - b y + tx, y' = b x + a y + ty: uniform scale, turn and shift, never a mirror.
struct Similarity {
    double a = 1;
    double b = 0;
    double tx = 0;
    double ty = 0;

    Point apply(Point p) const { return {a * p.x - b * p.y + tx, b * p.x + a * p.y + ty}; }
};

// The least-squares similarity taking `from` onto `to` (pairs by index). nullopt when it is
// not determined: the sizes differ, fewer than 2 points, or all `from` points coincide.
std::optional<Similarity> fitSimilarity(std::span<const Point> from, std::span<const Point> to);

// Where a front landmark comes from: a weighted mean of up to three face points, or, with no
// part, the fit (see frontLandmarks).
struct FacePart {
    int point = 0;
    double weight = 0;
};
struct FrontSource {
    std::array<FacePart, 3> parts{};
    int count = 0; // 0: fitted

    constexpr bool fitted() const { return count == 0; }
};

namespace source {
constexpr FrontSource fitted() {
    return {};
}
constexpr FrontSource at(int point) {
    return {{{{point, 1}}}, 1};
}
constexpr FrontSource between(int p, double wp, int q, double wq) {
    return {{{{p, wp}, {q, wq}}}, 2};
}
} // namespace source

// The mapping of P1..P28 (index 0 = P1); left and right as seen on the screen. Chosen on the
// sample face (resources/faces/front.svg) at several sizes and tilts and checked on real
// portraits. The markup's jaw points are coarse, so the cheekbone, jaw and chin sides are
// weighted between two neighbours. Its outer eye corners (36, 45) are the photos' own; on the
// sample face, whose eyes are drawn longer than real ones, they land a little inside the drawn
// corners. The markup does not reach the hairline, lacks the sides of the nose bridge and marks
// the nose's lower ends (31, 35) inside the wings: those are fitted, and findFrontLandmarks
// looks for the hairline, the bridge and the wings in the photo itself, and lays the cheeks and
// the jaw onto the face's outline at their own heights.
inline constexpr std::array<FrontSource, kFrontPointCount> kFrontSources{{
    source::fitted(),                    // P1 left end of the forehead at the hairline
    source::fitted(),                    // P2 right end of it
    source::fitted(),                    // P3 top of the forehead at the hairline, midline
    source::at(face68::kChin),           // P4 lowest point of the chin
    source::at(face68::kLeftBrowOuter),  // P5 outer end of the left eyebrow
    source::at(face68::kLeftBrowInner),  // P6 inner end of the left eyebrow
    source::at(face68::kRightBrowInner), // P7 inner end of the right eyebrow
    source::at(face68::kRightBrowOuter), // P8 outer end of the right eyebrow
    source::at(face68::kLeftEyeOuter),   // P9 outer corner of the left eye
    source::at(face68::kLeftEyeInner),   // P10 inner corner of the left eye
    source::at(face68::kRightEyeInner),  // P11 inner corner of the right eye
    source::at(face68::kRightEyeOuter),  // P12 outer corner of the right eye
    source::between(face68::jaw(0), 1, face68::jaw(1), 2),   // P13 left edge at the cheekbone
    source::between(face68::jaw(16), 1, face68::jaw(15), 2), // P14 right edge at the cheekbone
    source::at(face68::kNoseBase),                           // P15 base of the nose, midline
    source::at(face68::kNoseRoot),                         // P16 root of the nose between the eyes
    source::fitted(),                                      // P17 left side of the nose bridge
    source::fitted(),                                      // P18 right side of the nose bridge
    source::fitted(),                                      // P19 left wing of the nostrils
    source::fitted(),                                      // P20 right wing of the nostrils
    source::between(face68::jaw(4), 3, face68::jaw(5), 1), // P21 left outline of the lower jaw
    source::between(face68::jaw(12), 3, face68::jaw(11), 1), // P22 right outline of it
    source::at(face68::kMouthLeft),                          // P23 left corner of the mouth
    source::at(face68::kMouthRight),                         // P24 right corner of the mouth
    source::at(face68::kUpperLipTop),                        // P25 top of the upper lip, midline
    source::at(face68::kLowerLipBottom),                     // P26 bottom of the lower lip, midline
    source::between(face68::jaw(6), 1, face68::jaw(7), 3),   // P27 left side of the chin
    source::between(face68::jaw(10), 1, face68::jaw(9), 3),  // P28 right side of the chin
}};

// The 28 front landmarks (index 0 = P1) in the face points' own space (image pixels).
// `defaults` are the landmarks' places on the sample face (any units, e.g. kFrontDefaults):
// a fitted landmark is its default taken through the least-squares similarity from the
// defaults of the mapped landmarks to where they were found. Should that fit fail (the
// defaults all coincide), the fitted landmarks go to the mean of the mapped ones.
FrontPoints frontLandmarks(const FacePoints& face,
                           std::span<const Point, kFrontPointCount> defaults);

// The hairline where a photo does not show it: P3 the typical forehead's height above the nose
// root P16 (0.6 of the root's height above the chin P4, along that line), P1 and P2 moved with
// it from where they are.
void estimateHairline(FrontPoints& points);

// The 28 front landmarks on a photo, in its pixels, and for each whether the photo showed it
// (found: a face point, or the hairline or a side of the nose bridge seen in the pixels) or it
// is only estimated from the sample face by the fit.
struct FrontFinding {
    FrontPoints points{};
    std::array<bool, kFrontPointCount> found{};
};

// frontLandmarks, then the hairline (P1..P3), the sides of the nose bridge (P17, P18) and the
// nostril wings (P19, P20) looked for in `photo`, the picture the face points were found on, and
// the chin (P4) moved down onto its edge there (photo_features.hpp). Where the photo does not show
// them (a bald or shaved head, a hat, hair down to the brows, a flat-lit nose) they stay estimated.
// An empty view finds nothing more.
FrontFinding findFrontLandmarks(const FacePoints& face,
                                std::span<const Point, kFrontPointCount> defaults,
                                const ImageView& photo);

// How a decoded photo is shown: fitted uniformly and centred into the box (shrunk or grown),
// then turned by angleDegrees about the box centre (positive = clockwise on the screen,
// Y down). Box and clamp are in the drawing rectangle's units.
struct PhotoView {
    double imageWidth = 0;
    double imageHeight = 0;
    double boxX = 0;
    double boxY = 0;
    double boxWidth = 0;
    double boxHeight = 0;
    double angleDegrees = 0;
    double clampWidth = 0;
    double clampHeight = 0;
};

// A photo position (continuous pixel coordinates: pixel (i, j) covers [i, i+1) x [j, j+1))
// in the drawing rectangle's units, clamped to 0..clampWidth x 0..clampHeight. An empty image
// or box gives the box centre (clamped).
Point imageToRectangle(Point imagePoint, const PhotoView& view);

} // namespace veidora::facefit
