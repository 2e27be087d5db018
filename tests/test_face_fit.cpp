#include "face_fit.hpp"
#include "front_landmarks.hpp"
#include "sample_defaults.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

using namespace veidora::facefit;

namespace {

constexpr double kEps = 1e-9;

Similarity turnScaleShift(double degrees, double scale, double tx, double ty) {
    const double r = degrees * std::numbers::pi / 180;
    return {scale * std::cos(r), scale * std::sin(r), tx, ty};
}

void expectNear(Point got, Point want, double tol, const std::string& what = {}) {
    EXPECT_NEAR(got.x, want.x, tol) << what;
    EXPECT_NEAR(got.y, want.y, tol) << what;
}

FrontPoints defaults() {
    return veidora::facefit::frontDefaults();
}

// --- fitSimilarity ----------------------------------------------------------------------

TEST(FitSimilarity, RecoversAKnownTransformExactly) {
    const std::vector<Point> from{{0, 0}, {10, 0}, {3, 7}, {-4, 2}, {100, -50}};
    const Similarity cases[] = {
        {},                                   // identity
        turnScaleShift(0, 1, 25, -8),         // shift only
        turnScaleShift(30, 2.5, 7, 3),        // turn and grow
        turnScaleShift(-135, 0.01, 400, 300), // turn the other way and shrink hard
        turnScaleShift(180, 1, 0, 0),         // half turn: a turn, not a mirror
    };
    for (const Similarity& t : cases) {
        std::vector<Point> to;
        for (const Point& p : from)
            to.push_back(t.apply(p));
        const auto fit = fitSimilarity(from, to);
        ASSERT_TRUE(fit);
        EXPECT_NEAR(fit->a, t.a, kEps);
        EXPECT_NEAR(fit->b, t.b, kEps);
        EXPECT_NEAR(fit->tx, t.tx, 1e-7);
        EXPECT_NEAR(fit->ty, t.ty, 1e-7);
    }
}

TEST(FitSimilarity, ApplyTurnsClockwiseOnAYDownScreen) {
    // A quarter turn with b = 1 takes the point right of the origin below it.
    expectNear(turnScaleShift(90, 1, 0, 0).apply({1, 0}), {0, 1}, kEps);
    expectNear(Similarity{2, 0, 5, 6}.apply({1, 1}), {7, 8}, kEps);
}

TEST(FitSimilarity, IsLeastSquaresOverAllPoints) {
    // Two points pulled apart symmetrically: the best fit keeps the centre and splits the
    // error, where a fit through the first points alone would not.
    const std::vector<Point> from{{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
    const std::vector<Point> to{{-1.2, 0}, {1.2, 0}, {0, -1}, {0, 1}};
    const auto fit = fitSimilarity(from, to);
    ASSERT_TRUE(fit);
    EXPECT_NEAR(fit->a, 1.1, kEps);
    EXPECT_NEAR(fit->b, 0, kEps);
    EXPECT_NEAR(fit->tx, 0, kEps);
    EXPECT_NEAR(fit->ty, 0, kEps);
}

TEST(FitSimilarity, UndeterminedFitsGiveNothing) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        const char* what;
        std::vector<Point> from, to;
    };
    const Case cases[] = {
        {"no points", {}, {}},
        {"one point", {{1, 2}}, {{3, 4}}},
        {"sizes differ", {{0, 0}, {1, 0}, {0, 1}}, {{0, 0}, {1, 0}}},
        {"all coincide", {{5, 5}, {5, 5}, {5, 5}}, {{0, 0}, {1, 0}, {0, 1}}},
        {"coincide far out", {{1e6, 1e6}, {1e6, 1e6}}, {{0, 0}, {1, 0}}},
        {"not a number", {{0, 0}, {nan, 0}}, {{0, 0}, {1, 0}}},
    };
    for (const Case& c : cases)
        EXPECT_FALSE(fitSimilarity(c.from, c.to)) << c.what;
    // Coinciding targets are fine: everything shrinks onto one spot.
    const auto fit =
        fitSimilarity(std::vector<Point>{{0, 0}, {1, 0}}, std::vector<Point>{{3, 3}, {3, 3}});
    ASSERT_TRUE(fit);
    expectNear(fit->apply({7, -2}), {3, 3}, kEps);
}

// --- imageToRectangle -------------------------------------------------------------------

// The front page's sample box, in a rectangle large enough not to clamp.
constexpr veidora::SampleBox kBox = veidora::kFrontSampleBox;

PhotoView view(double w, double h, double angle = 0) {
    return {
        w,    h,   double(kBox.x), double(kBox.y), double(kBox.width), double(kBox.height), angle,
        1000, 1000};
}

TEST(ImageToRectangle, FitsWideAndTallPicturesCentred) {
    struct Case {
        const char* what;
        double w, h;
        Point image, expected;
    };
    const double left = kBox.x, top = kBox.y, width = kBox.width, height = kBox.height;
    const double cx = left + width / 2, cy = top + height / 2;
    // Pictures at half the box's scale: a wide one fills the width, a tall one the height.
    const double wide = width / 2, tall = 100.0 / 2 / 2;
    const Case cases[] = {
        {"wide, top left", 2 * width, width, {0, 0}, {left, cy - wide / 2}},
        {"wide, bottom right", 2 * width, width, {2 * width, width}, {left + width, cy + wide / 2}},
        {"tall, top left", 100, 2 * height, {0, 0}, {cx - tall, top}},
        {"tall, bottom right", 100, 2 * height, {100, 2 * height}, {cx + tall, top + height}},
        {"small grows", 10, 10, {10, 0}, {cx + width / 2, cy - width / 2}},
        {"sample face, pixel centre", 568, 677, {284, 338.5}, {cx, cy}},
    };
    for (const Case& c : cases)
        expectNear(imageToRectangle(c.image, view(c.w, c.h)), c.expected, kEps, c.what);
}

TEST(ImageToRectangle, PositiveAnglesTurnClockwiseAboutTheBoxCentre) {
    // A 100 x 100 picture in a 100 x 100 box at the origin: scale 1, centre (50, 50).
    const auto turned = [](Point p, double angle) {
        return imageToRectangle(p, {100, 100, 0, 0, 100, 100, angle, 1000, 1000});
    };
    struct Case {
        double angle;
        Point image, expected;
    };
    const Case cases[] = {
        {90, {80, 50}, {50, 80}},  // right of the centre goes below it
        {90, {50, 20}, {80, 50}},  // the top goes to the right
        {-90, {80, 50}, {50, 20}}, // and back the other way
        {180, {80, 60}, {20, 40}}, {30, {60, 50}, {50 + 10 * std::sqrt(3.0) / 2, 55}},
    };
    for (const Case& c : cases)
        expectNear(turned(c.image, c.angle), c.expected, kEps, std::to_string(c.angle));
    for (double angle : {-170.0, -10.0, 0.0, 10.0, 45.0, 359.0})
        expectNear(turned({50, 50}, angle), {50, 50}, kEps, "centre stays");
}

TEST(ImageToRectangle, ClampsToTheRectangle) {
    // A box hanging over the rectangle's edges on all sides.
    const PhotoView v{100, 100, -50, -50, 200, 200, 0, 90, 80};
    expectNear(imageToRectangle({0, 0}, v), {0, 0}, kEps);
    expectNear(imageToRectangle({100, 100}, v), {90, 80}, kEps);
    expectNear(imageToRectangle({30, 40}, v), {10, 30}, kEps);
}

TEST(ImageToRectangle, EmptyPictureOrBoxGivesTheBoxCentre) {
    expectNear(imageToRectangle({5, 5}, {0, 100, 10, 20, 60, 40, 0, 1000, 1000}), {40, 40}, kEps);
    expectNear(imageToRectangle({5, 5}, {100, 100, 10, 20, 0, 40, 30, 1000, 1000}), {10, 40}, kEps);
}

// --- frontLandmarks ---------------------------------------------------------------------

// A face whose points for each mapped landmark all sit on that landmark's default, taken
// through `t`; points no landmark uses are far off, so using one by mistake shows.
FacePoints syntheticFace(const Similarity& t) {
    FacePoints face;
    face.fill(t.apply({-5000, 7000}));
    const FrontPoints d = defaults();
    for (std::size_t i = 0; i < kFrontPointCount; ++i)
        for (int k = 0; k < kFrontSources[i].count; ++k)
            face[static_cast<std::size_t>(
                kFrontSources[i].parts[static_cast<std::size_t>(k)].point)] = t.apply(d[i]);
    return face;
}

TEST(FrontLandmarks, EveryLandmarkFollowsTheFaceThroughTheSameSimilarity) {
    const Similarity cases[] = {
        {},
        turnScaleShift(0, 568.0 / 265, -600, -20), // rectangle units to sample pixels
        turnScaleShift(12, 3.1, 40, -75),
        turnScaleShift(-25, 0.4, 900, 15),
    };
    const FrontPoints d = defaults();
    for (const Similarity& t : cases) {
        const FrontPoints got = frontLandmarks(syntheticFace(t), d);
        for (std::size_t i = 0; i < kFrontPointCount; ++i)
            expectNear(got[i], t.apply(d[i]), 1e-7, "P" + std::to_string(i + 1));
    }
}

TEST(FrontLandmarks, FittedLandmarksComeFromTheMappedOnesOnly) {
    // Move one mapped landmark's points: it alone follows fully, the fitted ones move by the
    // refit, and the other mapped ones stay.
    const FrontPoints d = defaults();
    FacePoints face = syntheticFace({});
    face[8].y += 30; // the chin's point
    const FrontPoints got = frontLandmarks(face, d);

    std::vector<Point> from, to;
    for (std::size_t i = 0; i < kFrontPointCount; ++i)
        if (!kFrontSources[i].fitted()) {
            from.push_back(d[i]);
            to.push_back(i == 3 ? Point{d[i].x, d[i].y + 30} : d[i]);
        }
    const Similarity fit = *fitSimilarity(from, to);
    for (std::size_t i = 0; i < kFrontPointCount; ++i) {
        Point want = d[i];
        if (kFrontSources[i].fitted())
            want = fit.apply(d[i]);
        else if (i == 3)
            want.y += 30;
        expectNear(got[i], want, 1e-9, "P" + std::to_string(i + 1));
    }
    EXPECT_GT(std::abs(got[0].y - d[0].y), 0.1); // the refit did move the hairline
}

TEST(FrontLandmarks, CoincidingDefaultsPutFittedLandmarksOnTheMappedMean) {
    FrontPoints same;
    same.fill({10, 10});
    FacePoints face;
    for (std::size_t i = 0; i < face.size(); ++i)
        face[i] = {static_cast<double>(i), 2.0 * static_cast<double>(i)};
    const FrontPoints got = frontLandmarks(face, same);
    Point mean;
    int mapped = 0;
    for (std::size_t i = 0; i < kFrontPointCount; ++i)
        if (!kFrontSources[i].fitted()) {
            mean.x += got[i].x;
            mean.y += got[i].y;
            ++mapped;
        }
    mean = {mean.x / mapped, mean.y / mapped};
    for (std::size_t i = 0; i < kFrontPointCount; ++i)
        if (kFrontSources[i].fitted())
            expectNear(got[i], mean, 1e-9, "P" + std::to_string(i + 1));
}

} // namespace
