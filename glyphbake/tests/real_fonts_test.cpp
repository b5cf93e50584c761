// Fonts from the Debian font packages, converted at the reader fonts page's settings.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "test_support.h"

namespace glyphbake::test {
namespace {

std::vector<uint8_t> imageOf(const LxfFont& font, int code) {
    const std::span<const uint8_t> image = font.image(code);
    return std::vector<uint8_t>(image.begin(), image.end());
}

bool hasInk(const LxfFont& font, int code) {
    return std::ranges::any_of(font.image(code), [](uint8_t byte) { return byte != 0; });
}

// The cell rows that hold ink of the code, top row first.
std::pair<int, int> inkRows(const LxfFont& font, int code) {
    int top = -1;
    int bottom = -1;
    for (int row = 0; row < font.header().rows; ++row) {
        for (int x = 0; x < font.header().cellWidth; ++x) {
            if (font.ink(code, x, row)) {
                if (top < 0) top = row;
                bottom = row;
            }
        }
    }
    return {top, bottom};
}

class RealFont : public testing::TestWithParam<const char*> {
protected:
    ScratchDir dir;
    LxfFont font = convertFont(systemFont(GetParam()), dir, {.pointSize = 12});
};

TEST_P(RealFont, LatinTextSharesOneBaseline) {
    const LxfHeader& header = font.header();
    EXPECT_GE(header.firstChar, 1);
    EXPECT_LE(header.firstChar, 32);
    EXPECT_GT(header.lastChar, 255);
    EXPECT_LE(header.lastChar, 511);
    EXPECT_FALSE(hasInk(font, ' '));
    EXPECT_GT(font.width(' '), 0);

    const int baselineRow = header.rows - 1 - header.descent;
    for (int code : {'H', 'x', 'z', 'E'})
        EXPECT_EQ(inkRows(font, code).second, baselineRow) << code;
    EXPECT_GT(inkRows(font, 'p').second, baselineRow);
    // 12 points at 100 dpi are about 16.7 pixels per em; capitals are 10 to 13 of them.
    const auto [capTop, capBottom] = inkRows(font, 'H');
    EXPECT_GE(capBottom - capTop + 1, 10);
    EXPECT_LE(capBottom - capTop + 1, 13);
}

TEST_P(RealFont, SubstitutedCodesAreTheirSourceGlyphs) {
    const std::pair<int, int> substitutes[] = {{130, ','}, {138, '_'}, {152, '~'}, {154, '_'}};
    for (const auto& [code, source] : substitutes) {
        EXPECT_EQ(imageOf(font, code), imageOf(font, source)) << code;
        EXPECT_EQ(font.width(code), font.width(source)) << code;
    }
    // Through the Roman map: the double quotes and the dashes.
    for (int code : {147, 148, 150, 151}) EXPECT_TRUE(hasInk(font, code)) << code;
    EXPECT_NE(imageOf(font, 147), imageOf(font, 148));
    EXPECT_NE(imageOf(font, 150), imageOf(font, 151));
}

TEST_P(RealFont, FixedWidthMakesEveryCodeTheCellWidth) {
    ScratchDir fixedDir;
    const LxfFont fixed =
        convertFont(systemFont(GetParam()), fixedDir, {.pointSize = 12, .fixedWidth = true});
    for (int code = fixed.header().firstChar; code <= fixed.header().lastChar; ++code) {
        ASSERT_EQ(fixed.width(code), fixed.header().cellWidth) << code;
    }
    EXPECT_EQ(imageOf(fixed, 'g'), imageOf(font, 'g'));
}

INSTANTIATE_TEST_SUITE_P(DebianFonts, RealFont,
                         testing::Values("dejavu/DejaVuSans.ttf", "dejavu/DejaVuSerif-Italic.ttf",
                                         "liberation/LiberationSans-Regular.ttf",
                                         "liberation/LiberationMono-Bold.ttf",
                                         "freefont/FreeSerif.ttf"));

}  // namespace
}  // namespace glyphbake::test
