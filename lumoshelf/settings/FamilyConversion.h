#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "settings/FontFaceList.h"

// Files larger than this might be rejected by the reader; the warning states it in kilobytes.
inline constexpr std::uint64_t kReaderFontLimitBytes = 200000;
inline constexpr int kReaderFontLimitK = 200;
bool IsOverReaderFontLimit(std::uint64_t bytes);

// One print family of the reader made into LXF files.
struct FamilyFiles {
    bool converted = false;                  // false: the regular face failed, nothing is usable
    std::vector<std::string> madeFiles;      // the files made on the PC, in the order made
    std::array<std::string, 4> readerNames;  // regular, italic, bold, bold italic
    bool oversized = false;                  // at least one file is over the reader's limit
};

// Converts faces[selected] and the faces named like it with " ITALIC", " BOLD" and
// " BOLD ITALIC" at pointSize into folder, as family + ".LXF", "I.LXF", "B.LXF" and "BI.LXF"
// (family is "LARGE" or "SMALL"). A style that is missing or fails to convert gets the regular
// file's reader name, so that the reader uses the regular font for it.
FamilyFiles ConvertFamily(const std::string& family, const std::vector<FontFace>& faces,
                          std::size_t selected, int pointSize, const std::filesystem::path& folder);
