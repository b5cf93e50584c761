#pragma once

// Fault injection: a frame with a correct check sequence whose packet length field says
// something other than the bytes it carries, as a faulty reader firmware might send.

#include <cstdint>
#include <span>
#include <vector>

namespace lumosim {

std::vector<uint8_t> FrameWithLengthField(uint8_t code, uint8_t sequence, uint16_t length,
                                          uint8_t parameter, std::span<const uint8_t> data);

}  // namespace lumosim
