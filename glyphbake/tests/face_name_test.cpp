#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>

#include "glyphbake/glyphbake.h"
#include "test_support.h"

namespace glyphbake::test {
namespace {

const std::string kLongName = [] {
    std::string name = "Glyphbake Long Name ";
    for (int i = 0; i < 180; ++i) name.push_back(static_cast<char>('a' + i % 26));
    return name;
}();

struct FaceNameCase {
    const char* font;
    int result;
    std::string name;
};

TEST(FaceName, PicksTheFirstEnglishOrUnicodePlatformRecord) {
    const FaceNameCase cases[] = {
        {"shapes.ttf", 0, "Glyphbake Test Shapes"},
        // Macintosh and German records come first and are passed over; en-GB is English too.
        {"names-english-variant.ttf", 0, kLongName.substr(0, 128)},
        {"names-unicode-platform.ttf", 0, "Unicode Platform Name"},
        // The name is still written when the font lacks a Unicode map, which the result tells.
        {"symbol.ttf", 1, "Glyphbake Test Symbol"},
        {"names-none.ttf", 1, "untouched"},
    };
    for (const FaceNameCase& c : cases) {
        SCOPED_TRACE(c.font);
        std::array<char, 257> name{};
        std::strcpy(name.data(), "untouched");
        EXPECT_EQ(FC_GetFaceName(fixtureFont(c.font).c_str(), name.data(), name.size()), c.result);
        EXPECT_EQ(std::string(name.data()), c.name);
    }
}

TEST(FaceName, ASmallBufferTakesOnlyTheCharactersWhoseOffsetsFit) {
    std::array<char, 10> name{};
    name.fill('#');
    EXPECT_EQ(FC_GetFaceName(fixtureFont("shapes.ttf").c_str(), name.data(), 10), 0);
    // Odd offsets 1, 3, 5, 7 and 9 lie below 10: five characters and the NUL.
    EXPECT_EQ(std::string(name.data()), "Glyph");
    EXPECT_EQ(name[6], '#');
}

TEST(FaceName, HeaderNameIsCutToSixtyThreeCharacters) {
    ScratchDir dir;
    const LxfFont font =
        convertFont(fixtureFont("names-english-variant.ttf"), dir, {.pointSize = 12});
    const auto& field = font.header().name;
    EXPECT_EQ(font.header().nameText(), ("12pt " + kLongName).substr(0, 63));
    EXPECT_EQ(field[63], '\0');
}

TEST(FaceName, HeaderNameStaysZeroWithoutAUsableRecord) {
    ScratchDir dir;
    const LxfFont font = convertFont(fixtureFont("names-none.ttf"), dir);
    for (char byte : font.header().name) ASSERT_EQ(byte, '\0');
}

TEST(FaceName, RealFontsWithUnicodeMaps) {
    const FaceNameCase cases[] = {
        {"dejavu/DejaVuSans.ttf", 0, "DejaVu Sans"},
        {"dejavu/DejaVuSans-BoldOblique.ttf", 0, "DejaVu Sans Bold Oblique"},
        {"liberation/LiberationSerif-Italic.ttf", 0, "Liberation Serif Italic"},
        {"freefont/FreeMono.ttf", 0, "FreeMono"},
    };
    for (const FaceNameCase& c : cases) {
        std::array<char, 257> name{};
        EXPECT_EQ(FC_GetFaceName(systemFont(c.font).c_str(), name.data(), name.size()), c.result);
        EXPECT_EQ(std::string(name.data()), c.name);
    }
}

}  // namespace
}  // namespace glyphbake::test
