// Where brightness falls most going down a profile: the chin's edge above its shadow.
#include "chin_edge.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

using namespace veidora::facefit;

namespace {

// `above` rows of `light`, then rows falling to `dark` over `soft` rows, then `below` rows of it.
std::vector<float> step(int above, float light, int soft, float dark, int below) {
    std::vector<float> p(static_cast<std::size_t>(above), light);
    for (int i = 1; i <= soft; ++i)
        p.push_back(light + (dark - light) * static_cast<float>(i) / static_cast<float>(soft + 1));
    p.insert(p.end(), static_cast<std::size_t>(below), dark);
    return p;
}

TEST(SteepestFall, MiddleOfTheStrongestFall) {
    std::vector<float> two = step(10, 150, 0, 120, 6); // a faint fall, then a strong one
    const std::vector<float> strong = step(0, 120, 0, 40, 10);
    two.insert(two.end(), strong.begin(), strong.end());
    struct Case {
        const char* what;
        std::vector<float> luma;
        double at;
    };
    const Case cases[] = {
        {"a sharp edge", step(12, 150, 0, 60, 12), 11.5},
        {"a soft edge", step(10, 150, 5, 60, 10), 12},
        {"the stronger of two", two, 15.5},
    };
    for (const Case& c : cases) {
        const auto at = steepestFall(c.luma, 3, 0.15f);
        ASSERT_TRUE(at) << c.what;
        EXPECT_NEAR(*at, c.at, 0.5) << c.what;
    }
}

TEST(SteepestFall, NothingWithoutAClearFall) {
    struct Case {
        const char* what;
        std::vector<float> luma;
    };
    const Case cases[] = {
        {"even", step(20, 150, 0, 150, 0)},
        {"a slight fall", step(10, 150, 0, 135, 10)},
        {"a rise", step(10, 60, 0, 150, 10)},
        {"shorter than the rows compared", step(2, 150, 0, 60, 2)},
    };
    for (const Case& c : cases)
        EXPECT_FALSE(steepestFall(c.luma, 3, 0.15f)) << c.what;
}

} // namespace
