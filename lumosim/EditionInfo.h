#pragma once

// What the reader's title list tells about an edition file: the keys of the edition's info entry.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace lumosim {

struct EditionInfo {
    std::string title;
    std::string author;
    std::string isbn;
    std::string publisher;
    std::string url;
    std::string username;
    std::string periodicalId;
    std::string periodicalName;
};

// Reads the header, the table of contents and the info entry; nothing when the bytes are not an
// edition or any part lies outside them.
std::optional<EditionInfo> ReadEditionInfo(std::span<const uint8_t> edition);

// The value of a key in INI text without a section line: keys compared without case, the first
// occurrence wins, blanks and a trailing carriage return trimmed.
std::string IniValue(std::string_view text, std::string_view key);

}  // namespace lumosim
