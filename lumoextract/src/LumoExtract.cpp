#include "lumoextract/LumoExtract.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <vector>

namespace {

constexpr std::uint32_t kEditionMagic = 0x0CB00CB0;
constexpr std::uint32_t kHeaderSize = 296;
constexpr std::uint32_t kTocOffsetField = 24;
constexpr std::uint32_t kEntrySize = 44;
constexpr std::uint32_t kEntryNameSize = 32;

std::uint32_t ReadLe32(const unsigned char* bytes) {
    return std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8 | std::uint32_t(bytes[2]) << 16 |
           std::uint32_t(bytes[3]) << 24;
}

bool ReadAt(std::ifstream& file, std::uint64_t offset, unsigned char* buffer, std::size_t size) {
    file.clear();
    file.seekg(static_cast<std::streamoff>(offset));
    file.read(reinterpret_cast<char*>(buffer), static_cast<std::streamsize>(size));
    return static_cast<std::size_t>(file.gcount()) == size;
}

std::string EntryName(const unsigned char* entry) {
    const char* name = reinterpret_cast<const char*>(entry);
    return std::string(name, strnlen(name, kEntryNameSize));
}

bool EqualIgnoringCase(const std::string& a, const char* b) {
    return strcasecmp(a.c_str(), b) == 0;
}

}  // namespace

int CLumoExtractDLL::Open(const char* editionPath) {
    Close();
    if (editionPath == nullptr) return 1;
    m_edition.open(editionPath, std::ios::binary);
    if (!m_edition) return 1;
    m_edition.seekg(0, std::ios::end);
    const auto fileSize = static_cast<std::uint64_t>(m_edition.tellg());

    std::array<unsigned char, kHeaderSize> header{};
    if (!ReadAt(m_edition, 0, header.data(), header.size()) ||
        ReadLe32(header.data()) != kEditionMagic) {
        Close();
        return 1;
    }
    const std::uint64_t tocOffset = ReadLe32(header.data() + kTocOffsetField);
    std::array<unsigned char, 4> countBytes{};
    if (!ReadAt(m_edition, tocOffset, countBytes.data(), countBytes.size())) {
        Close();
        return 1;
    }
    const std::uint64_t count = ReadLe32(countBytes.data());
    if (tocOffset + 4 + count * kEntrySize > fileSize) {
        Close();
        return 1;
    }
    std::vector<unsigned char> entries(count * kEntrySize);
    if (!ReadAt(m_edition, tocOffset + 4, entries.data(), entries.size())) {
        Close();
        return 1;
    }
    for (std::uint64_t i = 0; i < count; ++i) {
        const unsigned char* entry = entries.data() + i * kEntrySize;
        if (!EqualIgnoringCase(EntryName(entry), kPackageEntryName)) continue;
        const std::uint32_t length = ReadLe32(entry + 32);
        const std::uint32_t offset = ReadLe32(entry + 36);
        if (std::uint64_t(offset) + length > fileSize) break;
        m_packageOffset = offset;
        m_packageLength = length;
        return 0;
    }
    Close();
    return 1;
}

int CLumoExtractDLL::ExtractPackageFile(const char* directory, std::string& extractedPath) {
    if (!m_edition.is_open() || directory == nullptr) return 1;
    const std::filesystem::path target = std::filesystem::path(directory) / kPackageEntryName;
    const int fd =
        ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return 1;

    m_edition.clear();
    m_edition.seekg(m_packageOffset);
    std::array<char, 8192> chunk{};
    std::uint32_t left = m_packageLength;
    bool ok = true;
    while (ok && left > 0) {
        const std::uint32_t want = std::min<std::uint32_t>(left, chunk.size());
        m_edition.read(chunk.data(), want);
        ok = static_cast<std::uint32_t>(m_edition.gcount()) == want &&
             ::write(fd, chunk.data(), want) == static_cast<ssize_t>(want);
        left -= want;
    }
    ok = (::close(fd) == 0) && ok;
    if (!ok) {
        std::filesystem::remove(target);
        return 1;
    }
    extractedPath = target.string();
    return 0;
}

void CLumoExtractDLL::Close() {
    if (m_edition.is_open()) m_edition.close();
    m_edition.clear();
    m_packageOffset = 0;
    m_packageLength = 0;
}
