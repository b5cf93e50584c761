#include "glyph_box.h"

#include <algorithm>

namespace glyphbake {

std::optional<GlyphBox> loadGlyph(FT_Face face, unsigned index) {
    // Embedded bitmaps are refused: the cell is always drawn from the hinted outline. A font
    // without hinting instructions is scaled as it stands; FreeType would otherwise give it to
    // its auto-hinter, which moves edges and advances that the font's own hints never move.
    constexpr FT_Int32 kLoadFlags =
        FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP | FT_LOAD_NO_AUTOHINT | FT_LOAD_TARGET_MONO;
    if (FT_Load_Glyph(face, index, kLoadFlags) != 0) return std::nullopt;
    const FT_Glyph_Metrics& metrics = face->glyph->metrics;
    return GlyphBox{.xMin = metrics.horiBearingX,
                    .yMin = metrics.horiBearingY - metrics.height,
                    .xMax = metrics.horiBearingX + metrics.width,
                    .yMax = metrics.horiBearingY,
                    .advance = metrics.horiAdvance};
}

FontBox scanFontBox(FT_Face face) {
    FontBox font;
    for (FT_Long index = 0; index < face->num_glyphs; ++index) {
        const std::optional<GlyphBox> glyph = loadGlyph(face, static_cast<unsigned>(index));
        if (!glyph) continue;
        font.widest = std::max(font.widest, glyph->xMax - glyph->xMin);
        font.tallest = std::max(font.tallest, glyph->yMax - glyph->yMin);
        font.lowestBottom = std::min(font.lowestBottom, glyph->yMin);
    }
    return font;
}

}  // namespace glyphbake
