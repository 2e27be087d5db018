#pragma once

// Reading a borrowed picture (image_view.hpp): whether it can be read at all, one pixel's
// colour and its brightness. Every reader of an ImageView goes through these.

#include "image_view.hpp"

#include <cstdint>
#include <string>

namespace veidora::facefit {

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
};

// Why the view cannot be read (no pixels, an unknown layout, rows shorter than its width);
// empty when it can.
inline std::string viewProblem(const ImageView& v) {
    if (!v.pixels || v.width <= 0 || v.height <= 0)
        return "The picture is empty.";
    if (v.channels != 1 && v.channels != 3 && v.channels != 4)
        return "The picture has " + std::to_string(v.channels) + " channels; 1, 3 or 4 expected.";
    if (v.bytesPerLine < static_cast<std::ptrdiff_t>(v.width) * v.channels)
        return "The picture's lines are shorter than its width.";
    return {};
}

inline bool isReadable(const ImageView& v) {
    return viewProblem(v).empty();
}

// A readable view with colour (three or four channels): what the colour cues need.
inline bool isColour(const ImageView& v) {
    return isReadable(v) && v.channels != 1;
}

// The pixel in column x, row y of a readable view (both inside it).
inline Rgb rgbAt(const ImageView& v, int x, int y) {
    const std::uint8_t* p = v.pixels + static_cast<std::ptrdiff_t>(y) * v.bytesPerLine +
                            static_cast<std::ptrdiff_t>(x) * v.channels;
    switch (v.channels) {
    case 1:
        return {p[0], p[0], p[0]};
    case 3:
        return {p[0], p[1], p[2]};
    default: // B, G, R, A in memory
        return {p[2], p[1], p[0]};
    }
}

// BT.601 luma, 0..255.
inline float lumaOf(float r, float g, float b) {
    return 0.299f * r + 0.587f * g + 0.114f * b;
}

} // namespace veidora::facefit
