// The dlib face finder with the real model from Debian's libdlib-data. QImage and QSvgRenderer
// only read and draw the test pictures.
#include "face_finder.hpp"
#include "front_landmarks.hpp"
#include "sample_defaults.hpp"

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

using namespace veidora::facefit;
namespace fs = std::filesystem;

namespace {

FrontPoints defaults() {
    return veidora::facefit::frontDefaults();
}

ImageView view(const QImage& img) {
    const int channels = img.format() == QImage::Format_Grayscale8 ? 1
                         : img.format() == QImage::Format_RGB888   ? 3
                                                                   : 4;
    return {img.constBits(), img.width(), img.height(), img.bytesPerLine(), channels};
}

const QImage& portrait() {
    static const QImage img = QImage(QStringLiteral(VEIDORA_TEST_DATA "/astronaut.png"))
                                  .convertToFormat(QImage::Format_RGB32);
    return img;
}

// A drawing fitted into `size` and turned by `tilt` degrees (clockwise) about the picture's
// centre, on a plain background.
QImage drawing(const char* path, QSize size, double tilt = 0) {
    QSvgRenderer svg(QString::fromUtf8(path));
    QImage img(size, QImage::Format_RGB32);
    img.fill(QColor(0xe8, 0xed, 0xf1));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(size.width() / 2.0, size.height() / 2.0);
    p.rotate(tilt);
    p.translate(-size.width() / 2.0, -size.height() / 2.0);
    svg.render(&p, QRectF(0, 0, size.width(), size.height()));
    return img;
}

QImage sampleFace(QSize size, double tilt) {
    return drawing(VEIDORA_SAMPLE_FRONT, size, tilt);
}

// A picture of `size` turned by `tilt` as the front page shows it: fitted into the sample's
// box and turned back upright, in a rectangle large enough not to clamp.
PhotoView asOnThePage(QSize size, double tilt) {
    const veidora::SampleBox& b = veidora::kFrontSampleBox;
    return {double(size.width()),
            double(size.height()),
            double(b.x),
            double(b.y),
            double(b.width),
            double(b.height),
            -tilt,
            2000,
            2000};
}

class FaceFinderTest : public testing::Test {
protected:
    static void SetUpTestSuite() { s_finder = FaceFinder::load(kDefaultModelPath, s_error); }
    static void TearDownTestSuite() { s_finder.reset(); }

    void SetUp() override {
        ASSERT_TRUE(s_finder) << "These tests need the face model of Debian's libdlib-data "
                                 "(scripts/setup-debian.sh installs it): "
                              << s_error;
        s_finder->setSearchSize(FaceFinder::kDefaultSearchSize);
    }

