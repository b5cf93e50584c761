#pragma once

#include <string>

#include "TempFolder.h"
#include "lumowriter/EditionPacker.h"

// Writes a small edition with the given info fields and one page, returns its path.
inline std::string MakeEdition(const std::string& path, const lumowriter::EditionInfo& info) {
    lumowriter::EditionLayout layout;
    layout.info = info;
    layout.contents.push_back({"page1.html", "<html><body>Hello</body></html>"});
    std::string bytes, error;
    lumowriter::PackEdition(layout, bytes, error);
    WriteTextFile(path, bytes);
    return path;
}

inline void Put32(std::string& bytes, size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + static_cast<size_t>(i)] = static_cast<char>(value >> (8 * i));
}
