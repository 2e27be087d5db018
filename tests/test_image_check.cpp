// What the structure check reads from a file's headers, on hand-made fixtures.
#include "image_check.hpp"

#include <gtest/gtest.h>
#include <zlib.h>

#include <vector>

using veidora::image::Format;
using veidora::image::inspect;

namespace {

using Bytes = std::vector<unsigned char>;

// A JPEG with a frame header, one scan of three components and an end marker: enough for the
// check, nothing for a decoder.
Bytes jpeg(unsigned char sof, unsigned width, unsigned height, int scans = 1) {
    Bytes b{0xFF, 0xD8, 0xFF, sof, 0, 17, 8};
    b.insert(b.end(), {static_cast<unsigned char>(height >> 8), static_cast<unsigned char>(height),
                       static_cast<unsigned char>(width >> 8), static_cast<unsigned char>(width)});
    b.insert(b.end(), {3, 1, 0x22, 0, 2, 0x11, 1, 3, 0x11, 1}); // 4:2:0
    for (int s = 0; s < scans; ++s)
        b.insert(b.end(), {0xFF, 0xDA, 0, 12,   3,    1,    0,    2,    0x11, 3,   0x11,
                           0,    63,   0, 0x12, 0xFF, 0x00, 0x34, 0xFF, 0xD0, 0x56});
    b.insert(b.end(), {0xFF, 0xD9});
    return b;
}

Bytes gif(unsigned screenW, unsigned screenH, unsigned frameW, unsigned frameH) {
    auto lo = [](unsigned v) { return static_cast<unsigned char>(v & 255); };
    auto hi = [](unsigned v) { return static_cast<unsigned char>(v >> 8); };
    Bytes b{'G',         'I',         'F',         '8', '9', 'a', lo(screenW),
            hi(screenW), lo(screenH), hi(screenH), 0,   0,   0};
    b.insert(b.end(), {0x2C, 0, 0, 0, 0, lo(frameW), hi(frameW), lo(frameH), hi(frameH), 0});
    // Code size 2: clear, a literal, end, in three-bit codes.
    b.insert(b.end(), {2, 2, 0x44, 0x01, 0, 0x3B});
    return b;
}

} // namespace

TEST(ImageCheck, ProgressivePicturesCountTheirWholeCoefficientBuffer) {
    const auto baseline = inspect(jpeg(0xC0, 14000, 14000));
    const auto progressive = inspect(jpeg(0xC2, 14000, 14000, 3));
    const auto multiScan = inspect(jpeg(0xC0, 14000, 14000, 2));
    ASSERT_TRUE(baseline.ok()) << baseline.problem;
    ASSERT_TRUE(progressive.ok()) << progressive.problem;
    EXPECT_EQ(progressive.width, 14000u);
    EXPECT_EQ(progressive.largestArea, 196'000'000u);
    // 4:2:0 holds one and a half samples a pixel, two bytes each.
    EXPECT_GE(progressive.fixedBytes, 196'000'000u * 3);
    EXPECT_EQ(multiScan.fixedBytes, progressive.fixedBytes);
    EXPECT_LT(baseline.fixedBytes, 20'000'000u);
    EXPECT_EQ(baseline.fullDecodeBytesPerPixel, 0u); // decodes at a reduced size
}

TEST(ImageCheck, JpegStructureFaults) {
    struct Case {
        const char* what;
        Bytes bytes;
    };
    Bytes noEnd = jpeg(0xC0, 10, 10);
    noEnd.resize(noEnd.size() - 2);
    Bytes lossless = jpeg(0xC3, 10, 10);
    Bytes zeroHeight = jpeg(0xC0, 10, 0);
    Bytes manyScans = jpeg(0xC2, 10, 10, 300);
    Bytes overlong = jpeg(0xC0, 10, 10);
    overlong[5] = 200; // the frame header claims more than the file holds
    for (const Case& c :
         {Case{"no end marker", noEnd}, Case{"lossless", lossless}, Case{"zero height", zeroHeight},
          Case{"300 scans", manyScans}, Case{"a segment past the end", overlong}}) {
        const auto in = inspect(c.bytes);
        EXPECT_EQ(in.format, Format::Jpeg) << c.what;
        EXPECT_FALSE(in.ok()) << c.what;
    }
}

TEST(ImageCheck, GifCountsItsScreenAndEveryFrame) {
    const auto small = inspect(gif(10, 10, 1, 1));
    ASSERT_TRUE(small.ok()) << small.problem;
    EXPECT_EQ(small.width, 10u);
    const auto wideFrame = inspect(gif(10, 10, 65535, 65535));
    EXPECT_EQ(wideFrame.largestArea, 65535ull * 65535ull);
    const auto wideScreen = inspect(gif(16000, 16000, 1, 1));
    EXPECT_EQ(wideScreen.width, 16000u);
    EXPECT_EQ(wideScreen.largestArea, 256'000'000u);
}

TEST(ImageCheck, OnlyTheFourPhotoFormatsAreKnown) {
    for (const char* text : {"", "P6\n1 1\n255\n...", "<svg/>", "II*\0", "RIFF....WEBP"}) {
        const Bytes bytes(text, text + std::char_traits<char>::length(text));
        EXPECT_EQ(inspect(bytes).format, Format::Unknown) << text;
        EXPECT_FALSE(inspect(bytes).ok()) << text;
    }
}

namespace {

Bytes pngHeaderOnly(unsigned width, unsigned height, unsigned char depth, unsigned char colour,
                    unsigned char interlace) {
    auto be32 = [](Bytes& b, std::uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8)
            b.push_back(static_cast<unsigned char>(v >> shift));
    };
    Bytes b{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    auto chunk = [&](const char* type, const Bytes& body) {
        be32(b, static_cast<std::uint32_t>(body.size()));
        Bytes typed(type, type + 4);
        typed.insert(typed.end(), body.begin(), body.end());
        b.insert(b.end(), typed.begin(), typed.end());
        be32(b,
             static_cast<std::uint32_t>(::crc32(0, typed.data(), static_cast<uInt>(typed.size()))));
    };
    Bytes header;
    be32(header, width);
    be32(header, height);
    header.insert(header.end(), {depth, colour, 0, 0, interlace});
    chunk("IHDR", header);
    chunk("IDAT", {0x78, 0x9C, 0x03, 0x00, 0x00, 0x00, 0x00, 0x01});
    chunk("IEND", {});
    return b;
}

} // namespace

// Qt reads eight-bit colour PNGs row by row into the reduced picture and decodes the rest whole.
TEST(ImageCheck, PngDecodingMemoryFollowsHowQtReadsIt) {
    struct Case {
        const char* what;
        unsigned char depth, colour, interlace;
        unsigned fullBytesPerPixel;
    };
    for (const Case& c :
         {Case{"rgb", 8, 2, 0, 0}, Case{"rgba", 8, 6, 0, 0}, Case{"rgb interlaced", 8, 2, 1, 4},
          Case{"rgb 16-bit", 16, 2, 0, 8}, Case{"grey", 8, 0, 0, 6}, Case{"palette", 8, 3, 0, 6},
          Case{"grey and alpha", 8, 4, 0, 4}}) {
        const auto in = inspect(pngHeaderOnly(7000, 5000, c.depth, c.colour, c.interlace));
        ASSERT_TRUE(in.ok()) << c.what << ": " << in.problem;
        EXPECT_EQ(in.fullDecodeBytesPerPixel, c.fullBytesPerPixel) << c.what;
        EXPECT_EQ(in.largestArea, 35'000'000u) << c.what;
    }
}
