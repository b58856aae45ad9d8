#pragma once

#include <array>
#include <cstdint>

namespace lumark {

// A bitmap font of the lowercase letters and the digits, so that pictures made without a
// toolkit can carry words and block numbers. A glyph is 5 pixels wide and 9 high: ascenders
// and digits from the top row, the x-height in rows 2 to 6, descenders below.
constexpr int GlyphWidth = 5;
constexpr int GlyphHeight = 9;
constexpr int DigitHeight = 7;
constexpr int GlyphAdvance = GlyphWidth + 1;

using GlyphRows = std::array<std::uint8_t, GlyphHeight>;

// The rows of `letter`, top first, with bit 4 the leftmost pixel; all zero for a space and for
// any character the font lacks.
const GlyphRows& GlyphOf(char letter);

}  // namespace lumark
