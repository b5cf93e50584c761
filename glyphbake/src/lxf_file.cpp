#include "glyphbake/LxfFile.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace glyphbake {
namespace {

constexpr std::size_t kNameOffset = 8;

void putWord(uint8_t* at, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        at[i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

uint32_t getWord(const uint8_t* at) {
    return uint32_t{at[0]} | uint32_t{at[1]} << 8 | uint32_t{at[2]} << 16 | uint32_t{at[3]} << 24;
}

// The integer fields from offset 72 on, in file order.
template <typename Header>
auto numberFields(Header& header) {
    return std::array{&header.glyphBitmapSize, &header.pointSize,        &header.rows,
                      &header.cellWidth,       &header.firstChar,        &header.lastChar,
                      &header.fixedField,      &header.widthTableOffset, &header.bitmapOffset,
                      &header.descent,         &header.extraRows};
}

std::string checkConsistency(const LxfHeader& header, std::size_t fileSize) {
    if (header.magic != LXF_MAGIC) return "not an LXF file (bad magic)";
    if (header.version != LXF_VERSION)
        return "unsupported LXF version " + std::to_string(header.version);
    if (header.rows < 0 || header.cellWidth < 0 || header.firstChar < 0 ||
        header.lastChar < header.firstChar) {
        return "header holds impossible cell or character range values";
    }
    if (int64_t{header.glyphBitmapSize} != int64_t{header.rows} * header.bytesPerRow()) {
        return "glyph bitmap size does not match rows and cell width";
    }
    const int64_t count = header.charCount();
    if (header.widthTableOffset != static_cast<int32_t>(LXF_HEADER_SIZE) ||
        int64_t{header.bitmapOffset} != int64_t{LXF_HEADER_SIZE} + count) {
        return "table offsets do not match the character range";
    }
    const int64_t expected = header.bitmapOffset + count * header.glyphBitmapSize;
    if (static_cast<int64_t>(fileSize) != expected) {
        return "file holds " + std::to_string(fileSize) + " bytes, the header promises " +
               std::to_string(expected);
    }
    return {};
}

}  // namespace

std::string LxfHeader::nameText() const {
    return std::string(name.data(), strnlen(name.data(), name.size()));
}

std::array<uint8_t, LXF_HEADER_SIZE> encodeLxfHeader(const LxfHeader& header) {
    std::array<uint8_t, LXF_HEADER_SIZE> bytes{};
    putWord(&bytes[0], header.magic);
    putWord(&bytes[4], header.version);
    std::memcpy(&bytes[kNameOffset], header.name.data(), LXF_NAME_SIZE);
    uint8_t* at = &bytes[kNameOffset + LXF_NAME_SIZE];
    for (const int32_t* field : numberFields(header)) {
        putWord(at, static_cast<uint32_t>(*field));
        at += 4;
    }
    return bytes;
}

LxfHeader decodeLxfHeader(std::span<const uint8_t, LXF_HEADER_SIZE> bytes) {
    LxfHeader header;
    header.magic = getWord(&bytes[0]);
    header.version = getWord(&bytes[4]);
    std::memcpy(header.name.data(), &bytes[kNameOffset], LXF_NAME_SIZE);
    const uint8_t* at = &bytes[kNameOffset + LXF_NAME_SIZE];
    for (int32_t* field : numberFields(header)) {
        *field = static_cast<int32_t>(getWord(at));
        at += 4;
    }
    return header;
}

LxfFont::LxfFont(LxfHeader header, std::vector<uint8_t> bytes)
    : header_(header), bytes_(std::move(bytes)) {}

std::optional<LxfFont> LxfFont::parse(std::vector<uint8_t> bytes, std::string& error) {
    if (bytes.size() < LXF_HEADER_SIZE) {
        error = "file is shorter than an LXF header";
        return std::nullopt;
    }
    const LxfHeader header =
        decodeLxfHeader(std::span<const uint8_t, LXF_HEADER_SIZE>(bytes.data(), LXF_HEADER_SIZE));
    error = checkConsistency(header, bytes.size());
    if (!error.empty()) return std::nullopt;
    return LxfFont(header, std::move(bytes));
}

std::optional<LxfFont> LxfFont::readFile(const std::string& path, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open " + path;
        return std::nullopt;
    }
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
    if (in.bad()) {
        error = "cannot read " + path;
        return std::nullopt;
    }
    return parse(std::move(bytes), error);
}

uint8_t LxfFont::width(int code) const {
    return holds(code) ? bytes_[header_.widthTableOffset + (code - header_.firstChar)] : 0;
}

std::span<const uint8_t> LxfFont::image(int code) const {
    if (!holds(code)) return {};
    const std::size_t size = static_cast<std::size_t>(header_.glyphBitmapSize);
    const std::size_t offset =
        static_cast<std::size_t>(header_.bitmapOffset) + (code - header_.firstChar) * size;
    return std::span<const uint8_t>(bytes_).subspan(offset, size);
}

bool LxfFont::ink(int code, int x, int row) const {
    if (x < 0 || x >= header_.bytesPerRow() * 8 || row < 0 || row >= header_.rows) return false;
    const std::span<const uint8_t> cell = image(code);
    if (cell.empty()) return false;
    const uint8_t byte = cell[row * header_.bytesPerRow() + x / 8];
    return (byte >> (x % 8)) & 1;
}

}  // namespace glyphbake
