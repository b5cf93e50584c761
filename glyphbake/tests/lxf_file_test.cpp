#include <gtest/gtest.h>

#include <cstring>

#include "glyphbake/LxfFile.h"

namespace glyphbake {
namespace {

LxfHeader sampleHeader() {
    LxfHeader header;
    std::strcpy(header.name.data(), "12pt Sample");
    header.pointSize = 12;
    header.cellWidth = 9;  // two bytes per row
    header.rows = 3;
    header.glyphBitmapSize = 6;
    header.firstChar = 32;
    header.lastChar = 33;
    header.bitmapOffset = 118;
    header.descent = 4;
    header.extraRows = 2;
    return header;
}

std::vector<uint8_t> sampleFile() {
    const auto header = encodeLxfHeader(sampleHeader());
    std::vector<uint8_t> bytes(header.begin(), header.end());
    bytes.insert(bytes.end(), {5, 7});                          // widths of 32 and 33
    bytes.insert(bytes.end(), {0, 0, 0, 0, 0, 0});              // 32: empty
    bytes.insert(bytes.end(), {0x01, 0x00, 0x00, 0x01, 0, 0});  // 33: pixels (0,0) and (8,1)
    return bytes;
}

uint32_t wordAt(const std::vector<uint8_t>& bytes, std::size_t offset) {
    return bytes[offset] | bytes[offset + 1] << 8 | bytes[offset + 2] << 16 |
           static_cast<uint32_t>(bytes[offset + 3]) << 24;
}

TEST(LxfFile, HeaderFieldsSitAtTheirOffsetsLittleEndian) {
    const std::vector<uint8_t> bytes = sampleFile();
    EXPECT_EQ((std::vector<uint8_t>(bytes.begin(), bytes.begin() + 4)),
              (std::vector<uint8_t>{0xE0, 0x0E, 0xF0, 0x0D}));
    EXPECT_EQ(wordAt(bytes, 4), 3u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[8])), "12pt Sample");
    const std::pair<std::size_t, uint32_t> fields[] = {{72, 6},    {76, 12}, {80, 3},  {84, 9},
                                                       {88, 32},   {92, 33}, {96, 32}, {100, 116},
                                                       {104, 118}, {108, 4}, {112, 2}};
    for (const auto& [offset, value] : fields) EXPECT_EQ(wordAt(bytes, offset), value) << offset;
}

TEST(LxfFile, ReadsWidthsAndPixelsBack) {
    std::string error;
    const std::optional<LxfFont> font = LxfFont::parse(sampleFile(), error);
    ASSERT_TRUE(font) << error;
    EXPECT_EQ(font->header().nameText(), "12pt Sample");
    EXPECT_EQ(font->width(33), 7);
    EXPECT_EQ(font->width(34), 0);
    EXPECT_TRUE(font->ink(33, 0, 0));
    EXPECT_TRUE(font->ink(33, 8, 1));
    EXPECT_FALSE(font->ink(33, 1, 0));
    EXPECT_FALSE(font->ink(32, 0, 0));
}

TEST(LxfFile, RefusesFilesThatDisagreeWithTheirHeader) {
    struct Damage {
        const char* what;
        void (*apply)(std::vector<uint8_t>&);
    };
    const Damage damages[] = {
        {"bad magic", [](std::vector<uint8_t>& b) { b[0] = 0; }},
        {"other version", [](std::vector<uint8_t>& b) { b[4] = 2; }},
        {"last byte missing", [](std::vector<uint8_t>& b) { b.pop_back(); }},
        {"extra byte", [](std::vector<uint8_t>& b) { b.push_back(0); }},
        {"bitmap size off", [](std::vector<uint8_t>& b) { b[72] = 5; }},
        {"range reversed", [](std::vector<uint8_t>& b) { b[92] = 31; }},
        {"huge last char", [](std::vector<uint8_t>& b) { b[95] = 0x7F; }},
        {"header cut", [](std::vector<uint8_t>& b) { b.resize(100); }},
    };
    for (const Damage& damage : damages) {
        std::vector<uint8_t> bytes = sampleFile();
        damage.apply(bytes);
        std::string error;
        EXPECT_FALSE(LxfFont::parse(bytes, error)) << damage.what;
        EXPECT_FALSE(error.empty()) << damage.what;
    }
}

}  // namespace
}  // namespace glyphbake
