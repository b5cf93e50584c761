#pragma once

// The reader's side of the packet layouts; the packet codes are the link's own.

#include <cstddef>

#include "lumolink/LinkNames.h"

namespace lumosim::packet {

inline constexpr std::size_t kIdentitySize = 40;
inline constexpr std::size_t kCreateNameSize = 64;
inline constexpr std::size_t kBlockSize = 2048;

}  // namespace lumosim::packet
