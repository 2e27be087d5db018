#pragma once

// A polygon traced as a segmentation would: a point every pixel of its way round.

#include "profile_fit.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

inline std::vector<veidora::facefit::Point>
traced(const std::vector<veidora::facefit::Point>& corners) {
    std::vector<veidora::facefit::Point> out;
    for (std::size_t i = 0; i < corners.size(); ++i) {
        const veidora::facefit::Point a = corners[i], b = corners[(i + 1) % corners.size()];
        const int steps =
            std::max(1, static_cast<int>(std::ceil(std::hypot(b.x - a.x, b.y - a.y))));
        for (int k = 0; k < steps; ++k)
            out.push_back({a.x + (b.x - a.x) * k / steps, a.y + (b.y - a.y) * k / steps});
    }
    return out;
}
