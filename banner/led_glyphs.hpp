#pragma once

#include <array>
#include <cstdint>

namespace veidora::led {

inline constexpr int kGlyphWidth = 5;
inline constexpr int kGlyphHeight = 7;

// Byte r is dot row r (row 0 on top); bit 4 is the leftmost column, bit 0 the rightmost.
using Glyph = std::array<std::uint8_t, kGlyphHeight>;

// Indexed by character code. 0..31 hold symbols, 32..127 ASCII, 192..255 the Latin-1 letters;
// 138 and 154 carry Š and š at their Windows-1252 codes. Everything else is blank.
extern const std::array<Glyph, 256> kGlyphTable;

// Below 256 this is the table; above it only the Lithuanian letters have glyphs, any other
// code point gets the blank glyph.
const Glyph& glyphFor(char32_t ch);

// The banner shows capitals only. Covers ASCII, Latin-1 and the Lithuanian letters; ß and ÿ stay
// as they are because their capitals have no glyph.
char32_t toDisplayUpper(char32_t ch);

} // namespace veidora::led
