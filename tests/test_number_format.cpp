#include "number_format.hpp"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>

using namespace veidora;

namespace {

struct DecimalsCase {
    double value;
    int decimals;
    const char* expected;
};

TEST(NumberFormat, DecimalsRoundHalvesOfTheBinaryValueAwayFromZero) {
    // 1e300 is not a whole power of ten in binary: its exact digits, with no exponent.
    const std::string huge =
        "1000000000000000052504760255204420248704468581108159154915854115511802"
        "4579889081957863713750804478640437044438328838781769425232353604305756"
        "4479218478670698284838720092657580373783023379478809005936895323497079"
        "9945081119038967640880074652742780142494579258788820056842838115669472"
        "196386865459400540160.00";
    const DecimalsCase cases[] = {
        {56.375, 2, "56.38"},
        {50.125, 2, "50.13"},
        {-56.375, 2, "-56.38"},
        {6.25, 2, "6.25"},
        {100, 2, "100.00"},
        {108.75, 2, "108.75"},
        {2.675, 2, "2.67"}, // the double lies below the half
        {0.005, 2, "0.01"}, // the double lies above the half
        {1.005, 2, "1.00"},
        {99.996, 2, "100.00"},
        {9.999, 2, "10.00"},
        {0.004, 2, "0.00"},
        {-0.004, 2, "0.00"},
        {-0.0, 2, "0.00"},
        {2.5, 0, "3"},
        {-2.5, 0, "-3"},
        {1.4999, 0, "1"},
        {75.25, 0, "75"},
        {123456789.125, 2, "123456789.13"},
        {1e300, 2, huge.c_str()},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatDecimals(c.value, c.decimals, '.'), c.expected) << c.value;
}

TEST(NumberFormat, EveryStyleUsesTheGivenSeparatorAndNoGrouping) {
    EXPECT_EQ(formatFixed(1234567.5, ','), "1234567,50");
    EXPECT_EQ(formatPercent(10.1851, ','), "10,19%");
    EXPECT_EQ(formatPercent(-1.2121, '.'), "-1.21%");
    EXPECT_EQ(formatGeneral(56.375, ','), "56,375");
    EXPECT_EQ(formatGeneral(1234567.25, ','), "1234567,25");
    EXPECT_EQ(formatHundredths(-223, ','), "-2,23");
}

TEST(NumberFormat, GeneralIsTheShortestFormUpTo15Digits) {
    const std::pair<double, const char*> cases[] = {
        {216, "216"},       {51.5, "51.5"},
        {-2, "-2"},         {6.25, "6.25"},
        {100, "100"},       {56.375, "56.375"},
        {0.1 + 0.2, "0.3"}, {-0.0, "0"},
        {2.625, "2.625"},   {1.0 / 3, "0.333333333333333"},
    };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(formatGeneral(value, '.'), text) << value;
    EXPECT_EQ(formatGeneral(std::numeric_limits<double>::quiet_NaN(), '.'), "NaN");
}

TEST(NumberFormat, HundredthsPrintExactly) {
    const std::pair<long long, const char*> cases[] = {
        {501, "5.01"}, {500, "5"},    {2230, "22.3"},    {-223, "-2.23"},
        {0, "0"},      {-5, "-0.05"}, {23587, "235.87"}, {-250, "-2.5"},
    };
    for (const auto& [h, text] : cases)
        EXPECT_EQ(formatHundredths(h, '.'), text) << h;
}

TEST(NumberFormat, CoordinatesRoundToHundredthsOfTheirExactValue) {
    const std::pair<float, long long> cases[] = {
        {100.004f, 10000}, {100.006f, 10001}, {100.125f, 10013}, {-100.125f, -10013},
        {100.375f, 10038}, {420.f, 42000},    {0.005f, 0}, // 0.005f is just below the half
        {561.f, 56100},    {-0.004f, 0},
    };
    for (const auto& [v, h] : cases)
        EXPECT_EQ(roundToHundredths(v), h) << v;
    EXPECT_FALSE(roundToHundredths(std::numeric_limits<float>::quiet_NaN()));
    EXPECT_FALSE(roundToHundredths(std::numeric_limits<float>::infinity()));
}

TEST(NumberFormat, ParseReadsOnlyNumbersOfTheGivenLocale) {
    struct Case {
        const char* text;
        char sep;
        std::optional<double> expected;
    };
    const Case cases[] = {
        {"56.375", '.', 56.375},
        {"56,375", ',', 56.375},
        {"56.375", ',', std::nullopt},
        {" 7 ", '.', 7},
        {"-3,5", ',', -3.5},
        {"+2", '.', 2},
        {"1,2,3", ',', std::nullopt},
        {"", '.', std::nullopt},
        {"Keldaro", '.', std::nullopt},
        {"inf", '.', std::nullopt},
        {"nan", '.', std::nullopt},
        {"1 000", '.', std::nullopt},
        {"+-2", '.', std::nullopt},
        {"-", '.', std::nullopt},
        {"12abc", '.', std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseNumber(c.text, c.sep), c.expected) << c.text;
}

// Under a Qt application LC_NUMERIC follows the user's locale; the texts must not.
TEST(NumberFormat, IgnoresTheProcessLocale) {
    if (!std::setlocale(LC_ALL, "lt_LT.UTF-8"))
        GTEST_SKIP() << "lt_LT.UTF-8 locale not installed";
    EXPECT_EQ(formatFixed(56.375, '.'), "56.38");
    EXPECT_EQ(formatGeneral(56.375, '.'), "56.375");
    EXPECT_EQ(parseNumber("56.38", '.'), 56.38);
    EXPECT_EQ(formatPercent(10.1851, ','), "10,19%");
    std::setlocale(LC_ALL, "C");
}

} // namespace
