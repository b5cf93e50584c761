#pragma once

#include <optional>

#include <ft2build.h>
#include FT_FREETYPE_H

namespace glyphbake {

// A loaded glyph's box and advance in 26.6 pixels.
struct GlyphBox {
    long xMin = 0;
    long yMin = 0;
    long xMax = 0;
    long yMax = 0;
    long advance = 0;
};

// The extremes over every glyph of the font. The lowest bottom starts at 100 (1 9/16 pixel), so
// it is never above that.
struct FontBox {
    long widest = 0;
    long tallest = 0;
    long lowestBottom = 100;
};

// Loads glyph index into the face's slot, scaled and hinted for a 1-bit result.
std::optional<GlyphBox> loadGlyph(FT_Face face, unsigned index);

// Loads every glyph of the face and keeps the extremes; glyphs that fail to load are skipped.
FontBox scanFontBox(FT_Face face);

}  // namespace glyphbake
