// Where the forehead's skin ends going up a column of rows.
#include "hairline.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <optional>
#include <vector>

using namespace veidora::facefit;

namespace {

// `skin` rows of skin, then `hair` rows of hair; shares as a row of cells would give them.
std::vector<float> profile(int skin, int hair, float skinShare = 1, float hairShare = 0) {
    std::vector<float> p(static_cast<std::size_t>(skin), skinShare);
    p.insert(p.end(), static_cast<std::size_t>(hair), hairShare);
    return p;
}

TEST(SkinEnd, FindsWhereSkinGivesWayForGood) {
    constexpr int run = 10;
    std::vector<float> noisy = profile(40, 30);
    std::uint32_t state = 99;
    for (float& f : noisy) { // a few cells of each row misjudged
        state = state * 1664525u + 1013904223u;
        f = std::abs(f - static_cast<float>(state >> 24) / 255 * 0.35f);
    }
    std::vector<float> shadow = profile(40, 30);
    std::fill_n(shadow.begin() + 15, 6, 0.1f); // a band of shade shorter than a run
    std::vector<float> fringe = profile(40, 30);
    fringe[39] = fringe[41] = 0.5f; // a ragged edge over three rows

    struct Case {
        const char* what;
        std::vector<float> skin;
        double end;
    };
    const Case cases[] = {
        {"clean", profile(40, 30), 39.5},
        {"misjudged cells", noisy, 39.5},
        {"a shadow band", shadow, 39.5},
        {"a ragged fringe", fringe, 39.5},
        {"half skin, then hair", profile(40, 30, 0.7f, 0.2f), 39.5},
    };
    for (const Case& c : cases) {
        const auto end = skinEnd(c.skin, run);
        ASSERT_TRUE(end) << c.what;
        EXPECT_NEAR(*end, c.end, 1.0) << c.what;
    }
}

TEST(SkinEnd, NothingWhereTheSkinDoesNotEndForGood) {
    constexpr int run = 10;
    std::vector<float> band = profile(40, 6);
    band.insert(band.end(), 30, 1.0f); // shade, then skin again to the end
    struct Case {
        const char* what;
        std::vector<float> skin;
    };
    const Case cases[] = {
        {"skin to the end (bald)", profile(80, 0)},
        {"hair from the start (hair to the brows)", profile(0, 80)},
        {"a band, then skin to the end", band},
        {"the picture ends before a run of hair", profile(40, run - 1)},
        {"empty", {}},
    };
    for (const Case& c : cases)
        EXPECT_FALSE(skinEnd(c.skin, run)) << c.what;
}

// A hairline traced every `step` from the midline (x = 0) outwards: level at `top` out to
// `flat`, then falling at `slope` down to the temple at `out`.
std::vector<Point> traced(double top, double flat, double slope, double out, double step = 0.03) {
    std::vector<Point> t;
    for (double x = 0; x <= out + 1e-9; x += step)
        t.push_back({x, top + std::max(0.0, x - flat) * slope});
    return t;
}

TEST(CornerOf, HalfWayAlongTheHairlineToTheTemple) {
    constexpr double arc = 0.85, cell = 1.0 / 64;
    const auto atArc = [](double flat, double slope) { // the point 0.85 along the unbroken line
        const double beyond = (arc - flat) / std::hypot(1.0, slope);
        return Point{flat + beyond, -1 + beyond * slope};
    };
    std::vector<Point> jitter = traced(-1, 0.5, 1, 1.1);
    std::uint32_t state = 7;
    for (Point& p : jitter) { // up to two cells up or down from column to column
        state = state * 1664525u + 1013904223u;
        p.y += static_cast<double>(static_cast<int>(state >> 29) - 4) / 2 * cell;
    }
    std::vector<Point> waves = traced(-1, 0.5, 1, 1.1);
    for (Point& p : waves) // curls a fifth of an eye distance apart, four cells deep
        p.y += 4 * cell * std::sin(2 * std::numbers::pi * p.x / 0.2);
    std::vector<Point> curl = traced(-1, 0.5, 1, 1.1);
    curl[12].y -= 0.3; // one column read up in a curl
    std::vector<Point> gap = traced(-1, 0.5, 1, 1.1);
    gap.erase(gap.begin() + 8, gap.begin() + 12); // columns that showed no step
    struct Case {
        const char* what;
        std::vector<Point> line;
        Point corner;
        double tolerance;
        double depth = 0; // how far the line's own curls move it up or down
    };
    const Case cases[] = {
        {"a level top turning down at 45 degrees", traced(-1, 0.5, 1, 1.1), atArc(0.5, 1), 0.02},
        {"a round top turning down late", traced(-1, 0.75, 2, 1.1), atArc(0.75, 2), 0.02},
        {"a level line out to the temple", traced(-1, 2, 0, 1.1), {0.85, -1}, 0.02},
        {"a cell's jitter does not lengthen it", jitter, atArc(0.5, 1), 0.03},
        {"curls along the edge do not lengthen it", waves, atArc(0.5, 1), 0.035, 4 * cell},
        {"one column in a curl", curl, atArc(0.5, 1), 0.04},
        {"a few columns without a step", gap, atArc(0.5, 1), 0.03},
    };
    for (const Case& c : cases) {
        const std::optional<Point> p = cornerOf(c.line, arc);
        ASSERT_TRUE(p) << c.what;
        EXPECT_NEAR(p->x, c.corner.x, c.tolerance) << c.what;
        EXPECT_NEAR(p->y, c.corner.y, c.tolerance + c.depth) << c.what;
    }
}

TEST(CornerOf, NoneWhereTheTraceEndsFirst) {
    const std::pair<const char*, std::vector<Point>> cases[] = {
        {"hair down to the brows half way out", traced(-1, 2, 0, 0.6)},
        {"one column", traced(-1, 2, 0, 0)},
        {"nothing traced", {}},
    };
    for (const auto& [what, line] : cases)
        EXPECT_FALSE(cornerOf(line, 0.85)) << what;
}

} // namespace
