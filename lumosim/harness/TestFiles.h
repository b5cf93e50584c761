#pragma once

// Fixtures for the reader tests: private folders and edition and font files made in memory.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace lumosim::testing {

// A fresh folder under the temporary directory, removed again with the object.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

// An edition: the 296-byte header, one content entry of `contentSize` bytes and an info entry
// holding `info` (INI text without a section line).
std::vector<uint8_t> MakeEdition(const std::string& info, std::size_t contentSize = 100);
// The same with the given page content.
std::vector<uint8_t> MakeEdition(const std::string& info, const std::vector<uint8_t>& content);
// An edition of about `size` bytes whose page is plain text with line ends.
std::vector<uint8_t> MakeTextEdition(const std::string& title, std::size_t size);

// The 116-byte header of an LXF font naming itself `name` at `pointSize`.
std::vector<uint8_t> MakeFontHeader(const std::string& name, int pointSize);

std::vector<uint8_t> Bytes(const std::string& text);
std::string Text(const std::vector<uint8_t>& bytes);
void WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> ReadFile(const std::filesystem::path& path);

}  // namespace lumosim::testing
