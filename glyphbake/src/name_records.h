#pragma once

#include <optional>
#include <string>

#include <ft2build.h>
#include FT_FREETYPE_H

namespace glyphbake {

inline constexpr unsigned kNameCopyright = 0;
inline constexpr unsigned kNameFullName = 4;
inline constexpr unsigned kNameVersion = 5;
inline constexpr unsigned kNameTrademark = 7;

// The size of the converter's name buffer: names of at most 128 characters.
inline constexpr int kNameBufferSize = 257;

// The first English (or platform 0) name record with the given ID, narrowed to the low bytes of
// its 16-bit characters as far as a destination of destinationSize bytes (with the NUL) allows.
std::optional<std::string> findFontName(FT_Face face, unsigned nameId,
                                        int destinationSize = kNameBufferSize);

}  // namespace glyphbake
