#pragma once

#include "cell_raster.h"
#include "font_layout.h"
#include "glyph_box.h"

namespace glyphbake {

// Prints the conversion report to standard output: the font's names, its character maps, the
// character range, the cell, and the sample glyph with its drawing.
void printConversionReport(FT_Face face, const FontLayout& layout, const GlyphBox& sample,
                           const CellRaster& sampleDrawing);

}  // namespace glyphbake
