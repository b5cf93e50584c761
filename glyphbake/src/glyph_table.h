#pragma once

#include <array>
#include <cstdint>

#include <ft2build.h>
#include FT_FREETYPE_H

namespace glyphbake {

inline constexpr int kCodeCount = 512;

// The glyph index of every character code 0 to 511 (0 = no glyph) and the range written.
struct GlyphTable {
    std::array<int32_t, kCodeCount> entries{};
    int firstChar = 0;
    int lastChar = 0;
};

struct CharacterMaps {
    FT_CharMap unicode = nullptr;
    FT_CharMap roman = nullptr;
};

// The last Unicode (3, 1) and the last Roman (1, 0) map of the face, in the font's order.
CharacterMaps findCharacterMaps(FT_Face face);

// Fills the table through the Unicode map, fixes the range, and then gives the codes 128 to 159
// the glyphs of printable characters through the Unicode map and, when there is one, the Roman
// map. Leaves the Unicode map selected.
GlyphTable buildGlyphTable(FT_Face face, const CharacterMaps& maps);

}  // namespace glyphbake
