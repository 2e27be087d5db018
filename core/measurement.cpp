#include "measurement.hpp"

#include "number_format.hpp"

#include <cmath>

namespace veidora {

namespace {
// Far beyond any screen, and small enough that hundredths × 100 stays exact in a double.
constexpr float kMaxCoordinate = 1e9f;
} // namespace

std::optional<std::vector<RoundedPoint>> roundAll(std::span<const TPointF> points) {
    std::vector<RoundedPoint> out;
    out.reserve(points.size());
    for (const auto& p : points) {
        if (!(std::fabs(p.X) <= kMaxCoordinate) || !(std::fabs(p.Y) <= kMaxCoordinate))
            return std::nullopt;
        out.push_back({*roundToHundredths(p.X), *roundToHundredths(p.Y)});
    }
    return out;
}

double percentOfHundredths(std::int64_t difference, std::int64_t headHeight) {
    // Both integers are below 2^53, so the double division is the correctly rounded quotient.
    return static_cast<double>(difference * 100) / static_cast<double>(headHeight);
}

double percentOfValue(double value, std::int64_t headHeight) {
    // value × 100 is exact in long double; the head height is in hundredths, hence the second 100.
    const long double product = static_cast<long double>(value) * 100.0L;
    return static_cast<double>(product * 100.0L / static_cast<long double>(headHeight));
}

} // namespace veidora
