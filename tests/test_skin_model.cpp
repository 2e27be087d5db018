// Skin told from hair and backdrop by a model fitted to the face's own skin.
#include "skin_model.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

using namespace veidora::facefit;

namespace {

Shade rgb(double r, double g, double b) {
    return shadeOf(static_cast<float>(r), static_cast<float>(g), static_cast<float>(b));
}

TEST(SkinModel, SkinInShadeOrShineIsSkinHairAndBackdropAreNot) {
    const std::vector<Shade> samples(20, rgb(226, 184, 156));
    const auto skin = SkinModel::fit(samples);
    ASSERT_TRUE(skin);
    struct Case {
        const char* what;
        Shade colour;
        bool isSkin;
    };
    const Case cases[] = {
        {"the skin", rgb(226, 184, 156), true},
        {"in shade", rgb(226 * 0.6, 184 * 0.6, 156 * 0.6), true},
        {"redder", rgb(230, 176, 146), true},
        {"a shine: half white", rgb(240.5, 219.5, 205.5), true},
        {"deep shadow", rgb(226 * 0.35, 184 * 0.35, 156 * 0.35), false},
        {"brown hair", rgb(90, 60, 40), false},
        {"blond hair", rgb(200, 170, 110), false},
        {"grey backdrop", rgb(228, 232, 236), false},
        {"white", rgb(250, 250, 250), false},
        {"a blue hat", rgb(45, 58, 90), false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(skin->contains(c.colour), c.isSkin) << c.what;
    EXPECT_FALSE(SkinModel::fit(std::vector<Shade>(7, rgb(226, 184, 156))));
}

} // namespace
