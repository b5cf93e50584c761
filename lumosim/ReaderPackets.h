#pragma once

// Packet codes of the device protocol, as the reader sees them.

#include <cstdint>

namespace lumosim::packet {

enum Code : uint8_t {
    kCheck = 0,
    kNack = 2,
    kFileOpen = 3,
    kFileClose = 4,
    kFileWrite = 5,
    kFileRead = 6,
    kCheckData = 7,
    kFileCreate = 12,
    kFileHandle = 13,
    kFileWriteAck = 14,
    kFileCloseAck = 15,
    kRemoteAbort = 16,
    kReadData = 18,
    kNegotiateBaud = 20,
    kBaudAck = 21,
    kFileCancel = 22,
    kFileCancelAck = 23,
    kStatus = 24,
    kStatusResponse = 25,
    kFileOpenAlt = 31,
};

const char* Name(uint8_t code);

inline constexpr std::size_t kIdentitySize = 40;
inline constexpr std::size_t kCreateNameSize = 64;
inline constexpr std::size_t kBlockSize = 2048;

}  // namespace lumosim::packet
