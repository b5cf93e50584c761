#include "conversion_report.h"

#include <cstdio>
#include <optional>
#include <string>

#include "name_records.h"

namespace glyphbake {
namespace {

constexpr const char* kRule = "-----------------------------------------------";

void printNames(FT_Face face) {
    std::printf("%s\n", kRule);
    if (std::optional<std::string> name = findFontName(face, kNameFullName)) {
        std::printf("%s - ", name->c_str());
    }
    if (std::optional<std::string> version = findFontName(face, kNameVersion)) {
        std::printf("%s\n\n", version->c_str());
    }
    if (std::optional<std::string> notice = findFontName(face, kNameCopyright)) {
        std::printf("%s\n\n", notice->c_str());
    }
    if (std::optional<std::string> trademark = findFontName(face, kNameTrademark)) {
        std::printf("%s", trademark->c_str());
    }
    std::printf("\n%s\n\n", kRule);
}

// Every byte of a row shows all eight of its pixels, also those right of the cell width.
void printDrawing(const CellRaster& drawing) {
    const int pixelsPerRow = drawing.bytesPerRow() * 8;
    std::string line;
    for (int row = 0; row < drawing.rows(); ++row) {
        line.clear();
        for (int x = 0; x < pixelsPerRow; ++x) line.push_back(drawing.ink(x, row) ? '*' : '.');
        std::printf("%s\n", line.c_str());
    }
}

}  // namespace

void printConversionReport(FT_Face face, const FontLayout& layout, const GlyphBox& sample,
                           const CellRaster& sampleDrawing) {
    std::printf("glyphbake Version 1.3.5\n");
    printNames(face);
    for (FT_Int i = 0; i < face->num_charmaps; ++i) {
        std::printf("CharMap: %i  Platform %i  Encoding %i\n", i, face->charmaps[i]->platform_id,
                    face->charmaps[i]->encoding_id);
    }
    std::printf("First char: %i  Last char: %i\n", layout.table.firstChar, layout.table.lastChar);
    std::printf("Font Info: Bitmap Width: %i  Box min y: %i  Height: %i  Number of glyphs: %i\n",
                layout.cellWidth, static_cast<int>(layout.box.lowestBottom / 64), layout.boxHeight,
                static_cast<int>(face->num_glyphs));
    std::printf("Glyph Info: xMin: %i  xMax: %i  yMin: %i  yMax: %i  advance: %i.%i\n",
                static_cast<int>(sample.xMin / 64), static_cast<int>(sample.xMax / 64),
                static_cast<int>(sample.yMin / 64), static_cast<int>(sample.yMax / 64),
                static_cast<int>(sample.advance / 64), static_cast<int>(sample.advance % 64));
    printDrawing(sampleDrawing);
    std::fflush(stdout);
}

}  // namespace glyphbake
