#include "led_glyphs.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <iomanip>
#include <map>
#include <sstream>
#include <string>

namespace veidora::led {
namespace {

bool isBlank(const Glyph& glyph) {
    return std::ranges::all_of(glyph, [](std::uint8_t row) { return row == 0; });
}

std::string codePoint(char32_t ch) {
    std::ostringstream out;
    out << "U+" << std::uppercase << std::hex << std::setw(4) << std::setfill('0')
        << static_cast<std::uint32_t>(ch);
    return out.str();
}

bool hasGlyph(unsigned code) {
    return code < 32 || (code >= 33 && code <= 127) || code == 138 || code == 154 ||
           (code >= 192 && code <= 255 && code != 247);
}

struct FixedGlyph {
    char ch;
    Glyph rows;
};

// The banner's look was agreed on these; they must not drift.
const FixedGlyph kFixedGlyphs[] = {
    {'A', {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'B', {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E}},
    {'C', {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}},
    {'D', {0x1E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x1E}},
    {'E', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F}},
    {'F', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10}},
    {'G', {0x0E, 0x11, 0x10, 0x10, 0x13, 0x11, 0x0F}},
    {'H', {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'I', {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'J', {0x01, 0x01, 0x01, 0x01, 0x01, 0x11, 0x0E}},
    {'K', {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11}},
    {'L', {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F}},
    {'M', {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11}},
    {'N', {0x11, 0x11, 0x19, 0x15, 0x13, 0x11, 0x11}},
    {'O', {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}},
    {'P', {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}},
    {'Q', {0x0E, 0x11, 0x11, 0x11, 0x15, 0x12, 0x0D}},
    {'R', {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11}},
    {'S', {0x0E, 0x11, 0x10, 0x0E, 0x01, 0x11, 0x0E}},
    {'T', {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04}},
    {'U', {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}},
    {'V', {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04}},
    {'W', {0x11, 0x11, 0x11, 0x15, 0x15, 0x1B, 0x11}},
    {'X', {0x11, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x11}},
    {'Y', {0x11, 0x11, 0x0A, 0x04, 0x04, 0x04, 0x04}},
    {'Z', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x10, 0x1F}},
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}},
    {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x06, 0x08, 0x10, 0x1F}},
    {'3', {0x0E, 0x11, 0x01, 0x06, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}},
    {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}},
    {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}},
    {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {'-', {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00}},
    {'.', {0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C, 0x00}},
};

struct AccentedLetter {
    char32_t letter;
    char32_t base;
};

const AccentedLetter kLithuanianCapitals[] = {
    {U'Ą', U'A'}, {U'Č', U'C'}, {U'Ę', U'E'}, {U'Ė', U'E'}, {U'Į', U'I'},
    {U'Š', U'S'}, {U'Ų', U'U'}, {U'Ū', U'U'}, {U'Ž', U'Z'},
};

TEST(LedGlyphTable, FixedGlyphsMatchByteForByte) {
    for (const auto& [ch, rows] : kFixedGlyphs) {
        SCOPED_TRACE(std::string(1, ch));
        EXPECT_EQ(kGlyphTable[static_cast<unsigned char>(ch)], rows);
        EXPECT_EQ(glyphFor(static_cast<char32_t>(ch)), rows);
    }
}

TEST(LedGlyphTable, ExactlyTheAssignedCodesHaveDots) {
    for (unsigned code = 0; code < kGlyphTable.size(); ++code) {
        EXPECT_EQ(!isBlank(kGlyphTable[code]), hasGlyph(code)) << "code " << code;
        EXPECT_EQ(glyphFor(code), kGlyphTable[code]) << "code " << code;
    }
}

TEST(LedGlyphTable, DotsStayWithinFiveColumns) {
    auto check = [](const Glyph& glyph, const std::string& where) {
        for (std::size_t row = 0; row < glyph.size(); ++row) {
            EXPECT_EQ(glyph[row] & ~0x1Fu, 0u) << where << " row " << row;
        }
    };
    for (unsigned code = 0; code < kGlyphTable.size(); ++code) {
        check(kGlyphTable[code], "code " + std::to_string(code));
    }
    for (char32_t ch = 0x100; ch < 0x180; ++ch) {
        check(glyphFor(ch), codePoint(ch));
    }
}

