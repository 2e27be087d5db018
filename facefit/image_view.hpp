#pragma once

// A borrowed picture as plain bytes: what the face finder and the pixel analysis read, with no
// Qt or dlib type in sight.

#include <cstddef>
#include <cstdint>

namespace veidora::facefit {

// Borrowed pixels, rows top to bottom. channels: 1 grey; 3 bytes R,G,B; 4 = 0xAARRGGBB as a
// little-endian ARGB32 image stores it, i.e. bytes B,G,R,A (alpha is ignored: pass an opaque
// picture).
struct ImageView {
    const std::uint8_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    std::ptrdiff_t bytesPerLine = 0;
    int channels = 0;
};

} // namespace veidora::facefit
