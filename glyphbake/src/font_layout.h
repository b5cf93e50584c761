#pragma once

#include <cstdint>

#include "glyph_box.h"
#include "glyph_table.h"

namespace glyphbake {

// What the conversion learnt about the font at the chosen size: its extremes, the glyph of every
// code and the character cell every glyph is drawn into.
struct FontLayout {
    FontBox box;
    GlyphTable table;
    int cellWidth = 0;  // widest glyph box in whole pixels
    int boxHeight = 0;  // tallest glyph box in whole pixels
    int rows = 0;       // boxHeight + extra rows

    int bytesPerRow() const { return (cellWidth + 7) / 8; }
    int cellBytes() const { return rows * bytesPerRow(); }
    int charCount() const { return table.lastChar - table.firstChar + 1; }
};

// A cell wider than a width byte can describe is refused.
inline constexpr int64_t kWidestCell = 255;
// 40 times what the reader holds; protects the disk from a mistyped point size.
inline constexpr int64_t kLargestFile = 8 * 1024 * 1024;

// Sizes the cell; throws ConversionError when it is empty or when it or the file it gives is
// beyond the limits.
FontLayout layoutFont(const FontBox& box, const GlyphTable& table, int extraRows);

}  // namespace glyphbake
