#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "glyphbake/LxfFile.h"

namespace glyphbake::test {

// A font made by fonts/make_fixtures.py.
std::string fixtureFont(const std::string& name);
// A font from the Debian font packages, relative to /usr/share/fonts/truetype.
std::string systemFont(const std::string& name);

std::vector<uint8_t> readBytes(const std::filesystem::path& path);
void writeBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);

// A private folder for one test, removed with everything in it at the end.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    std::string file(const std::string& name) const { return (root_ / name).string(); }
    bool isEmpty() const { return std::filesystem::is_empty(root_); }

private:
    std::filesystem::path root_;
};

struct ConvertOptions {
    int pointSize = 72;
    int extraRows = 2;
    int sampleChar = 0;
    bool fixedWidth = false;
};

// Converts the font into a file of the scratch folder and reads it back; fails the test when
// either step fails.
LxfFont convertFont(const std::string& ttfPath, const ScratchDir& dir,
                    const ConvertOptions& options = {});

// The expected cell image (file bit order) with ink in the given columns and rows, ends included.
std::vector<uint8_t> cellWithInk(const LxfHeader& header, int firstColumn, int lastColumn,
                                 int firstRow, int lastRow);

}  // namespace glyphbake::test
