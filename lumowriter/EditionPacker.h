#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace lumowriter {

// Flags of a table-of-contents entry.
constexpr std::uint32_t kEntryContent = 0x1;
constexpr std::uint32_t kEntryInfo = 0x2;
constexpr std::uint32_t kEntryPackage = 0x4;

constexpr std::uint32_t kEditionMagic = 0x0CB00CB0;
constexpr std::uint16_t kEditionFormatVersion = 2;
constexpr size_t kHeaderSize = 296;
constexpr size_t kEntrySize = 44;
constexpr size_t kMaxEntryName = 31;

struct EditionEntry {
    std::string name;  // at most 31 bytes
    std::string data;
    std::uint32_t flags = kEntryContent;
};

// What an edition says about itself: the info entry's "Name=value" lines, in order
// ("Title", "Author", "ISBN", "url", "username", "genre", "pub_name", ...).
using EditionInfo = std::vector<std::pair<std::string, std::string>>;

struct EditionLayout {
    EditionInfo info;
    std::vector<EditionEntry> contents;  // pages (HTML) and images
    std::string packageXml;              // the "package.opf" entry; none when empty
};

// The info entry's text: one "Name=value" line per field, CR LF line ends.
std::string InfoText(const EditionInfo& info);

// The package XML with the title and author under package/metadata/dc-metadata.
std::string PackageXml(const std::string& title, const std::string& author);

// Lays out an edition: the 296-byte header, the table of contents, the info entry and the
// contents. Returns false with a reason when an entry name is too long or a value holds a line
// break.
bool PackEdition(const EditionLayout& layout, std::string& edition, std::string& error);

// PackEdition, then writes the file.
bool WriteEdition(const EditionLayout& layout, const std::string& path, std::string& error);

}  // namespace lumowriter
