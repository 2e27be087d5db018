// What the structure check reads from a file's headers, on hand-made fixtures.
#include "image_check.hpp"

#include <gtest/gtest.h>

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
        b.insert(b.end(), {0xFF, 0xDA, 0, 12, 3, 1, 0, 2, 0x11, 3, 0x11, 0, 63, 0, 0x12, 0xFF,
                           0x00, 0x34, 0xFF, 0xD0, 0x56});
    b.insert(b.end(), {0xFF, 0xD9});
    return b;
}

Bytes gif(unsigned screenW, unsigned screenH, unsigned frameW, unsigned frameH) {
    auto lo = [](unsigned v) { return static_cast<unsigned char>(v & 255); };
    auto hi = [](unsigned v) { return static_cast<unsigned char>(v >> 8); };
    Bytes b{'G', 'I', 'F', '8', '9', 'a', lo(screenW), hi(screenW), lo(screenH), hi(screenH),
            0, 0, 0};
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
    for (const Case& c : {Case{"no end marker", noEnd}, Case{"lossless", lossless},
                          Case{"zero height", zeroHeight}, Case{"300 scans", manyScans},
                          Case{"a segment past the end", overlong}}) {
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
