#include "image_check.hpp"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstring>

namespace veidora::image {

namespace {

using Bytes = std::span<const unsigned char>;

std::uint32_t be16(Bytes b, std::size_t at) {
    return std::uint32_t(b[at]) << 8 | b[at + 1];
}
std::uint32_t be32(Bytes b, std::size_t at) {
    return be16(b, at) << 16 | be16(b, at + 2);
}
std::uint32_t le16(Bytes b, std::size_t at) {
    return std::uint32_t(b[at + 1]) << 8 | b[at];
}
std::uint32_t le32(Bytes b, std::size_t at) {
    return le16(b, at + 2) << 16 | le16(b, at);
}

bool startsWith(Bytes b, std::string_view magic) {
    return b.size() >= magic.size() && std::memcmp(b.data(), magic.data(), magic.size()) == 0;
}

Inspection fail(Inspection in, const char* why) {
    in.problem = why;
    return in;
}

void setSize(Inspection& in, std::uint64_t width, std::uint64_t height) {
    in.width = static_cast<std::uint32_t>(width);
    in.height = static_cast<std::uint32_t>(height);
    in.largestArea = std::max(in.largestArea, width * height);
}

// --- JPEG ---

// A scan's data runs to the next marker that is not a restart marker or a stuffed 0xFF.
std::size_t skipEntropyData(Bytes b, std::size_t at) {
    while (at + 1 < b.size()) {
        const auto* ff =
            static_cast<const unsigned char*>(std::memchr(b.data() + at, 0xFF, b.size() - at - 1));
        if (!ff)
            return b.size();
        at = static_cast<std::size_t>(ff - b.data());
        const unsigned char next = b[at + 1];
        if (next == 0x00 || (next >= 0xD0 && next <= 0xD7) || next == 0xFF)
            ++at;
        else
            return at;
    }
    return b.size();
}

Inspection inspectJpeg(Bytes b) {
    Inspection in;
    in.format = Format::Jpeg;
    std::size_t at = 2;
    bool frame = false;
    int scans = 0;
    bool progressive = false;
    std::uint32_t components = 0;
    std::uint64_t coefficientBytes = 0;
    std::uint64_t rowBytes = 0;
    for (;;) {
        if (at + 1 >= b.size())
            return fail(in, "the data ends before the end marker");
        if (b[at] != 0xFF)
            return fail(in, "a marker was expected");
        while (at + 1 < b.size() && b[at + 1] == 0xFF) // fill bytes
            ++at;
        if (at + 1 >= b.size())
            return fail(in, "the data ends before the end marker");
        const unsigned char marker = b[at + 1];
        at += 2;
        if (marker == 0xD9)
            break;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            continue;
        if (marker == 0xD8 || marker == 0x00)
            return fail(in, "a second start marker");
        if (at + 2 > b.size())
            return fail(in, "the data ends inside a segment");
        const std::uint32_t length = be16(b, at);
        if (length < 2 || at + length > b.size())
            return fail(in, "a segment runs past the end of the file");
        const Bytes segment = b.subspan(at + 2, length - 2);
        at += length;

        const bool sof =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (sof) {
            // Baseline, extended and progressive, Huffman or arithmetic coded; the decoder
            // has no lossless or hierarchical modes.
            if (marker != 0xC0 && marker != 0xC1 && marker != 0xC2 && marker != 0xC9 &&
                marker != 0xCA)
                return fail(in, "an unsupported coding process");
            if (frame)
                return fail(in, "a second frame header");
            if (segment.size() < 6)
                return fail(in, "a short frame header");
            frame = true;
            progressive = marker == 0xC2 || marker == 0xCA;
            const std::uint32_t height = be16(segment, 1);
            const std::uint32_t width = be16(segment, 3);
            components = segment[5];
            if (width == 0 || height == 0)
                return fail(in, "a zero size");
            if (components == 0 || components > 4 || segment.size() < 6 + 3 * components)
                return fail(in, "a bad component count");
            setSize(in, width, height);
            std::uint32_t hMax = 1, vMax = 1;
            for (std::uint32_t c = 0; c < components; ++c) {
                const unsigned char sampling = segment[6 + 3 * c + 1];
                const std::uint32_t h = sampling >> 4, v = sampling & 15;
                if (h < 1 || h > 4 || v < 1 || v > 4)
                    return fail(in, "bad sampling factors");
                hMax = std::max(hMax, h);
                vMax = std::max(vMax, v);
            }
            for (std::uint32_t c = 0; c < components; ++c) {
                const unsigned char sampling = segment[6 + 3 * c + 1];
                const std::uint64_t h = sampling >> 4, v = sampling & 15;
                // Blocks of 64 two-byte coefficients, rounded up to whole MCUs.
                const std::uint64_t blocksWide = (width + 8 * hMax - 1) / (8 * hMax) * h;
                const std::uint64_t blocksHigh = (height + 8 * vMax - 1) / (8 * vMax) * v;
                coefficientBytes += blocksWide * blocksHigh * 128;
                rowBytes += blocksWide * v * 128 + blocksWide * 8 * v * 8;
            }
        } else if (marker == 0xDA) {
            if (!frame)
                return fail(in, "a scan before the frame header");
            if (segment.empty() || segment[0] == 0 || segment[0] > components)
                return fail(in, "a bad scan header");
            // Many scans make the decoder pass over the whole picture again and again.
            if (++scans > 200)
                return fail(in, "too many scans");
            at = skipEntropyData(b, at);
        }
    }
    if (!frame || scans == 0)
        return fail(in, "no picture");
    // Progressive and multi-scan pictures are held whole as coefficients while decoding.
    in.fixedBytes = progressive || scans > 1 ? coefficientBytes : rowBytes;
    return in;
}

// --- PNG ---

Inspection inspectPng(Bytes b) {
    Inspection in;
    in.format = Format::Png;
    std::size_t at = 8;
    bool header = false, data = false;
    for (;;) {
        if (at + 12 > b.size())
            return fail(in, "the data ends before the end chunk");
        const std::uint32_t length = be32(b, at);
        if (length > 0x7FFFFFFFu || length > b.size() - at - 12)
            return fail(in, "a chunk runs past the end of the file");
        const Bytes typeAndData = b.subspan(at + 4, 4 + length);
        const std::uint32_t crc = be32(b, at + 8 + length);
        const auto computed = ::crc32(::crc32(0L, Z_NULL, 0), typeAndData.data(),
                                      static_cast<uInt>(typeAndData.size()));
        if (computed != crc)
            return fail(in, "a chunk's checksum is wrong");
        const std::string_view type(reinterpret_cast<const char*>(typeAndData.data()), 4);
        const Bytes body = typeAndData.subspan(4);
        at += 12 + length;
        if (!header) {
            if (type != "IHDR" || length != 13)
                return fail(in, "no header chunk first");
            header = true;
            const std::uint32_t width = be32(body, 0), height = be32(body, 4);
            const unsigned depth = body[8], colour = body[9];
            if (width == 0 || height == 0 || width > 0x7FFFFFFFu || height > 0x7FFFFFFFu)
                return fail(in, "a bad size");
            if (body[10] != 0 || body[11] != 0 || body[12] > 1)
                return fail(in, "an unknown compression, filter or interlace method");
            const bool depthOk =
                depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
            const bool colourOk =
                colour == 0 || colour == 2 || colour == 3 || colour == 4 || colour == 6;
            if (!depthOk || !colourOk)
                return fail(in, "a bad bit depth or colour type");
            setSize(in, width, height);
            // Qt reads eight-bit colour rows one by one into the reduced picture; everything
            // else it decodes whole: eight bytes a pixel for sixteen-bit samples, four for
            // colour, and grey and palette pictures take one and are widened to four for
            // scaling (measured: six in all).
            const bool rowByRow = body[12] == 0 && depth == 8 && (colour == 2 || colour == 6);
            in.fixedBytes = rowByRow ? std::uint64_t(width) * 8 : 0;
            in.fullDecodeBytesPerPixel = rowByRow                       ? 0
                                         : depth == 16                  ? 8
                                         : (colour == 0 || colour == 3) ? 6
                                                                        : 4;
            continue;
        }
        if (type == "IHDR")
            return fail(in, "a second header chunk");
        if (type == "IDAT")
            data = true;
        if (type == "IEND")
            break;
    }
    if (!data)
        return fail(in, "no image data");
    return in;
}

// --- GIF ---

// Walks a run of sub-blocks; returns the offset after the terminator, or 0 if the file ends.
std::size_t skipSubBlocks(Bytes b, std::size_t at) {
    while (at < b.size()) {
        const std::size_t size = b[at];
        if (size == 0)
            return at + 1;
        at += 1 + size;
    }
    return 0;
}

// Follows the LZW codes of one frame without keeping the pixels, to tell whether they make the
// whole frame: Qt's decoder leaves the rest of a short or broken frame blank without a word.
bool lzwFillsFrame(Bytes b, std::size_t at, unsigned minCodeSize, std::uint64_t pixels) {
    const unsigned clear = 1u << minCodeSize;
    const unsigned end = clear + 1;
    std::array<std::uint32_t, 4096> length{};
    std::fill(length.begin(), length.begin() + clear, 1u);
    unsigned codeSize = minCodeSize + 1;
    unsigned next = end + 1;
    int previous = -1;
    std::uint64_t produced = 0;
    std::uint32_t bits = 0;
    unsigned bitCount = 0;
    while (at < b.size()) {
        const std::size_t size = b[at++];
        if (size == 0)
            break;
        if (size > b.size() - at)
            return false;
        for (std::size_t i = 0; i < size; ++i) {
            bits |= std::uint32_t(b[at + i]) << bitCount;
            bitCount += 8;
            while (bitCount >= codeSize) {
                const unsigned code = bits & ((1u << codeSize) - 1);
                bits >>= codeSize;
                bitCount -= codeSize;
                if (code == clear) {
                    codeSize = minCodeSize + 1;
                    next = end + 1;
                    previous = -1;
                    continue;
                }
                if (code == end)
                    return produced >= pixels;
                std::uint32_t emitted = 1;
                if (previous < 0) {
                    if (code > clear)
                        return false; // a code not yet defined
                } else {
                    const auto before = static_cast<unsigned>(previous);
                    if (code < next)
                        emitted = length[code];
                    else if (code == next)
                        emitted = length[before] + 1;
                    else
                        return false;
                    if (next < 4096) {
                        length[next++] = length[before] + 1;
                        if (next == (1u << codeSize) && codeSize < 12)
                            ++codeSize;
                    }
                }
                previous = static_cast<int>(code);
                produced += emitted;
                if (produced >= pixels)
                    return true;
            }
        }
        at += size;
    }
    return produced >= pixels;
}

Inspection inspectGif(Bytes b) {
    Inspection in;
    in.format = Format::Gif;
    if (b.size() < 13)
        return fail(in, "a short header");
    const std::uint32_t width = le16(b, 6), height = le16(b, 8);
    if (width == 0 || height == 0)
        return fail(in, "a zero screen");
    setSize(in, width, height);
    // The screen, a copy kept for disposal, and a premultiplied copy for scaling.
    in.fullDecodeBytesPerPixel = 12;
    std::size_t at = 13;
    if (b[10] & 0x80)
        at += 3u << ((b[10] & 7) + 1);
    bool firstFrame = true;
    for (;;) {
        if (at >= b.size())
            return fail(in, "the data ends before the trailer");
        const unsigned char kind = b[at++];
        if (kind == 0x3B)
            break;
        if (kind == 0x21) {
            if (at >= b.size() || !(at = skipSubBlocks(b, at + 1)))
                return fail(in, "the data ends inside an extension");
            continue;
        }
        if (kind != 0x2C)
            return fail(in, "an unknown block");
        if (at + 9 > b.size())
            return fail(in, "the data ends inside an image descriptor");
        const std::uint64_t frameWidth = le16(b, at + 4), frameHeight = le16(b, at + 6);
        const unsigned flags = b[at + 8];
        in.largestArea = std::max(in.largestArea, frameWidth * frameHeight);
        at += 9;
        if (flags & 0x80)
            at += 3u << ((flags & 7) + 1);
        if (at >= b.size())
            return fail(in, "the data ends before the image data");
        const unsigned minCodeSize = b[at++];
        if (minCodeSize < 2 || minCodeSize > 8)
            return fail(in, "a bad code size");
        if (firstFrame && !lzwFillsFrame(b, at, minCodeSize, frameWidth * frameHeight))
            return fail(in, "the first frame's data is broken or short");
        firstFrame = false;
        if (!(at = skipSubBlocks(b, at)))
            return fail(in, "the data ends inside the image data");
    }
    if (firstFrame)
        return fail(in, "no frame");
    return in;
}

// --- BMP ---

// Runs an RLE8 or RLE4 stream to its end-of-picture mark, keeping inside the picture.
bool rleComplete(Bytes b, std::size_t at, std::uint64_t height, bool four) {
    std::uint64_t x = 0, y = 0;
    while (at + 1 < b.size()) {
        const unsigned count = b[at], value = b[at + 1];
        at += 2;
        if (count > 0) {
            x += count;
            continue;
        }
        if (value == 0) { // end of line
            x = 0;
            ++y;
        } else if (value == 1) { // end of picture
            return true;
        } else if (value == 2) { // move
            if (at + 1 >= b.size())
                return false;
            x += b[at];
            y += b[at + 1];
            at += 2;
        } else { // a run of literal pixels, padded to whole words
            const std::size_t bytes = four ? (value + 1) / 2 : value;
            at += (bytes + 1) & ~std::size_t(1);
            x += value;
        }
        if (y > height || (y == height && x > 0))
            return false;
    }
    return false;
}

Inspection inspectBmp(Bytes b) {
    Inspection in;
    in.format = Format::Bmp;
    if (b.size() < 26)
        return fail(in, "a short header");
    const std::uint32_t offset = le32(b, 10);
    const std::uint32_t headerSize = le32(b, 14);
    std::int64_t width = 0, height = 0;
    std::uint32_t bits = 0, compression = 0;
    if (headerSize == 12) {
        width = le16(b, 18);
        height = le16(b, 20);
        bits = le16(b, 24);
    } else if (headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 108 ||
               headerSize == 124) {
        if (b.size() < 14 + std::size_t(headerSize))
            return fail(in, "a short header");
        width = static_cast<std::int32_t>(le32(b, 18));
        height = static_cast<std::int32_t>(le32(b, 22));
        bits = le16(b, 28);
        compression = le32(b, 30);
    } else {
        return fail(in, "an unknown header");
    }
    const bool topDown = height < 0;
    height = height < 0 ? -height : height;
    if (width <= 0 || height <= 0)
        return fail(in, "a bad size");
    setSize(in, static_cast<std::uint64_t>(width), static_cast<std::uint64_t>(height));
    // Palette pictures take one byte a pixel and are widened to four for scaling; pictures
    // with alpha get a premultiplied copy.
    in.fullDecodeBytesPerPixel = bits <= 8 ? 5 : bits == 32 ? 8 : 4;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return fail(in, "a bad bit count");
    if (offset >= b.size() || offset < 14 + headerSize)
        return fail(in, "the pixels lie outside the file");
    const auto w = static_cast<std::uint64_t>(width), h = static_cast<std::uint64_t>(height);
    if (compression == 0 || compression == 3) {
        if (compression != 0 && bits != 16 && bits != 32)
            return fail(in, "bit fields on a palette picture");
        const std::uint64_t stride = (w * bits + 31) / 32 * 4;
        if (stride * h > b.size() - offset)
            return fail(in, "the data ends before the last row");
        return in;
    }
    if ((compression == 1 && bits == 8) || (compression == 2 && bits == 4)) {
        if (topDown)
            return fail(in, "a run-length picture stored top down");
        if (!rleComplete(b, offset, h, compression == 2))
            return fail(in, "the run-length data is broken or short");
        return in;
    }
    return fail(in, "an unsupported compression");
}

} // namespace

Inspection inspect(std::span<const unsigned char> file) {
    if (startsWith(file, "\xFF\xD8\xFF"))
        return inspectJpeg(file);
    if (startsWith(file, "\x89PNG\r\n\x1A\n"))
        return inspectPng(file);
    if (startsWith(file, "GIF87a") || startsWith(file, "GIF89a"))
        return inspectGif(file);
    if (startsWith(file, "BM"))
        return inspectBmp(file);
    return fail({}, "not a JPEG, PNG, GIF or BMP file");
}

const char* formatName(Format format) {
    switch (format) {
    case Format::Jpeg:
        return "jpeg";
    case Format::Png:
        return "png";
    case Format::Gif:
        return "gif";
    case Format::Bmp:
        return "bmp";
    case Format::Unknown:
        break;
    }
    return "";
}

} // namespace veidora::image
