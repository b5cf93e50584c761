#include "test_support.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <iterator>

#include "glyphbake/glyphbake.h"

namespace glyphbake::test {

std::string fixtureFont(const std::string& name) {
    return std::string(GLYPHBAKE_TEST_FONTS) + "/" + name;
}

std::string systemFont(const std::string& name) { return "/usr/share/fonts/truetype/" + name; }

std::vector<uint8_t> readBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
}

void writeBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

ScratchDir::ScratchDir() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "glyphbake-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    root_ = pattern;
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

LxfFont convertFont(const std::string& ttfPath, const ScratchDir& dir,
                    const ConvertOptions& options) {
    const std::string out = dir.file("font.lxf");
    const int result = FC_TTFtoLXF(ttfPath.c_str(), options.pointSize, options.extraRows,
                                   out.c_str(), options.sampleChar, 0, options.fixedWidth);
    EXPECT_EQ(result, 0) << ttfPath;
    std::string error;
    std::optional<LxfFont> font = LxfFont::readFile(out, error);
    if (!font) throw std::runtime_error("unreadable LXF file: " + error);
    return *font;
}

std::vector<uint8_t> cellWithInk(const LxfHeader& header, int firstColumn, int lastColumn,
                                 int firstRow, int lastRow) {
    const int bytesPerRow = header.bytesPerRow();
    std::vector<uint8_t> cell(static_cast<std::size_t>(header.glyphBitmapSize));
    for (int row = firstRow; row <= lastRow; ++row) {
        for (int column = firstColumn; column <= lastColumn; ++column) {
            cell[row * bytesPerRow + column / 8] |= static_cast<uint8_t>(1u << (column % 8));
        }
    }
    return cell;
}

}  // namespace glyphbake::test
