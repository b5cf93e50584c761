#include "glyph_table.h"

#include <utility>

#include FT_TRUETYPE_IDS_H

namespace glyphbake {
namespace {

// Code -> Unicode code point whose glyph it shows.
constexpr std::pair<int, FT_ULong> kUnicodeSubstitutes[] = {
    {130, 44}, {138, 95}, {152, 126}, {154, 95}};

// Code -> Roman character code whose glyph it shows.
constexpr std::pair<int, FT_ULong> kRomanSubstitutes[] = {
    {131, 196}, {132, 211}, {133, 201}, {134, 160}, {135, 224}, {136, 246}, {137, 228},
    {139, 220}, {140, 206}, {145, 212}, {146, 213}, {147, 210}, {148, 211}, {149, 165},
    {150, 208}, {151, 209}, {153, 170}, {155, 221}, {156, 207}, {159, 217}};

int32_t glyphOf(FT_Face face, FT_ULong code) {
    const FT_UInt index = FT_Get_Char_Index(face, code);
    return index >= 1 ? static_cast<int32_t>(index) : 0;
}

}  // namespace

CharacterMaps findCharacterMaps(FT_Face face) {
    CharacterMaps maps;
    for (FT_Int i = 0; i < face->num_charmaps; ++i) {
        FT_CharMap map = face->charmaps[i];
        if (map->platform_id == TT_PLATFORM_MICROSOFT && map->encoding_id == TT_MS_ID_UNICODE_CS) {
            maps.unicode = map;
        } else if (map->platform_id == TT_PLATFORM_MACINTOSH &&
                   map->encoding_id == TT_MAC_ID_ROMAN) {
            maps.roman = map;
        }
    }
    return maps;
}

GlyphTable buildGlyphTable(FT_Face face, const CharacterMaps& maps) {
    GlyphTable table;
    FT_Set_Charmap(face, maps.unicode);
    for (int code = 0; code < kCodeCount; ++code) {
        table.entries[code] = glyphOf(face, code);
    }
    // A glyph at code 0 never opens the range.
    for (int code = 1; code < kCodeCount; ++code) {
        if (table.entries[code] != 0) {
            table.firstChar = code;
            break;
        }
    }
    for (int code = kCodeCount - 1; code >= 0; --code) {
        if (table.entries[code] != 0) {
            table.lastChar = code;
            break;
        }
    }

    for (const auto& [code, unicode] : kUnicodeSubstitutes) {
        table.entries[code] = glyphOf(face, unicode);
    }
    if (maps.roman != nullptr && FT_Set_Charmap(face, maps.roman) == 0) {
        for (const auto& [code, roman] : kRomanSubstitutes) {
            table.entries[code] = glyphOf(face, roman);
        }
        FT_Set_Charmap(face, maps.unicode);
    }
    return table;
}

}  // namespace glyphbake
