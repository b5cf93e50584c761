#pragma once

// "__STATUS": the reader describes itself, one KEYWORD="value" line per setting.

#include <cstdint>
#include <vector>

namespace lumosim {

class Flash;
struct ReaderSettings;

std::vector<uint8_t> BuildStatusFile(const ReaderSettings& settings, const Flash& flash);

}  // namespace lumosim
