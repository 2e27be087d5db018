#include "number_format.hpp"

#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <system_error>

namespace veidora {

namespace {

void replaceDecimalPoint(std::string& text, char sep) {
    if (sep == '.')
        return;
    for (char& c : text)
        if (c == '.')
            c = sep;
}

std::string nonFinite(double value) {
    if (std::isnan(value))
        return "NaN";
    return value < 0 ? "-INF" : "INF";
}

} // namespace

std::string formatGeneral(double value, char sep) {
    if (!std::isfinite(value))
        return nonFinite(value);
    if (value == 0)
        value = 0; // no "-0"
    std::array<char, 64> buf{};
    auto res =
        std::to_chars(buf.data(), buf.data() + buf.size(), value, std::chars_format::general, 15);
    std::string text(buf.data(), res.ptr);
    replaceDecimalPoint(text, sep);
    return text;
}

std::string formatDecimals(double value, int decimals, char sep) {
    if (!std::isfinite(value))
        return nonFinite(value);
    if (decimals < 0)
        decimals = 0;
    // 40 exact decimals leave every double of a useful size far from a spurious tie, so the
    // rounding below sees the true digits of the binary value.
    std::array<char, 512> buf{};
    auto res = std::to_chars(buf.data(), buf.data() + buf.size(), std::fabs(value),
                             std::chars_format::fixed, 40);
    if (res.ec != std::errc{})
        return nonFinite(std::nan(""));
    std::string digits(buf.data(), res.ptr);
    const auto point = digits.find('.');
    std::string whole = digits.substr(0, point);
    std::string frac = digits.substr(point + 1);
    const bool roundUp = frac[static_cast<std::size_t>(decimals)] >= '5';
    std::string kept = whole + frac.substr(0, static_cast<std::size_t>(decimals));
    if (roundUp) {
        int i = static_cast<int>(kept.size()) - 1;
        for (; i >= 0; --i) {
            if (kept[static_cast<std::size_t>(i)] == '9') {
                kept[static_cast<std::size_t>(i)] = '0';
            } else {
                ++kept[static_cast<std::size_t>(i)];
                break;
            }
        }
        if (i < 0)
            kept.insert(kept.begin(), '1');
    }
    const std::size_t wholeLen = kept.size() - static_cast<std::size_t>(decimals);
    std::string text = kept.substr(0, wholeLen);
    if (decimals > 0) {
        text += sep;
        text += kept.substr(wholeLen);
    }
    const bool zero = kept.find_first_not_of('0') == std::string::npos;
    if (value < 0 && !zero)
        text.insert(text.begin(), '-');
    return text;
}

std::string formatHundredths(std::int64_t hundredths, char sep) {
    // Integer division keeps the text exact ("5.01", never "5.00999999999999").
    const bool negative = hundredths < 0;
    const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(hundredths)
                                             : static_cast<std::uint64_t>(hundredths);
    std::string text = std::to_string(magnitude / 100);
    const auto cents = magnitude % 100;
    if (cents != 0) {
        text += sep;
        text += static_cast<char>('0' + cents / 10);
        if (cents % 10 != 0)
            text += static_cast<char>('0' + cents % 10);
    }
    if (negative)
        text.insert(text.begin(), '-');
    return text;
}

std::optional<std::int64_t> roundToHundredths(float value) {
    if (!std::isfinite(value) || std::fabs(value) > 1e15f)
        return std::nullopt;
    // A float times 100 fits the 64-bit mantissa of long double exactly, so llroundl sees the
    // true value and rounds its halves away from zero.
    return static_cast<std::int64_t>(std::llroundl(static_cast<long double>(value) * 100.0L));
}

std::optional<double> parseNumber(std::string_view text, char sep) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    if (text.empty() || text.size() > 64)
        return std::nullopt;
    std::string normal;
    normal.reserve(text.size());
    bool seenPoint = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == sep) {
            if (seenPoint)
                return std::nullopt;
            seenPoint = true;
            normal += '.';
        } else if (c == '.' && sep != '.') {
            return std::nullopt; // a foreign separator is not a number in this locale
        } else {
            normal += c;
        }
    }
    const char* first = normal.data();
    const char* last = normal.data() + normal.size();
    if (*first == '+' || *first == '-')
        ++first;
    if (first == last || !(std::isdigit(static_cast<unsigned char>(*first)) || *first == '.'))
        return std::nullopt;
    if (normal.front() == '-')
        --first; // from_chars reads the minus itself
    double value = 0;
    auto res = std::from_chars(first, last, value, std::chars_format::general);
    if (res.ec != std::errc{} || res.ptr != last || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace veidora
