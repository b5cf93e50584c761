#include "lumowriter/EditionPacker.h"

#include <fstream>

#include "lumowriter/MarkupEscape.h"

namespace lumowriter {
namespace {

void put32(std::string& bytes, size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + static_cast<size_t>(i)] = static_cast<char>(value >> (8 * i));
}

void append32(std::string& bytes, std::uint32_t value) {
    bytes.append(4, '\0');
    put32(bytes, bytes.size() - 4, value);
}

}  // namespace

std::string InfoText(const EditionInfo& info) {
    std::string text;
    for (const auto& [name, value] : info) text += name + "=" + value + "\r\n";
    return text;
}

std::string PackageXml(const std::string& title, const std::string& author) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<package>\n  <metadata>\n"
           "    <dc-metadata>\n      <Title>" +
           MarkupEscaped(title) + "</Title>\n      <Creator>" + MarkupEscaped(author) +
           "</Creator>\n    </dc-metadata>\n  </metadata>\n</package>\n";
}

bool PackEdition(const EditionLayout& layout, std::string& edition, std::string& error) {
    for (const auto& [name, value] : layout.info) {
        if ((name + value).find_first_of("\r\n") != std::string::npos ||
            name.find('=') != name.npos) {
            error = "info field " + name + " holds a line break or '='";
            return false;
        }
    }
    std::vector<EditionEntry> entries;
    entries.push_back({"info", InfoText(layout.info), kEntryInfo});
    entries.insert(entries.end(), layout.contents.begin(), layout.contents.end());
    if (!layout.packageXml.empty())
        entries.push_back({"package.opf", layout.packageXml, kEntryPackage});

    const size_t tocSize = 4 + entries.size() * kEntrySize;
    size_t offset = kHeaderSize + tocSize;
    std::string toc;
    append32(toc, static_cast<std::uint32_t>(entries.size()));
    for (const EditionEntry& entry : entries) {
        if (entry.name.empty() || entry.name.size() > kMaxEntryName) {
            error = "entry name \"" + entry.name + "\" must be 1 to 31 bytes";
            return false;
        }
        std::string name = entry.name;
        name.resize(32, '\0');
        toc += name;
        append32(toc, static_cast<std::uint32_t>(entry.data.size()));
        append32(toc, static_cast<std::uint32_t>(offset));
        append32(toc, entry.flags);
        offset += entry.data.size();
    }
    if (offset > 0xFFFFFFFFu) {
        error = "the edition would be larger than 4 GB";
        return false;
    }

    edition.assign(kHeaderSize, '\0');
    put32(edition, 0, kEditionMagic);
    edition[4] = static_cast<char>(kEditionFormatVersion & 0xFF);
    edition[5] = static_cast<char>(kEditionFormatVersion >> 8);
    put32(edition, 24, static_cast<std::uint32_t>(kHeaderSize));
    put32(edition, 28, static_cast<std::uint32_t>(offset));
    edition += toc;
    for (const EditionEntry& entry : entries) edition += entry.data;
    return true;
}

bool WriteEdition(const EditionLayout& layout, const std::string& path, std::string& error) {
    std::string edition;
    if (!PackEdition(layout, edition, error)) return false;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(edition.data(), static_cast<std::streamsize>(edition.size()));
    out.close();
    if (!out) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

}  // namespace lumowriter
