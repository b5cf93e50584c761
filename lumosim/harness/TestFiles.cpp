#include "lumosim/harness/TestFiles.h"

#include <stdlib.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <stdexcept>

namespace lumosim::testing {
namespace {

void PutLe32(std::vector<uint8_t>& bytes, std::size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

void PutEntry(std::vector<uint8_t>& bytes, std::size_t at, const char* name, uint32_t length,
              uint32_t offset, uint32_t flags) {
    std::memcpy(bytes.data() + at, name, std::strlen(name));
    PutLe32(bytes, at + 32, length);
    PutLe32(bytes, at + 36, offset);
    PutLe32(bytes, at + 40, flags);
}

}  // namespace

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "lumosim-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::vector<uint8_t> MakeEdition(const std::string& info, std::size_t contentSize) {
    std::vector<uint8_t> content(contentSize);
    for (std::size_t i = 0; i < contentSize; ++i) content[i] = static_cast<uint8_t>(i * 7);
    return MakeEdition(info, content);
}

std::vector<uint8_t> MakeEdition(const std::string& info, const std::vector<uint8_t>& content) {
    constexpr std::size_t kHeader = 296;
    constexpr std::size_t kToc = kHeader;
    const std::size_t contentOffset = kToc + 4 + 2 * 44;
    const std::size_t infoOffset = contentOffset + content.size();
    std::vector<uint8_t> bytes(infoOffset + info.size(), 0);
    PutLe32(bytes, 0, 0x0CB00CB0);
    bytes[4] = 2;
    PutLe32(bytes, 24, kToc);
    PutLe32(bytes, 28, static_cast<uint32_t>(bytes.size()));
    PutLe32(bytes, kToc, 2);
    PutEntry(bytes, kToc + 4, "page1.html", static_cast<uint32_t>(content.size()),
             static_cast<uint32_t>(contentOffset), 0);
    PutEntry(bytes, kToc + 4 + 44, "info", static_cast<uint32_t>(info.size()),
             static_cast<uint32_t>(infoOffset), 0x2);
    std::copy(content.begin(), content.end(), bytes.begin() + static_cast<long>(contentOffset));
    std::memcpy(bytes.data() + infoOffset, info.data(), info.size());
    return bytes;
}

std::vector<uint8_t> MakeTextEdition(const std::string& title, std::size_t size) {
    const std::string line =
        "The reader turns the page, and the lamp in the window burns on into the night.\r\n";
    std::string text;
    while (text.size() < size) text += line;
    text.resize(size);
    return MakeEdition("Title=" + title + "\r\n", std::vector<uint8_t>(text.begin(), text.end()));
}

std::vector<uint8_t> MakeFontHeader(const std::string& name, int pointSize) {
    std::vector<uint8_t> bytes(116, 0);
    PutLe32(bytes, 0, 0x0DF00EE0);
    PutLe32(bytes, 4, 3);
    std::memcpy(bytes.data() + 8, name.data(), std::min<std::size_t>(name.size(), 63));
    PutLe32(bytes, 76, static_cast<uint32_t>(pointSize));
    return bytes;
}

std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

std::string Text(const std::vector<uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }

void WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace lumosim::testing
