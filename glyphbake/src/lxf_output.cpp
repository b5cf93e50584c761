#include "lxf_output.h"

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "checked_file.h"
#include "name_records.h"

namespace glyphbake {
namespace {

std::vector<uint8_t> widthTable(FT_Face face, const FontLayout& layout, bool fixedWidth) {
    std::vector<uint8_t> widths;
    widths.reserve(static_cast<std::size_t>(layout.charCount()));
    for (int code = layout.table.firstChar; code <= layout.table.lastChar; ++code) {
        if (fixedWidth) {
            widths.push_back(static_cast<uint8_t>(layout.cellWidth));
            continue;
        }
        const int32_t glyph = layout.table.entries[code];
        const std::optional<GlyphBox> box =
            glyph != 0 ? loadGlyph(face, static_cast<unsigned>(glyph)) : std::nullopt;
        widths.push_back(box ? advanceWidthByte(*box) : 0);
    }
    return widths;
}

// Draws the glyph with its left edge at or right of column 0 and the font's lowest bottom on
// the cell's bottom row, so that every glyph shares one baseline.
void drawCell(FT_Library library, FT_Face face, const FontLayout& layout, int32_t glyph,
              CellRaster& cell) {
    cell.clear();
    if (glyph == 0) return;
    const std::optional<GlyphBox> box = loadGlyph(face, static_cast<unsigned>(glyph));
    if (!box || face->glyph->format != FT_GLYPH_FORMAT_OUTLINE) return;
    const FT_Pos shiftRight = box->xMin < 0 ? -box->xMin : 0;
    cell.render(library, face->glyph->outline, shiftRight, -layout.box.lowestBottom);
}

}  // namespace

uint8_t advanceWidthByte(const GlyphBox& glyph) {
    const long advance = (glyph.advance + 32) / 64;
    const long left = glyph.xMin / 64;
    const long width = left < 0 ? advance - left : advance;
    const long right = glyph.xMax / 64;
    const bool rightIsFurther = static_cast<int8_t>(right) >= static_cast<int8_t>(width);
    return static_cast<uint8_t>(rightIsFurther ? right : width);
}

LxfHeader makeLxfHeader(FT_Face face, const FontLayout& layout, const LxfOutputOptions& options) {
    LxfHeader header;
    if (std::optional<std::string> name = findFontName(face, kNameFullName)) {
        std::snprintf(header.name.data(), header.name.size(), "%ipt %s", options.pointSize,
                      name->c_str());
    }
    header.glyphBitmapSize = layout.cellBytes();
    header.pointSize = options.pointSize;
    header.rows = layout.rows;
    header.cellWidth = layout.cellWidth;
    header.firstChar = layout.table.firstChar;
    header.lastChar = layout.table.lastChar;
    header.bitmapOffset = layout.table.lastChar - layout.table.firstChar + 117;
    header.descent = static_cast<int32_t>(std::labs(layout.box.lowestBottom / 64));
    header.extraRows = options.extraRows;
    return header;
}

void writeLxfFile(const char* path, FT_Library library, FT_Face face, const FontLayout& layout,
                  const LxfOutputOptions& options, CellRaster& cell) {
    const LxfHeader header = makeLxfHeader(face, layout, options);
    CheckedFile file(path);
    file.write(encodeLxfHeader(header));
    file.write(widthTable(face, layout, options.fixedWidth));
    for (int code = layout.table.firstChar; code <= layout.table.lastChar; ++code) {
        drawCell(library, face, layout, layout.table.entries[code], cell);
        cell.reverseBitOrder();
        file.write(cell.bytes());
    }
    file.finish();
}

}  // namespace glyphbake
