// The reader's LXF bitmap font file: a 116-byte little-endian header, one advance-width byte per
// character code and one 1-bit cell image per code (bit 0 of a byte is its leftmost pixel).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace glyphbake {

inline constexpr uint32_t LXF_MAGIC = 0x0DF00EE0;
inline constexpr uint32_t LXF_VERSION = 3;
inline constexpr std::size_t LXF_HEADER_SIZE = 116;
inline constexpr std::size_t LXF_NAME_SIZE = 64;
// Written at header offset 96 by every converter the reader knows; its meaning is not recorded.
inline constexpr int32_t LXF_FIXED_FIELD = 32;

struct LxfHeader {
    uint32_t magic = LXF_MAGIC;
    uint32_t version = LXF_VERSION;
    std::array<char, LXF_NAME_SIZE> name{};
    int32_t glyphBitmapSize = 0;
    int32_t pointSize = 0;
    int32_t rows = 0;
    int32_t cellWidth = 0;
    int32_t firstChar = 0;
    int32_t lastChar = 0;
    int32_t fixedField = LXF_FIXED_FIELD;
    int32_t widthTableOffset = static_cast<int32_t>(LXF_HEADER_SIZE);
    int32_t bitmapOffset = 0;
    int32_t descent = 0;
    int32_t extraRows = 0;

    int64_t charCount() const { return int64_t{lastChar} - firstChar + 1; }
    int32_t bytesPerRow() const { return (cellWidth + 7) / 8; }
    std::string nameText() const;
};

std::array<uint8_t, LXF_HEADER_SIZE> encodeLxfHeader(const LxfHeader& header);
LxfHeader decodeLxfHeader(std::span<const uint8_t, LXF_HEADER_SIZE> bytes);

// A whole LXF file held in memory, checked to be consistent with its header.
class LxfFont {
public:
    // Returns nothing and describes the fault in error when the bytes are not a sound LXF file.
    static std::optional<LxfFont> parse(std::vector<uint8_t> bytes, std::string& error);
    static std::optional<LxfFont> readFile(const std::string& path, std::string& error);

    const LxfHeader& header() const { return header_; }
    bool holds(int code) const { return code >= header_.firstChar && code <= header_.lastChar; }
    uint8_t width(int code) const;
    std::span<const uint8_t> image(int code) const;
    bool ink(int code, int x, int row) const;

private:
    LxfFont(LxfHeader header, std::vector<uint8_t> bytes);

    LxfHeader header_;
    std::vector<uint8_t> bytes_;
};

}  // namespace glyphbake
