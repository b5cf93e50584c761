#pragma once

#include <cstdint>
#include <cstring>

namespace lumo {

constexpr std::uint32_t kEditionMagic = 0x0CB00CB0;
constexpr std::uint32_t kReaderPackageMagic = 0xDEC00CB0;
constexpr std::uint32_t kSystemImageMagic = 0xA000C0DE;

constexpr std::size_t kEditionHeaderSize = 296;
constexpr std::size_t kEditionLengthField = 28;
constexpr std::size_t kTocEntrySize = 44;
constexpr std::size_t kTocEntryNameSize = 32;
constexpr std::size_t kSystemImageHeaderSize = 77;
constexpr std::size_t kSystemImageTypeField = 66;

inline std::uint32_t ReadLe32(const unsigned char* bytes) {
    return std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8 | std::uint32_t(bytes[2]) << 16 |
           std::uint32_t(bytes[3]) << 24;
}

}  // namespace lumo