    static FaceFinder& finder() { return *s_finder; }

private:
    static inline std::unique_ptr<FaceFinder> s_finder;
    static inline std::string s_error;
};

TEST_F(FaceFinderTest, FindsThePortraitsFaceWithItsLandmarksInPlace) {
    ASSERT_FALSE(portrait().isNull());
    FaceSearchError error = FaceSearchError::Failed;
    const auto face = finder().findLargestFace(view(portrait()), &error);
    ASSERT_TRUE(face);
    EXPECT_EQ(error, FaceSearchError::None);

    // The face is left of the middle in the upper half, nose at about (225, 125).
    EXPECT_LT(face->left, 225);
    EXPECT_GT(face->right, 225);
    EXPECT_LT(face->top, 125);
    EXPECT_GT(face->bottom, 125);
    EXPECT_GE(face->left, 0);
    EXPECT_GE(face->top, 0);
    EXPECT_LE(face->right, 512);
    EXPECT_LE(face->bottom, 512);
    EXPECT_GT(face->right - face->left, 60);
    EXPECT_LT(face->right - face->left, 200);

    const FrontPoints lm = frontLandmarks(face->points, defaults());
    auto P = [&](int n) { return lm[static_cast<std::size_t>(n - 1)]; };
    auto maxY = [&](std::initializer_list<int> ns) {
        double y = -1e9;
        for (int n : ns)
            y = std::max(y, P(n).y);
        return y;
    };
    auto minY = [&](std::initializer_list<int> ns) {
        double y = 1e9;
        for (int n : ns)
            y = std::min(y, P(n).y);
        return y;
    };

    for (int n = 1; n <= 28; ++n) {
        if (n == 4)
            continue;
        EXPECT_LT(P(n).y, P(4).y) << "P" << n << " below the chin";
    }
    EXPECT_LT(maxY({5, 6, 7, 8}), minY({9, 10, 11, 12})) << "eyebrows above the eyes";
    EXPECT_LT(maxY({9, 10, 11, 12}), P(15).y) << "eyes above the base of the nose";
    EXPECT_LT(P(15).y, minY({23, 24, 25})) << "base of the nose above the mouth";
    EXPECT_LT(P(25).y, P(26).y) << "upper lip above the lower";
    EXPECT_LT(maxY({1, 2, 3}), minY({5, 6, 7, 8})) << "hairline above the eyebrows";

    const std::pair<int, int> leftRight[] = {{1, 2},   {5, 8},   {6, 7},   {9, 10},  {10, 11},
                                             {11, 12}, {13, 14}, {17, 18}, {19, 20}, {21, 22},
                                             {23, 24}, {27, 28}, {21, 4},  {4, 22}};
    for (auto [l, r] : leftRight)
        EXPECT_LT(P(l).x, P(r).x) << "P" << l << " left of P" << r;

    // The detector's box runs from the eyebrows down; the hairline is above it by up to about
    // half the box (a third of the head's height), so only P1..P3 get that room upwards.
    const double height = face->bottom - face->top;
    for (int n = 1; n <= 28; ++n) {
        const double top = n <= 3 ? face->top - 0.5 * height : face->top;
        EXPECT_TRUE(P(n).x >= face->left && P(n).x <= face->right && P(n).y >= top &&
                    P(n).y <= face->bottom)
            << "P" << n << " at " << P(n).x << "," << P(n).y << " outside the face";
    }
}

TEST_F(FaceFinderTest, EveryPixelLayoutGivesTheSameFace) {
    const auto reference = finder().findLargestFace(view(portrait()));
    ASSERT_TRUE(reference);

    struct Case {
        const char* what;
        QImage::Format format;
        int padding; // extra bytes at each line's end
        double tolerance;
    };
    const Case cases[] = {
        {"B,G,R,A again", QImage::Format_RGB32, 0, 0},
        {"B,G,R,A, padded lines", QImage::Format_ARGB32, 12, 0},
        {"R,G,B", QImage::Format_RGB888, 0, 0},
        {"R,G,B, padded lines", QImage::Format_RGB888, 7, 0},
        {"grey, padded lines", QImage::Format_Grayscale8, 5, 1.5}, // other pixels: close only
    };
    for (const Case& c : cases) {
        const QImage img = portrait().convertToFormat(c.format);
        ImageView v = view(img);
        std::vector<std::uint8_t> buffer;
        if (c.padding > 0) {
            const std::ptrdiff_t line = v.bytesPerLine + c.padding;
            buffer.assign(static_cast<std::size_t>(line * v.height), 0xAB);
            for (int y = 0; y < v.height; ++y)
                std::copy_n(img.constScanLine(y), v.bytesPerLine, buffer.data() + y * line);
            v.pixels = buffer.data();
            v.bytesPerLine = line;
        }
        const auto face = finder().findLargestFace(v);
        ASSERT_TRUE(face) << c.what;
        for (std::size_t i = 0; i < face->points.size(); ++i) {
            EXPECT_NEAR(face->points[i].x, reference->points[i].x, c.tolerance) << c.what << i;
            EXPECT_NEAR(face->points[i].y, reference->points[i].y, c.tolerance) << c.what << i;
        }
    }
}

TEST_F(FaceFinderTest, LargePictureGivesTheSamePointsWithOrWithoutAReducedSearch) {
    // The portrait at the largest size the window decodes a square photo at.
    const QImage large =
        portrait().scaled(1028, 1028, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const double k = 1028.0 / 512;
    const auto small = finder().findLargestFace(view(portrait()));
    ASSERT_TRUE(small);
    for (int searchSize : {FaceFinder::kDefaultSearchSize, 0}) {
        finder().setSearchSize(searchSize);
        const auto face = finder().findLargestFace(view(large));
        ASSERT_TRUE(face) << "search size " << searchSize;
        for (std::size_t i = 0; i < face->points.size(); ++i) {
            EXPECT_NEAR(face->points[i].x / k, small->points[i].x, 2.5) << searchSize << " " << i;
            EXPECT_NEAR(face->points[i].y / k, small->points[i].y, 2.5) << searchSize << " " << i;
        }
    }
}

TEST_F(FaceFinderTest, MirroredPictureGivesMirroredPoints) {
    // In continuous coordinates a point x of a picture W wide is at W - x in its mirror image;
    // over all 68 points the predictor's own left-right wobble averages out. At 1028 pixels
    // the orange suit's collar also passes, barely, as a face one pixel larger than hers.
    for (int size : {512, 1028}) {
        const QImage img =
            portrait().scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const auto face = finder().findLargestFace(view(img));
        const auto mirrored = finder().findLargestFace(view(img.mirrored(true, false)));
        ASSERT_TRUE(face && mirrored) << size;
        double dx = 0, dy = 0;
        for (std::size_t i = 0; i < face->points.size(); ++i) {
            dx += face->points[i].x + mirrored->points[i].x - size;
            dy += face->points[i].y - mirrored->points[i].y;
        }
        EXPECT_NEAR(dx / kFacePointCount, 0, 0.4) << size;
        EXPECT_NEAR(dy / kFacePointCount, 0, 0.4) << size;
        EXPECT_NEAR(mirrored->left, size - face->right, size / 100.0) << size;
        EXPECT_NEAR(mirrored->top, face->top, size / 100.0) << size;
    }
}

TEST_F(FaceFinderTest, SampleFaceLandsOnTheDefaultLandmarks) {
    // As shown on the front page: fitted into the sample's box, turned back upright.
    const FrontPoints d = defaults();
    for (QSize size : {QSize(568, 677), QSize(1028, 1225)}) {
        for (double tilt : {-10.0, 0.0, 10.0}) {
            const QImage img = sampleFace(size, tilt);
            const auto face = finder().findLargestFace(view(img));
            ASSERT_TRUE(face) << size.width() << " " << tilt;
            const FrontPoints lm = frontLandmarks(face->points, d);
            const PhotoView shown = asOnThePage(size, tilt);
            std::vector<double> errors;
            std::ostringstream all;
            for (std::size_t i = 0; i < lm.size(); ++i) {
                const Point p = imageToRectangle(lm[i], shown);
                errors.push_back(std::hypot(p.x - d[i].x, p.y - d[i].y));
                all << " P" << i + 1 << ":" << errors.back();
            }
            std::vector<double> sorted = errors;
            std::sort(sorted.begin(), sorted.end());
            const double median = (sorted[13] + sorted[14]) / 2;
            EXPECT_LE(sorted.back(), 8) << size.width() << " tilt " << tilt << all.str();
            EXPECT_LE(median, 3) << size.width() << " tilt " << tilt << all.str();
        }
    }
}

// --- the landmarks looked for in the photo's own pixels ----------------------------------

constexpr std::size_t kHairline[] = {0, 1, 2};         // P1..P3
constexpr std::size_t kBridge[] = {16, 17};            // P17, P18
constexpr std::size_t kSearched[] = {0, 1, 2, 16, 17}; // both

QImage picture(const char* path) {
    return QImage(QString::fromUtf8(path)).convertToFormat(QImage::Format_RGB32);
}

TEST_F(FaceFinderTest, SampleFaceShowsItsHairlineAndNoseBridgeWhereTheDefaultsSay) {
    // As in SampleFaceLandsOnTheDefaultLandmarks: the picture as the front page shows it, in
    // drawing-rectangle units.
    const FrontPoints d = defaults();
    for (QSize size : {QSize(568, 677), QSize(1028, 1225)}) {
        for (double tilt : {-10.0, 0.0, 10.0}) {
            const QImage img = sampleFace(size, tilt);
            const auto face = finder().findLargestFace(view(img));
            ASSERT_TRUE(face) << size.width() << " " << tilt;
            const FrontFinding lm = findFrontLandmarks(face->points, d, view(img));
            const PhotoView shown = asOnThePage(size, tilt);
            for (std::size_t i : kSearched) {
                const Point p = imageToRectangle(lm.points[i], shown);
                EXPECT_TRUE(lm.found[i]) << "P" << i + 1 << " " << size.width() << " " << tilt;
                EXPECT_LE(std::hypot(p.x - d[i].x, p.y - d[i].y), 4)
                    << "P" << i + 1 << " " << size.width() << " tilt " << tilt << " at " << p.x
                    << "," << p.y;
            }
            // The model marks the eye corners. The drawing's nostril wings are thin lines,
            // not grooves: where one still reads as a wing's edge, it is the drawn one.
            EXPECT_TRUE(lm.found[8] && lm.found[11]);
            for (std::size_t i : {18u, 19u}) {
                const Point p = imageToRectangle(lm.points[i], shown);
                if (lm.found[i]) {
                    EXPECT_LE(std::hypot(p.x - d[i].x, p.y - d[i].y), 4)
                        << "P" << i + 1 << " " << size.width() << " tilt " << tilt;
                }
            }
        }
    }
}

TEST_F(FaceFinderTest, PortraitUnderAFringeHasItsHairlineEstimated) {
    const QImage img = picture(VEIDORA_TEST_DATA "/astronaut.png");
    const auto face = finder().findLargestFace(view(img));
    ASSERT_TRUE(face);
    const FrontFinding lm = findFrontLandmarks(face->points, defaults(), view(img));
    auto P = [&](int n) { return lm.points[static_cast<std::size_t>(n - 1)]; };
    // The fringe hides the hairline: the points are estimated, above the fringe's lower edge
    // (its darkest tips on the midline are at y 77), not on it.
    for (int n : {1, 2, 3})
        EXPECT_FALSE(lm.found[static_cast<std::size_t>(n - 1)]) << "P" << n;
    EXPECT_LT(P(3).y, 77);
    EXPECT_LT(P(1).y, std::min(face->points[18].y, face->points[19].y));
    EXPECT_LT(P(2).y, std::min(face->points[24].y, face->points[25].y));

    // The bridge's sides, found or not (lit from her right, its left side hardly shows), either
    // side of the root, within the nose's width, between its root and its base.
    EXPECT_EQ(lm.found[16], lm.found[17]);
    EXPECT_LT(P(17).x, P(16).x);
    EXPECT_LT(P(16).x, P(18).x);
    for (int n : {17, 18}) {
        EXPECT_GT(P(n).x, face->points[31].x) << n;
        EXPECT_LT(P(n).x, face->points[35].x) << n;
        EXPECT_GT(P(n).y, P(16).y) << n;
        EXPECT_LT(P(n).y, P(15).y) << n;
    }
}

TEST_F(FaceFinderTest, RecedingHairlineIsFoundOnTheForeheadOrLeftEstimated) {
    // Thin hair over the crown, the scalp showing through it, the top of the head at y 213.
    // The forehead's skin meets the thin hair at about y 272 on the midline and y 330 above the
    // outer eye corners; the fit, made for a full head of hair, puts the hairline 50 to 100
    // pixels lower, on the bare forehead.
    const QImage img = picture(VEIDORA_TEST_DATA "/frontal-125.jpg");
    ASSERT_EQ(img.size(), QSize(1350, 1350));
    const auto face = finder().findLargestFace(view(img));
    ASSERT_TRUE(face);
    FrontPoints estimated = frontLandmarks(face->points, defaults());
    estimateHairline(estimated);
    const FrontFinding lm = findFrontLandmarks(face->points, defaults(), view(img));
    const double hairline[] = {330, 336, 272}; // P1..P3
    for (std::size_t i : kHairline) {
        if (lm.found[i])
            EXPECT_NEAR(lm.points[i].y, hairline[i], 30) << "P" << i + 1;
        else
            EXPECT_EQ(lm.points[i], estimated[i]) << "P" << i + 1;
    }
    // The eye corners where the eyes' white ends, within a few pixels.
    EXPECT_LT(std::hypot(lm.points[8].x - 513, lm.points[8].y - 586), 8);
    EXPECT_LT(std::hypot(lm.points[11].x - 828, lm.points[11].y - 591), 8);
    for (std::size_t i : kBridge) {
        EXPECT_TRUE(lm.found[i]) << "P" << i + 1;
        EXPECT_GT(lm.points[i].x, face->points[31].x);
        EXPECT_LT(lm.points[i].x, face->points[35].x);
    }
}

TEST_F(FaceFinderTest, BaldHeadAndHatLeaveTheHairlineEstimated) {
    // The sample face without hair (skin up to the top of the head), and with a felt hat whose
    // brim crosses the forehead; the hairline stays estimated, neither on the top of the head
    // nor on the brim.
    for (const char* path :
         {VEIDORA_TEST_DATA "/front-bald.svg", VEIDORA_TEST_DATA "/front-hat.svg"}) {
        for (double tilt : {0.0, 8.0}) {
            const QImage img = drawing(path, QSize(568, 677), tilt);
            const auto face = finder().findLargestFace(view(img));
            ASSERT_TRUE(face) << path;
            FrontPoints estimated = frontLandmarks(face->points, defaults());
            estimateHairline(estimated);
            const FrontFinding lm = findFrontLandmarks(face->points, defaults(), view(img));
            for (std::size_t i : kHairline) {
                EXPECT_FALSE(lm.found[i]) << path << " tilt " << tilt << " P" << i + 1;
                EXPECT_EQ(lm.points[i], estimated[i]) << path << " P" << i + 1;
            }
            for (std::size_t i : kBridge)
                EXPECT_TRUE(lm.found[i]) << path << " P" << i + 1;
        }
    }
}

TEST_F(FaceFinderTest, PicturesWithoutAFaceGiveNothing) {
    QImage plain(400, 300, QImage::Format_RGB32);
    plain.fill(QColor(128, 128, 128));
    QImage noise(640, 480, QImage::Format_RGB888);
    std::uint32_t state = 12345;
    for (int y = 0; y < noise.height(); ++y) {
        std::uint8_t* line = noise.scanLine(y);
        for (int x = 0; x < noise.width() * 3; ++x) {
            state = state * 1664525u + 1013904223u;
            line[x] = static_cast<std::uint8_t>(state >> 24);
        }
    }
    QImage tiny(1, 1, QImage::Format_Grayscale8);
    tiny.fill(0);
    for (const QImage* img : {&plain, &noise, &tiny}) {
        FaceSearchError error = FaceSearchError::Failed;
        EXPECT_FALSE(finder().findLargestFace(view(*img), &error)) << img->width();
        EXPECT_EQ(error, FaceSearchError::None) << img->width();
    }
}

TEST_F(FaceFinderTest, BadViewsAreRefusedWithAReason) {
    const std::uint8_t pixels[64] = {};
    struct Case {
        const char* what;
        ImageView v;
    };
    const Case cases[] = {
        {"no pixels", {nullptr, 4, 4, 16, 4}},
        {"no width", {pixels, 0, 4, 16, 4}},
        {"negative height", {pixels, 4, -4, 16, 4}},
        {"two channels", {pixels, 4, 4, 16, 2}},
        {"lines shorter than the width", {pixels, 4, 4, 15, 4}},
    };
    for (const Case& c : cases) {
        FaceSearchError error = FaceSearchError::None;
        EXPECT_FALSE(finder().findLargestFace(c.v, &error)) << c.what;
        EXPECT_EQ(error, FaceSearchError::BadPicture) << c.what;
    }
}

TEST(FaceFinderLoad, BadModelFilesGiveAnErrorNamingThePath) {
    ASSERT_TRUE(fs::is_regular_file(kDefaultModelPath))
        << kDefaultModelPath << " is missing: install Debian's libdlib-data";
    const fs::path dir = fs::path(testing::TempDir()) / "veidora-face-models";
    fs::remove_all(dir);
    fs::create_directories(dir / "a directory");

    auto write = [&](const char* name, const std::string& bytes) {
        std::ofstream(dir / name, std::ios::binary) << bytes;
        return (dir / name).string();
    };
    std::string head(1 << 20, '\0');
    std::ifstream(kDefaultModelPath, std::ios::binary).read(head.data(), 1 << 20);
    std::string noise(4096, '\0');
    std::uint32_t state = 7;
    for (char& ch : noise) {
        state = state * 1664525u + 1013904223u;
        ch = static_cast<char>(state >> 24);
    }

    const std::string cases[] = {
        (dir / "missing.dat").string(), (dir / "a directory").string(),
        write("empty.dat", ""),         write("text.dat", "not a face model\n"),
        write("noise.dat", noise),      write("truncated.dat", head),
    };
    for (const std::string& path : cases) {
        std::string error;
        std::unique_ptr<FaceFinder> finder;
        EXPECT_NO_THROW(finder = FaceFinder::load(path, error)) << path;
        EXPECT_FALSE(finder) << path;
        EXPECT_NE(error.find(path), std::string::npos) << error;
    }
    fs::remove_all(dir);
}

} // namespace
