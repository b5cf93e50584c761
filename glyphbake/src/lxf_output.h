#pragma once

#include <cstdint>

#include "cell_raster.h"
#include "font_layout.h"
#include "glyph_box.h"
#include "glyphbake/LxfFile.h"

namespace glyphbake {

struct LxfOutputOptions {
    int pointSize = 0;
    int extraRows = 0;
    bool fixedWidth = false;
};

// The width-table byte of a glyph: its rounded advance, widened by a negative left bearing, or
// its right edge when that lies further right (compared as signed bytes).
uint8_t advanceWidthByte(const GlyphBox& glyph);

LxfHeader makeLxfHeader(FT_Face face, const FontLayout& layout, const LxfOutputOptions& options);

// Writes the whole LXF file; throws ConversionError and leaves no file when it cannot.
void writeLxfFile(const char* path, FT_Library library, FT_Face face, const FontLayout& layout,
                  const LxfOutputOptions& options, CellRaster& cell);

}  // namespace glyphbake
