#pragma once

// How the reader names a user font: from the header of the LXF file in its flash.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "lumosim/ReaderSettings.h"

namespace lumosim {

std::optional<ReaderFont> ReadUserFont(std::span<const uint8_t> lxf, const std::string& fileName);

}  // namespace lumosim
