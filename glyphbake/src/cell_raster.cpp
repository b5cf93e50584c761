#include "cell_raster.h"

#include <algorithm>

#include FT_BITMAP_H
#include FT_OUTLINE_H

namespace glyphbake {
namespace {

uint8_t reversed(uint8_t byte) {
    uint8_t result = 0;
    for (int bit = 0; bit < 8; ++bit) {
        if (byte & (1u << bit)) result |= static_cast<uint8_t>(0x80u >> bit);
    }
    return result;
}

}  // namespace

CellRaster::CellRaster(int rows, int widthInPixels)
    : rows_(rows),
      width_(widthInPixels),
      bytesPerRow_((widthInPixels + 7) / 8),
      bytes_(static_cast<std::size_t>(rows) * bytesPerRow_) {}

void CellRaster::clear() { std::ranges::fill(bytes_, 0); }

void CellRaster::render(FT_Library library, FT_Outline& outline, FT_Pos dx, FT_Pos dy) {
    if (bytes_.empty() || width_ == 0) return;
    FT_Bitmap target;
    FT_Bitmap_Init(&target);
    target.rows = static_cast<unsigned>(rows_);
    target.width = static_cast<unsigned>(width_);
    target.pitch = bytesPerRow_;
    target.buffer = bytes_.data();
    target.pixel_mode = FT_PIXEL_MODE_MONO;
    target.num_grays = 2;
    FT_Outline_Translate(&outline, dx, dy);
    FT_Outline_Get_Bitmap(library, &outline, &target);
}

void CellRaster::reverseBitOrder() {
    for (uint8_t& byte : bytes_) byte = reversed(byte);
}

bool CellRaster::ink(int x, int row) const {
    const uint8_t byte = bytes_[static_cast<std::size_t>(row) * bytesPerRow_ + x / 8];
    return (byte >> (7 - x % 8)) & 1;
}

}  // namespace glyphbake
