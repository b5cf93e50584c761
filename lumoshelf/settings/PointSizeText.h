#pragma once

#include <cstdint>
#include <string_view>

// The point size typed into a size box: the decimal digits at its start (after blanks), or 0
// when there are none or the number does not fit the reader's 16-bit signed size, so that a
// long number never wraps round to some other size.
std::int16_t ReadPointSize(std::string_view text);
