#pragma once

#include <cstdint>
#include <vector>

#include <ft2build.h>
#include FT_FREETYPE_H

namespace glyphbake {

// One character cell of 1-bit pixels, top row first, as the engine draws it: bit 7 of a byte is
// its leftmost pixel until reverseBitOrder() turns it into the file's order.
class CellRaster {
public:
    CellRaster(int rows, int widthInPixels);

    int rows() const { return rows_; }
    int bytesPerRow() const { return bytesPerRow_; }
    const std::vector<uint8_t>& bytes() const { return bytes_; }

    void clear();
    // Draws the outline moved by (dx, dy) in 26.6 units; the cell's bottom-left corner is the
    // origin, and ink outside the cell is lost.
    void render(FT_Library library, FT_Outline& outline, FT_Pos dx, FT_Pos dy);
    void reverseBitOrder();
    bool ink(int x, int row) const;

private:
    int rows_;
    int width_;
    int bytesPerRow_;
    std::vector<uint8_t> bytes_;
};

}  // namespace glyphbake