// Two identical glyphs in the table almost always mean one was pasted over another.
TEST(LedGlyphTable, NoTwoCodesShareAGlyph) {
    std::map<Glyph, unsigned> firstCodeFor;
    for (unsigned code = 0; code < kGlyphTable.size(); ++code) {
        if (isBlank(kGlyphTable[code])) {
            continue;
        }
        const auto [it, inserted] = firstCodeFor.emplace(kGlyphTable[code], code);
        EXPECT_TRUE(inserted) << "code " << code << " looks like code " << it->second;
    }
}

TEST(LedGlyphTable, SmallLettersDifferFromCapitals) {
    for (unsigned small = 'a'; small <= 'z'; ++small) {
        EXPECT_NE(kGlyphTable[small], kGlyphTable[small - 0x20]) << static_cast<char>(small);
    }
    for (unsigned small = 0xE0; small <= 0xFE; ++small) {
        if (small != 0xF7) {
            EXPECT_NE(kGlyphTable[small], kGlyphTable[small - 0x20]) << "code " << small;
        }
    }
}

TEST(LedGlyphTable, LithuanianCapitalsHaveTheirOwnGlyphs) {
    for (const auto& [letter, base] : kLithuanianCapitals) {
        SCOPED_TRACE(codePoint(letter));
        EXPECT_FALSE(isBlank(glyphFor(letter)));
        EXPECT_NE(glyphFor(letter), glyphFor(base));
        for (const auto& other : kLithuanianCapitals) {
            if (other.letter != letter) {
                EXPECT_NE(glyphFor(letter), glyphFor(other.letter)) << codePoint(other.letter);
            }
        }
    }
    // Text arriving as Windows-1252 must look the same as text arriving as Unicode.
    EXPECT_EQ(glyphFor(U'Š'), kGlyphTable[138]);
}

TEST(LedGlyphTable, CodePointsWithoutAGlyphAreBlank) {
    for (char32_t ch : {U'\u0100', U'\u0106', U'\u0178', U'\u0410', U'\u4E00', U'\U0001F600',
                        U'\U0010FFFF', char32_t{0x110000}}) {
        EXPECT_TRUE(isBlank(glyphFor(ch))) << codePoint(ch);
    }
}

TEST(LedDisplayUpper, MapsSmallLettersToCapitals) {
    struct Case {
        char32_t in;
        char32_t out;
    };
    const Case cases[] = {
        {U'a', U'A'}, {U'z', U'Z'}, {U'A', U'A'}, {U'`', U'`'},           {U'{', U'{'},
        {U'7', U'7'}, {U'à', U'À'}, {U'ö', U'Ö'}, {U'þ', U'Þ'},           {U'÷', U'÷'},
        {U'×', U'×'}, {U'ß', U'ß'}, {U'ÿ', U'ÿ'}, {U'µ', U'µ'},           {U'ą', U'Ą'},
        {U'č', U'Č'}, {U'ę', U'Ę'}, {U'ė', U'Ė'}, {U'į', U'Į'},           {U'š', U'Š'},
        {U'ų', U'Ų'}, {U'ū', U'Ū'}, {U'ž', U'Ž'}, {U'Ą', U'Ą'},           {U'Ž', U'Ž'},
        {U'ā', U'ā'}, {U'ć', U'ć'}, {U'я', U'я'}, {U'\u4E00', U'\u4E00'},
    };
    for (const auto& [in, out] : cases) {
        EXPECT_EQ(codePoint(toDisplayUpper(in)), codePoint(out)) << "for " << codePoint(in);
    }
}

// The banner upper-cases before drawing, so a visible letter must never turn into a gap.
TEST(LedDisplayUpper, NeverTurnsAVisibleCharacterBlank) {
    for (char32_t ch = 0; ch < 0x180; ++ch) {
        if (!isBlank(glyphFor(ch))) {
            EXPECT_FALSE(isBlank(glyphFor(toDisplayUpper(ch)))) << codePoint(ch);
        }
    }
}

} // namespace
} // namespace veidora::led
