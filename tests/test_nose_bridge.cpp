// The two sides of a lit ridge in a brightness profile, as of a nose bridge.
#include "nose_bridge.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

using namespace veidora::facefit;

namespace {

// A lit ridge across a profile of 161 samples centred on 80: brightness 150 on the cheeks, `top`
// across the middle 2 x `half` samples, `left` and `right` on the side walls between; each step
// eased over a few samples.
struct Ridge {
    double half;
    double top, left, right;
    double noise = 0; // per sample

    std::vector<float> profile(std::uint32_t seed) const {
        std::vector<float> p(161);
        std::uint32_t state = seed;
        const auto ease = [](double t) { return 1 / (1 + std::exp(-t / 1.5)); };
        for (std::size_t i = 0; i < p.size(); ++i) {
            const double x = static_cast<double>(i) - 80;
            const double side = x < 0 ? left : right;
            double v = 150 + (side - 150) * ease(half + 25 - std::abs(x));
            v += (top - side) * ease(half - std::abs(x));
            double n = 0;
            for (int k = 0; k < 4; ++k) { // roughly normal
                state = state * 1664525u + 1013904223u;
                n += static_cast<double>(state >> 8) / (1u << 24) - 0.5;
            }
            p[i] = static_cast<float>(v + noise * n * std::sqrt(3.0));
        }
        return p;
    }
};

// The ridge's edges from two profiles of it with noise of their own.
std::optional<EdgePair> edgesOf(const Ridge& r) {
    return ridgeEdges(r.profile(7), r.profile(8), 80, 4, 40, 2.5);
}

TEST(RidgeEdges, FindsTheLitRidgesTwoSides) {
    const std::pair<const char*, Ridge> cases[] = {
        {"clear", {12, 175, 140, 140}},
        {"lit from one side", {15, 172, 158, 128}},
        {"noisy", {12, 175, 140, 140, 3}},
        {"faint", {20, 156, 148, 148}},
    };
    for (const auto& [what, r] : cases) {
        const auto e = edgesOf(r);
        ASSERT_TRUE(e) << what;
        EXPECT_NEAR(e->left, 80 - r.half, 1.5) << what;
        EXPECT_NEAR(e->right, 80 + r.half, 1.5) << what;
    }
}

TEST(RidgeEdges, NothingWithoutTwoOppositeEdges) {
    const std::pair<const char*, Ridge> cases[] = {
        {"flat-lit nose", {12, 150, 150, 150}},
        {"flat-lit and noisy", {12, 150, 150, 150, 3}},
        {"faint and noisy", {12, 154, 150, 150, 3}},
        {"too faint to see", {12, 151.5, 150, 150}},
        {"one side only", {12, 150, 150, 125}},
        {"shaded in the middle, not lit", {12, 120, 150, 150}},
        {"a ridge wider than a nose", {60, 175, 140, 140}},
    };
    for (const auto& [what, r] : cases) {
        const auto e = edgesOf(r);
        EXPECT_FALSE(e) << what << " at " << (e ? e->left : 0) << " " << (e ? e->right : 0);
    }
    const std::vector<float> some(161, 150.0f), fewer(160, 150.0f);
    EXPECT_FALSE(ridgeEdges({}, {}, 0, 4, 40, 2.5));
    EXPECT_FALSE(ridgeEdges(some, fewer, 80, 4, 40, 2.5));
}

} // namespace
