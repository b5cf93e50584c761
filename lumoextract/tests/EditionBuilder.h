#pragma once

// Builds edition files and reader software packages for tests, in the layout the program reads:
// a 296-byte header, a table of contents of 44-byte entries, then the entries' bytes.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace testing_editions {

constexpr std::uint32_t kEditionMagic = 0x0CB00CB0;
constexpr std::uint32_t kPackageMagic = 0xDEC00CB0;
constexpr std::uint32_t kSystemImageMagic = 0xA000C0DE;

struct Entry {
    Entry(std::string entryName, std::string entryBytes, std::uint32_t entryFlags = 0,
          std::optional<std::uint32_t> length = std::nullopt,
          std::optional<std::uint32_t> offset = std::nullopt)
        : name(std::move(entryName)),
          bytes(std::move(entryBytes)),
          flags(entryFlags),
          lengthOverride(length),
          offsetOverride(offset) {}

    std::string name;  // up to 32 bytes; exactly 32 leaves no terminator
    std::string bytes;
    std::uint32_t flags;
    std::optional<std::uint32_t> lengthOverride;
    std::optional<std::uint32_t> offsetOverride;
};

inline void PutLe32(std::string& out, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

struct EditionBuilder {
    std::uint32_t magic = kEditionMagic;
    std::vector<Entry> entries;
    std::optional<std::uint32_t> editionLength;  // header field at byte 28; default: file length
    std::optional<std::uint32_t> countOverride;
    std::size_t trailingPadding = 0;  // bytes after the entries that the header length excludes

    std::string Build() const {
        std::string out(296, '\0');
        PutLe32(out, 0, magic);
        out[4] = 2;
        PutLe32(out, 24, 296);
        std::string toc(4 + entries.size() * 44, '\0');
        PutLe32(toc, 0, countOverride.value_or(static_cast<std::uint32_t>(entries.size())));
        std::uint32_t offset = static_cast<std::uint32_t>(296 + toc.size());
        std::string data;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const Entry& entry = entries[i];
            const std::size_t at = 4 + i * 44;
            toc.replace(at, std::min<std::size_t>(entry.name.size(), 32), entry.name, 0, 32);
            PutLe32(toc, at + 32,
                    entry.lengthOverride.value_or(static_cast<std::uint32_t>(entry.bytes.size())));
            PutLe32(toc, at + 36, entry.offsetOverride.value_or(offset));
            PutLe32(toc, at + 40, entry.flags);
            offset += static_cast<std::uint32_t>(entry.bytes.size());
            data += entry.bytes;
        }
        out += toc;
        out += data;
        PutLe32(out, 28, editionLength.value_or(static_cast<std::uint32_t>(out.size())));
        out.append(trailingPadding, '\xEE');
        return out;
    }

    void WriteTo(const std::filesystem::path& path) const { WriteFile(path, Build()); }

    static void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file << bytes;
    }
};

// A system image part: a 77-byte header starting with its magic, type code at byte 66.
inline std::string SystemImage(std::uint8_t typeCode, const std::string& body) {
    std::string head(77, '\0');
    PutLe32(head, 0, kSystemImageMagic);
    head[66] = static_cast<char>(typeCode);
    return head + body;
}

inline std::string PackageXml(const std::string& title) {
    return "<?xml version=\"1.0\"?>\n<package><metadata><dc-metadata><dc:Title "
           "xmlns:dc=\"http://purl.org/dc/elements/1.0/\">" +
           title + "</dc:Title></dc-metadata></metadata></package>\n";
}

inline std::string ReadWholeFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

}  // namespace testing_editions
