#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Number texts for labels and the result table. None of these look at the C locale:
// the decimal separator is always passed in, and no thousands separator is ever used.
namespace veidora {

// Shortest general form with up to 15 significant digits ("216", "51.5", "-2").
std::string formatGeneral(double value, char sep);

// Exactly `decimals` decimals, halves of the exact binary value rounded away from zero.
std::string formatDecimals(double value, int decimals, char sep);

// Two decimals ("22.00").
inline std::string formatFixed(double value, char sep) {
    return formatDecimals(value, 2, sep);
}

// Two decimals followed by "%" ("10.19%").
inline std::string formatPercent(double value, char sep) {
    return formatFixed(value, sep) + "%";
}

// Whole hundredths, as a rounded coordinate or a difference of two, in the general form.
std::string formatHundredths(std::int64_t hundredths, char sep);

// A coordinate rounded to two decimals, as whole hundredths. Halfway values (100.125) go
// away from zero. Returns nothing for values that are not finite or absurdly large.
std::optional<std::int64_t> roundToHundredths(float value);

// Reads a number written with the given decimal separator (optional sign, digits, at most one
// separator, optional exponent, surrounding blanks allowed). Nothing for any other text.
std::optional<double> parseNumber(std::string_view text, char sep);

} // namespace veidora
