#include "levelling.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace veidora::facefit;

namespace {

// Eyes drawn as six points on a small circle round each centre, then turned by `degrees`
// (clockwise on the screen) about the point between them.
FacePoints eyesTurnedBy(double degrees) {
    FacePoints face{};
    const double r = degrees * std::numbers::pi / 180;
    const Point mid{500, 400};
    auto turned = [&](Point p) {
        const double dx = p.x - mid.x, dy = p.y - mid.y;
        return Point{mid.x + dx * std::cos(r) - dy * std::sin(r),
                     mid.y + dx * std::sin(r) + dy * std::cos(r)};
    };
    for (int eye = 0; eye < 2; ++eye) {
        const Point centre{eye == 0 ? 440.0 : 560.0, 400};
        for (int k = 0; k < 6; ++k) {
            const double a = k * std::numbers::pi / 3;
            // An eye is wider than tall.
            face[static_cast<std::size_t>(36 + 6 * eye + k)] =
                turned({centre.x + 15 * std::cos(a), centre.y + 5 * std::sin(a)});
        }
    }
    return face;
}

} // namespace

TEST(Levelling, EyeLineSlopeIsTheTurnOfTheFace) {
    for (double degrees : {0.0, 4.0, -4.0, 8.0, -8.0, 17.5, -30.0}) {
        const auto slope = eyeLineSlope(eyesTurnedBy(degrees));
        ASSERT_TRUE(slope);
        EXPECT_NEAR(*slope, degrees, 1e-9) << degrees;
    }
}

TEST(Levelling, SlopeIsTheSameWhicheverWayTheLineIsDrawn) {
    EXPECT_NEAR(*slopeDegrees({0, 0}, {10, 1}), *slopeDegrees({10, 1}, {0, 0}), 1e-12);
    EXPECT_NEAR(*slopeDegrees({0, 0}, {10, 10}), 45, 1e-12);
    EXPECT_NEAR(*slopeDegrees({10, 10}, {0, 0}), 45, 1e-12);
    EXPECT_NEAR(*slopeDegrees({0, 0}, {10, -10}), -45, 1e-12);
    EXPECT_FALSE(slopeDegrees({3, 4}, {3, 4}));
}

TEST(Levelling, TiltTurnsTheLineBackToTheNearestWholeDegree) {
    struct Case {
        double slope;
        int tilt;
        bool limited;
    } const cases[] = {
        {0.0, 0, false},    {0.4, 0, false},   {-0.4, 0, false},  {4.0, -4, false},
        {-4.0, 4, false},   {7.6, -8, false},  {-7.6, 8, false},  {20.0, -20, false},
        {-20.4, 20, false}, {27.0, -20, true}, {-27.0, 20, true}, {20.6, -20, true},
    };
    for (const Case& c : cases) {
        const Levelling l = levellingTilt(c.slope, -20, 20);
        EXPECT_EQ(l.tilt, c.tilt) << c.slope;
        EXPECT_EQ(l.limited, c.limited) << c.slope;
    }
}
