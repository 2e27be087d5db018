#pragma once

#include "types.hpp"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace veidora {

// One page's measurement: either an error the caller shows (then no text and no code is
// given), or the text of every figure, indexed by the page's Figure enumeration (which ends
// with Count), and the page's codes.
template <class Figure, class Codes> struct Measurement {
    static constexpr std::size_t kFigures = static_cast<std::size_t>(Figure::Count);

    std::string error;
    std::array<std::string, kFigures> texts{};
    Codes codes{};

    bool ok() const { return error.empty(); }
    const std::string& text(Figure f) const { return texts[static_cast<std::size_t>(f)]; }
    void set(Figure f, std::string text) { texts[static_cast<std::size_t>(f)] = std::move(text); }
};

// A label of a page: its object name, the text it starts with, and its place on the page.
struct LabelPlace {
    const char* name;
    const char* text;
    int x, y, width;
};

// Where a figure is shown: its value label, and the caption label of the row it stands in.
template <class Figure> struct FigureLabel {
    Figure figure;
    LabelPlace label;
    const char* caption; // a caption label's name
};

// True when every figure of the enumeration has exactly one row.
template <class Figure>
constexpr bool coversEveryFigureOnce(std::span<const FigureLabel<Figure>> t) {
    std::array<int, static_cast<std::size_t>(Figure::Count)> rows{};
    for (const auto& row : t) {
        const auto f = static_cast<std::size_t>(row.figure);
        if (f >= rows.size())
            return false;
        ++rows[f];
    }
    for (int n : rows)
        if (n != 1)
            return false;
    return true;
}

// A class word and its code.
struct Grade {
    std::string_view word;
    double code;

    friend bool operator==(const Grade&, const Grade&) = default;
};

// The three-step ladder of a percentage: below `low` the first word and code 1, below `high`
// the second and 2, else the third and 3; a figure exactly on a threshold belongs to the upper
// class. Compared in the figure's and the thresholds' own types, as given.
template <class V, class T>
Grade grade(V value, T low, T high, const std::array<std::string_view, 3>& words) {
    if (value < low)
        return {words[0], 1};
    if (value < high)
        return {words[1], 2};
    return {words[2], 3};
}

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
