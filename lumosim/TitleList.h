#pragma once

// "__TITLES": the reader's list of the editions in its flash, with the markup files present for
// each, as INI text that the library manager reads after prefixing a section line.

#include <cstdint>
#include <vector>

namespace lumosim {

class Flash;

std::vector<uint8_t> BuildTitleList(const Flash& flash);

}  // namespace lumosim
