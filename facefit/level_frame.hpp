#pragma once

// The head's own frame on a profile, for finding features at places known relative to the
// face: origin at the nose's root (S4), one axis down towards the chin's bottom (S15), the
// other towards the back of the head, measured in nose-root-to-chin lengths. A patch of the
// picture resampled in it looks the same however the photo was turned. Plain C++.

#include "image_view.hpp"
#include "profile_fit.hpp"

#include <optional>
#include <vector>

namespace veidora::facefit::level {

struct Frame {
    Point origin;
    Point down;      // unit vector, picture pixels
    Point back;      // unit vector, towards the back of the head
    double unit = 0; // picture pixels per frame unit

    // Frame coordinates (back, down) of a picture point, and back.
    Point toFrame(Point p) const;
    Point toPicture(Point f) const;
};

// nullopt when the profile's nose root and chin coincide.
std::optional<Frame> frameOf(const ProfileResult& profile);

// The picture resampled on a grid in the frame: column i, row j is the frame point
// (left + i * step, top + j * step). Samples outside the picture are 0; `inside` says which
// are real.
struct Patch {
    double left = 0, top = 0, step = 0;
    int columns = 0, rows = 0;
    std::vector<float> luma;
    std::vector<float> red, green, blue;
    std::vector<unsigned char> inside;

    std::size_t at(int i, int j) const {
        return std::size_t(j) * std::size_t(columns) + std::size_t(i);
    }
    Point framePoint(double i, double j) const { return {left + i * step, top + j * step}; }
};

// `picture` must be readable (image_pixels.hpp).
Patch resample(const ImageView& picture, const Frame& frame, double left, double top, double right,
               double bottom, double step);

// `values` (columns x rows) averaged over a square of 2 radius + 1 samples, counting only the
// samples `inside` says are real.
std::vector<float> boxBlur(const std::vector<float>& values,
                           const std::vector<unsigned char>& inside, int columns, int rows,
                           int radius);

// The median of the real samples in the patch's rectangle [i0, i1) x [j0, j1); 0 when none.
float medianLuma(const Patch& patch, int i0, int j0, int i1, int j1);

} // namespace veidora::facefit::level
