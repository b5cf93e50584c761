#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "glyphbake/glyphbake.h"
#include "test_support.h"

namespace glyphbake::test {
namespace {

namespace fs = std::filesystem;

// Rewrites one field of a table's entry in the sfnt table directory.
std::vector<uint8_t> withTableField(std::vector<uint8_t> font, const std::string& tag,
                                    int fieldOffset, uint32_t value) {
    const int tableCount = font[4] << 8 | font[5];
    for (int i = 0; i < tableCount; ++i) {
        const std::size_t entry = 12 + 16 * static_cast<std::size_t>(i);
        if (std::string(font.begin() + entry, font.begin() + entry + 4) != tag) continue;
        for (int byte = 0; byte < 4; ++byte) {
            font[entry + fieldOffset + byte] = static_cast<uint8_t>(value >> (24 - 8 * byte));
        }
    }
    return font;
}

constexpr int kOffsetField = 8;
constexpr int kLengthField = 12;

std::size_t openDescriptors() {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator()));
}

struct BadFont {
    const char* what;
    std::vector<uint8_t> bytes;
};

TEST(BadInput, DamagedFontsFailWithoutOutputOrLeaks) {
    const std::vector<uint8_t> shapes = readBytes(fixtureFont("shapes.ttf"));
    const std::vector<uint8_t> dejavu = readBytes(systemFont("dejavu/DejaVuSans.ttf"));
    const std::vector<BadFont> fonts = {
        {"empty file", {}},
        {"text file", std::vector<uint8_t>(200, 'x')},
        {"first 100 bytes of a real font", {dejavu.begin(), dejavu.begin() + 100}},
        {"first half of a font", {shapes.begin(), shapes.begin() + shapes.size() / 2}},
        {"font header too short", withTableField(shapes, "head", kLengthField, 10)},
        {"glyph locations beyond the file",
         withTableField(shapes, "loca", kOffsetField, 0x7FFFFF00)},
        {"metrics beyond the file", withTableField(shapes, "hmtx", kOffsetField, 0x7FFFFF00)},
        {"no glyph outlines at all", withTableField(shapes, "glyf", kLengthField, 0)},
    };
    ScratchDir dir;
    const std::string out = dir.file("out.lxf");
    const std::size_t descriptorsBefore = openDescriptors();
    for (const BadFont& font : fonts) {
        SCOPED_TRACE(font.what);
        const std::string path = dir.file("bad.ttf");
        writeBytes(path, font.bytes);
        EXPECT_EQ(FC_TTFtoLXF(path.c_str(), 12, 2, out.c_str(), 0, 0, 0), 1);
        EXPECT_EQ(FC_TTFtoLXF(path.c_str(), 12, 2, nullptr, 0, 0, 0), 1);
        EXPECT_FALSE(fs::exists(out));
    }
    EXPECT_EQ(openDescriptors(), descriptorsBefore);
}

TEST(BadInput, PathsThatAreNotFontsFailInBothEntryPoints) {
    ScratchDir dir;
    const std::string out = dir.file("out.lxf");
    for (const char* path : {"/nonexistent/font.ttf", "/tmp"}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(FC_TTFtoLXF(path, 12, 2, out.c_str(), 0, 0, 0), 1);
        char name[257] = "untouched";
        EXPECT_NE(FC_GetFaceName(path, name, sizeof name), 0);
        EXPECT_STREQ(name, "untouched");
    }
    EXPECT_EQ(FC_TTFtoLXF(nullptr, 12, 2, out.c_str(), 0, 0, 0), 1);
    EXPECT_EQ(FC_GetFaceName(nullptr, nullptr, 0), 1);
    EXPECT_TRUE(dir.isEmpty());
}

TEST(BadInput, FontWithoutUnicodeMapIsRefused) {
    ScratchDir dir;
    const std::string out = dir.file("out.lxf");
    EXPECT_EQ(FC_TTFtoLXF(fixtureFont("symbol.ttf").c_str(), 12, 2, out.c_str(), 0, 0, 0), 1);
    EXPECT_TRUE(dir.isEmpty());
}

struct BadArguments {
    const char* what;
    const char* font;
    int pointSize;
    int extraRows;
    int sampleChar;
};

TEST(BadInput, SizesAndCodesOutsideWhatAFontFileCanHoldFail) {
    const std::string shapes = fixtureFont("shapes.ttf");
    const std::string dejavu = systemFont("dejavu/DejaVuSans.ttf");
    const BadArguments cases[] = {
        {"zero points", shapes.c_str(), 0, 2, 0},
        {"negative points", shapes.c_str(), -12, 2, 0},
        {"points whose low 16 bits are zero", shapes.c_str(), 0x10000, 2, 0},
        {"12000 points typed for 12", dejavu.c_str(), 12000, 2, 0},
        {"cell wider than a width byte", dejavu.c_str(), 200, 2, 0},
        {"file beyond 8 MB", shapes.c_str(), 72, 1000000, 0},
        {"rows removed below zero", shapes.c_str(), 72, -14, 0},
        {"no rows left", shapes.c_str(), 72, -13, 0},
        {"sample beyond the table", shapes.c_str(), 72, 2, 512},
        {"negative sample", shapes.c_str(), 72, 2, -1},
    };
    ScratchDir dir;
    const std::string out = dir.file("out.lxf");
    for (const BadArguments& c : cases) {
        EXPECT_EQ(FC_TTFtoLXF(c.font, c.pointSize, c.extraRows, out.c_str(), c.sampleChar, 0, 0), 1)
            << c.what;
        EXPECT_FALSE(fs::exists(out)) << c.what;
    }
    EXPECT_EQ(FC_TTFtoLXF(dejavu.c_str(), 60, 2, out.c_str(), 0, 0, 0), 0) << "60 points still fit";
}

TEST(BadInput, OutputThatCannotBeCreatedFails) {
    ScratchDir dir;
    const std::string shapes = fixtureFont("shapes.ttf");
    EXPECT_EQ(FC_TTFtoLXF(shapes.c_str(), 72, 2, dir.file("missing/out.lxf").c_str(), 0, 0, 0), 1);
    EXPECT_EQ(FC_TTFtoLXF(shapes.c_str(), 72, 2, dir.file("").c_str(), 0, 0, 0), 1);
    EXPECT_TRUE(dir.isEmpty());
}

TEST(BadInput, AFullDeviceFailsAndIsLeftAlone) {
    ASSERT_TRUE(fs::exists("/dev/full"));
    EXPECT_EQ(FC_TTFtoLXF(fixtureFont("shapes.ttf").c_str(), 72, 2, "/dev/full", 0, 0, 0), 1);
    EXPECT_TRUE(fs::exists("/dev/full"));
}

// Runs in a child process: exits with the conversion's result.
void convertUnderFileSizeLimit(const std::string& font, const std::string& out, rlim_t limit) {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit fileSize{limit, limit};
    setrlimit(RLIMIT_FSIZE, &fileSize);
    _exit(FC_TTFtoLXF(font.c_str(), 72, 2, out.c_str(), 0, 0, 0));
}

TEST(BadInput, AWriteThatRunsOutOfSpaceRemovesTheCutFile) {
    ScratchDir dir;
    const std::string out = dir.file("out.lxf");
    const std::string shapes = fixtureFont("shapes.ttf");
    // The 14624-byte file hits a 4096-byte file size limit part way through the bitmaps.
    EXPECT_EXIT(convertUnderFileSizeLimit(shapes, out, 4096), testing::ExitedWithCode(1), "");
    EXPECT_FALSE(fs::exists(out));
}

}  // namespace
}  // namespace glyphbake::test
