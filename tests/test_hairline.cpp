// Where the forehead's skin ends going up a column of rows.
#include "hairline.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
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

// A hairline traced in columns 0.03 apart from 0.3 to 1.2 out: level at -1 out to `turn`, then
// falling along a quarter circle of radius `round` to the temple, where hair covers the columns.
std::vector<TracedColumn> rounded(double turn, double round) {
    std::vector<TracedColumn> t;
    for (int i = 0; i <= 30; ++i) {
        const double x = 0.3 + 0.03 * i, past = x - turn;
        if (past >= round * 0.999) {
            t.push_back({x, std::nullopt, true});
            continue;
        }
        const double y = past <= 0 ? -1 : -1 + round - std::sqrt(round * round - past * past);
        t.push_back({x, y, false});
    }
    return t;
}

// Where a circle's slope reaches 45 degrees: half its radius times the square root of two past
// the turn.
double fortyFive(double turn, double round) {
    return turn + round * std::sqrt(0.5);
}

TEST(HairlineCorner, WalksInFromTheGuessToWhereTheTopEdgeStillRunsLevel) {
    constexpr double step = 0.03;
    struct Case {
        const char* what;
        std::vector<TracedColumn> traced;
        double guess;
        double corner; // x
    };
    std::vector<TracedColumn> gaps = rounded(0.55, 0.3);
    gaps[8].y.reset(); // a column or two that show no edge are stepped over
    gaps[12].y.reset();
    const Case cases[] = {
        {"the guess on the level top stays", rounded(0.8, 0.3), 0.65, 0.65},
        {"the guess on the descent walks in to the turn", rounded(0.45, 0.4), 0.83,
         fortyFive(0.45, 0.4)},
        {"the guess under the temples' hair: the first edge inwards", rounded(0.6, 0.05), 0.8,
         0.63},
        {"columns without an edge on the way", gaps, 0.8, fortyFive(0.55, 0.3)},
    };
    for (const Case& c : cases) {
        const auto at = hairlineCorner(c.traced, step, c.guess);
        ASSERT_TRUE(at) << c.what;
        EXPECT_NEAR(at->x, c.corner, 1.5 * step) << c.what;
        for (const TracedColumn& t : c.traced) { // on the traced edge itself
            if (std::abs(t.x - at->x) < 1e-9) {
                EXPECT_EQ(t.y, at->y) << c.what;
            }
        }
    }
}

TEST(HairlineCorner, NothingWhereTheCornerCannotBeSeen) {
    constexpr double step = 0.03;
    std::vector<TracedColumn> blind = rounded(0.55, 0.3);
    for (std::size_t i = 10; i < 16; ++i)
        blind[i].y.reset(); // a stretch that shows no edge
    std::vector<TracedColumn> erratic = rounded(0.8, 0.3);
    for (std::size_t i = 0; i < erratic.size(); i += 2)
        erratic[i].y.reset(); // every other column: too few to tell the edge's run
    const std::pair<const char*, std::vector<TracedColumn>> cases[] = {
        {"a lock swept down from 0.25 out", rounded(0.25, 0.3)},
        {"a lock turning down 0.54 out, inside any forehead's corner", rounded(0.4, 0.2)},
        {"hair down past the columns from 0.45 out", rounded(0.45, 0.01)},
        {"a stretch of columns without an edge", blind},
        {"an edge seen in every other column", erratic},
        {"nothing traced", {}},
    };
    for (const auto& [what, traced] : cases)
        EXPECT_FALSE(hairlineCorner(traced, step, 0.8)) << what;
}

} // namespace
