#include "geometry.hpp"

#include <gtest/gtest.h>

using namespace veidora;

namespace {

TEST(Geometry, AreaIsUnsignedAndTriangleAreaCalculationSigned) {
    EXPECT_EQ(area(0, 0, 4, 0, 0, 3), 6);
    EXPECT_EQ(area(0, 0, 0, 3, 4, 0), 6);
    EXPECT_EQ(area(4, 0, 0, 3, 0, 0), 6);
    EXPECT_EQ(TriangleAreaCalculation({0, 0}, {4, 0}, {0, 3}), 6);
    EXPECT_EQ(TriangleAreaCalculation({0, 0}, {0, 3}, {4, 0}), -6);
    EXPECT_EQ(TriangleAreaCalculation({0, 0}, {1, 1}, {2, 2}), 0);
}

TEST(Geometry, IsInsideIsExactWithoutTolerance) {
    struct Case {
        double x, y;
        bool inside;
    };
    const Case cases[] = {
        {1, 1, true},  {2, 0, true}, // on an edge
        {2, 2, true},                // on the hypotenuse
        {0, 0, true},  {4, 0, true}, // corners
        {3, 3, false}, {-1, 0, false}, {2, -0.5, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isInside(0, 0, 4, 0, 0, 4, c.x, c.y), c.inside) << c.x << "," << c.y;

    // Degenerate triangle: the whole line counts, nothing off it.
    EXPECT_TRUE(isInside(0, 0, 1, 1, 2, 2, 5, 5));
    EXPECT_TRUE(isInside(0, 0, 1, 1, 2, 2, 1.5, 1.5));
    EXPECT_FALSE(isInside(0, 0, 1, 1, 2, 2, 1, 2));
}

TEST(Geometry, DistanceToSegmentClampsToTheEnds) {
    struct Case {
        TPointF pt, a, b;
        double expected;
    };
    const Case cases[] = {
        {{5, 5}, {0, 0}, {10, 0}, 5},
        {{-3, 4}, {0, 0}, {10, 0}, 5},
        {{13, 4}, {0, 0}, {10, 0}, 5},
        {{3, 4}, {0, 0}, {0, 0}, 5}, // the segment is a point
        {{310, 180}, {300, 200}, {320, 160}, 0},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(DistancePtToSegment(c.pt, c.a, c.b), c.expected);
}

} // namespace
