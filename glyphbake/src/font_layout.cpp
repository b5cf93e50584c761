#include "font_layout.h"

#include "conversion_error.h"
#include "glyphbake/LxfFile.h"

namespace glyphbake {

FontLayout layoutFont(const FontBox& box, const GlyphTable& table, int extraRows) {
    const int64_t width = box.widest / 64;
    const int64_t height = box.tallest / 64;
    const int64_t rows = height + extraRows;
    if (width == 0 || height == 0) throw ConversionError{"Font has no glyph to draw"};
    if (width > kWidestCell) throw ConversionError{"Character cell is wider than 255 pixels"};
    if (rows < 1) throw ConversionError{"Character cell has no rows"};
    const int64_t charCount = int64_t{table.lastChar} - table.firstChar + 1;
    const int64_t fileSize =
        int64_t{LXF_HEADER_SIZE} + charCount + charCount * rows * ((width + 7) / 8);
    if (fileSize > kLargestFile) throw ConversionError{"Font file would be larger than 8 MB"};

    return FontLayout{.box = box,
                      .table = table,
                      .cellWidth = static_cast<int>(width),
                      .boxHeight = static_cast<int>(height),
                      .rows = static_cast<int>(rows)};
}

}  // namespace glyphbake
