#pragma once

#include "types.hpp"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace veidora {

struct LabelText {
    std::string label; // control name, e.g. "Label33"
    std::string text;

    friend bool operator==(const LabelText&, const LabelText&) = default;
};

// The outcome of one page's measurement: either an error the caller shows (then no label
// text and no code is given), or every label text in the order written, and the codes.
template <class Codes> struct MeasurementResult {
    std::string error;
    std::vector<LabelText> labels;
    Codes codes{};

    bool ok() const { return error.empty(); }

    const std::string* text(std::string_view label) const {
        for (const auto& l : labels)
            if (l.label == label)
                return &l.text;
        return nullptr;
    }
};

// Landmark coordinates rounded to whole hundredths once; every formula works on these, so a
// difference of two of them is exact.
struct RoundedPoint {
    std::int64_t x = 0;
    std::int64_t y = 0;
    double X() const { return static_cast<double>(x) / 100.0; }
    double Y() const { return static_cast<double>(y) / 100.0; }
};

// Nothing when a coordinate is not a usable number.
std::optional<std::vector<RoundedPoint>> roundAll(std::span<const TPointF> points);

// difference × 100 ÷ head height, both in hundredths: the exact quotient rounded once to a
// double, so exact percentages (72, 2.7 ...) stay exact.
double percentOfHundredths(std::int64_t difference, std::int64_t headHeight);

// value × 100 ÷ head height for a figure that is not a whole number of hundredths; the
// multiplication is done first, in extended precision.
double percentOfValue(double value, std::int64_t headHeight);

inline constexpr const char* kBadCoordinateMessage =
    "Matavimas negalimas: bent vieno taško koordinatės netinkamos.";

} // namespace veidora
