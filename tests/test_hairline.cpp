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

} // namespace
