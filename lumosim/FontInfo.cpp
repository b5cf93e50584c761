#include "lumosim/FontInfo.h"

#include <algorithm>

namespace lumosim {
namespace {

constexpr uint32_t kLxfMagic = 0x0DF00EE0;
constexpr std::size_t kLxfHeaderSize = 116;
constexpr std::size_t kNameOffset = 8;
constexpr std::size_t kNameSize = 64;
constexpr std::size_t kPointSizeOffset = 76;

uint32_t Le32(std::span<const uint8_t> bytes, std::size_t at) {
    return uint32_t{bytes[at]} | uint32_t{bytes[at + 1]} << 8 | uint32_t{bytes[at + 2]} << 16 |
           uint32_t{bytes[at + 3]} << 24;
}

}  // namespace

std::optional<ReaderFont> ReadUserFont(std::span<const uint8_t> lxf, const std::string& fileName) {
    if (lxf.size() < kLxfHeaderSize || Le32(lxf, 0) != kLxfMagic) return std::nullopt;
    const int size = static_cast<int>(static_cast<int32_t>(Le32(lxf, kPointSizeOffset)));

    const auto nameField = lxf.subspan(kNameOffset, kNameSize);
    std::string name(nameField.begin(), std::find(nameField.begin(), nameField.end(), 0));
    std::replace_if(
        name.begin(), name.end(), [](char c) { return c == '"' || (c >= 0 && c < 0x20); }, ' ');
    if (name.empty()) name = std::to_string(size) + "pt " + fileName;
    return ReaderFont{name, size, 'U', fileName};
}

}  // namespace lumosim
