#pragma once

#include <cstdint>
#include <span>
#include <string>

// What an image file's own structure says about it, read before any decoder sees it: which of
// the four photo formats it is, how large it declares itself anywhere, how much memory its
// decoder will take, and whether its data is whole. Plain C++, so it can be tested and fuzzed
// on its own.
namespace veidora::image {

enum class Format { Unknown, Jpeg, Png, Gif, Bmp };

struct Inspection {
    Format format = Format::Unknown;
    std::string problem; // empty: sound as far as the structure tells

    // The picture the decoder returns, before any EXIF turn (a GIF's logical screen).
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    // The largest area declared anywhere in the file (a GIF's screen or any of its frames).
    std::uint64_t largestArea = 0;
    // Memory the decoder needs at full size that reduced-size decoding does not save.
    std::uint64_t fixedBytes = 0;
    // Bytes per pixel of a full-size decode; 0 where the decoder can decode at a reduced size.
    std::uint32_t fullDecodeBytesPerPixel = 0;

    bool ok() const { return problem.empty() && format != Format::Unknown; }
};

Inspection inspect(std::span<const unsigned char> file);

const char* formatName(Format format); // "jpeg", "png", "gif", "bmp" or ""

} // namespace veidora::image
