// The shapes fixtures have 100 units per em: at 72 points one unit is one pixel, so every cell
// below is worked out by hand from the rectangles in fonts/make_fixtures.py.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "glyphbake/glyphbake.h"
#include "test_support.h"

namespace glyphbake::test {
namespace {

// Widest box "wide" (11 px), tallest "deep" (13 px, lowest bottom -3 px). The baseline is 3 rows
// above the bottom row, so font row y (from y to y + 1) lands on cell row 11 - y.
constexpr int kWidth = 11;
constexpr int kRows = 13 + 2;
constexpr int kBaselineRow = 11;

struct Ink {
    int firstColumn, lastColumn, bottomY, topY;  // font pixels, ends included
};

struct CodeCase {
    const char* what;
    int code;
    int width;
    std::optional<Ink> ink;
};

std::vector<uint8_t> expectedCell(const LxfHeader& header, const std::optional<Ink>& ink) {
    if (!ink) return std::vector<uint8_t>(static_cast<std::size_t>(header.glyphBitmapSize));
    return cellWithInk(header, ink->firstColumn, ink->lastColumn, kBaselineRow - ink->topY,
                       kBaselineRow - ink->bottomY);
}

void expectCodes(const LxfFont& font, const std::vector<CodeCase>& cases) {
    for (const CodeCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(font.width(c.code), c.width);
        const std::span<const uint8_t> image = font.image(c.code);
        EXPECT_EQ(std::vector<uint8_t>(image.begin(), image.end()),
                  expectedCell(font.header(), c.ink));
    }
}

TEST(ConversionLayout, HeaderDescribesCellRangeAndBaseline) {
    ScratchDir dir;
    const LxfFont font = convertFont(fixtureFont("shapes.ttf"), dir);
    const LxfHeader& header = font.header();
    EXPECT_EQ(header.nameText(), "72pt Glyphbake Test Shapes");
    EXPECT_EQ(header.cellWidth, kWidth);
    EXPECT_EQ(header.rows, kRows);
    EXPECT_EQ(header.glyphBitmapSize, kRows * 2);
    EXPECT_EQ(header.pointSize, 72);
    EXPECT_EQ(header.extraRows, 2);
    EXPECT_EQ(header.descent, 3);
    // Code 0 has a glyph but never opens the range; 512 lies beyond the table.
    EXPECT_EQ(header.firstChar, 44);
    EXPECT_EQ(header.lastChar, 511);
    EXPECT_EQ(header.fixedField, 32);
    EXPECT_EQ(header.widthTableOffset, 116);
    EXPECT_EQ(header.bitmapOffset, 116 + 468);
    EXPECT_EQ(readBytes(dir.file("font.lxf")).size(), 116u + 468u + 468u * kRows * 2);
}

TEST(ConversionLayout, WidthBytesAndCellsOfEachGlyphShape) {
    ScratchDir dir;
    const LxfFont font = convertFont(fixtureFont("shapes.ttf"), dir);
    expectCodes(
        font,
        {
            {"square: one pixel on the baseline", 'A', 2, Ink{0, 0, 0, 0}},
            {"corner: right edge beyond the advance", 'B', 10, Ink{9, 9, 0, 0}},
            {"neg: left bearing -2 widens the advance and shifts the glyph", 'C', 8,
             Ink{0, 4, 0, 4}},
            {"wide: ink right of the cell is lost", 'D', 12, Ink{1, 10, 0, 1}},
            {"deep: reaches the bottom row, extra rows stay clear", 'E', 3, Ink{0, 1, -3, 9}},
            // The right edge 200 is -56 as a signed byte, so the advance wins; the ink is outside.
            {"far: signed comparison of the right edge", 'F', 10, std::nullopt},
            {"code without a glyph", '-', 0, std::nullopt},
            {"comma", 44, 3, Ink{1, 1, -2, 0}},
            {"last code of the table", 511, 2, Ink{0, 0, 0, 0}},
        });
}

TEST(ConversionLayout, ImageBytesAreBitReversedSoBitZeroIsTheLeftmostPixel) {
    ScratchDir dir;
    const LxfFont font = convertFont(fixtureFont("shapes.ttf"), dir);
    const auto row = [&](int code, int cellRow) {
        const std::span<const uint8_t> image = font.image(code);
        return std::vector<uint8_t>(image.begin() + cellRow * 2, image.begin() + cellRow * 2 + 2);
    };
    EXPECT_EQ(row('A', kBaselineRow), (std::vector<uint8_t>{0x01, 0x00}));
    EXPECT_EQ(row('B', kBaselineRow), (std::vector<uint8_t>{0x00, 0x02}));
    EXPECT_EQ(row('D', kBaselineRow), (std::vector<uint8_t>{0xFE, 0x07}));
}

TEST(ConversionLayout, ControlCodesShowPrintableGlyphsThroughBothMaps) {
    ScratchDir dir;
    const LxfFont font = convertFont(fixtureFont("shapes.ttf"), dir);
    const Ink ctrl{0, 0, 0, 8};
    const Ink underscore{0, 5, -1, -1};
    const Ink tilde{0, 5, 6, 6};
    expectCodes(font, {
                          {"128 keeps the Unicode map's glyph", 128, 2, ctrl},
                          {"130 is the comma", 130, 3, Ink{1, 1, -2, 0}},
                          {"138 is the low line", 138, 6, underscore},
                          {"154 is the low line", 154, 6, underscore},
                          {"152 is the tilde", 152, 6, tilde},
                          {"147 is the Roman map's left double quote", 147, 4, Ink{0, 2, 8, 9}},
                          {"131 is Roman 196, which this font lacks", 131, 0, std::nullopt},
                      });
}

TEST(ConversionLayout, WithoutRomanMapTheUnicodeGlyphsStay) {
    ScratchDir dir;
    const LxfFont font = convertFont(fixtureFont("shapes-unicode-only.ttf"), dir);
    const Ink ctrl{0, 0, 0, 8};
    expectCodes(font, {
                          {"147", 147, 2, ctrl},
                          {"131", 131, 2, ctrl},
                          {"130 is still the comma", 130, 3, Ink{1, 1, -2, 0}},
                      });
}

TEST(ConversionLayout, FixedWidthGivesEveryCodeTheCellWidth) {
    ScratchDir dir;
    const LxfFont font = convertFont(fixtureFont("shapes.ttf"), dir, {.fixedWidth = true});
    for (int code = font.header().firstChar; code <= font.header().lastChar; ++code) {
        ASSERT_EQ(font.width(code), kWidth) << "code " << code;
    }
    EXPECT_EQ(font.image('C')[7 * 2], 0x1F);
}

TEST(ConversionLayout, OnlyTheLowSixteenBitsOfThePointSizeCount) {
    ScratchDir dir;
    const LxfFont font = convertFont(fixtureFont("shapes.ttf"), dir, {.pointSize = 0x10000 + 72});
    EXPECT_EQ(font.header().pointSize, 72);
    EXPECT_EQ(font.header().cellWidth, kWidth);
    EXPECT_EQ(font.header().nameText(), "72pt Glyphbake Test Shapes");
}

TEST(ConversionLayout, ExtraRowsAreAddedAboveTheGlyphs) {
    ScratchDir dir;
    const LxfFont font = convertFont(fixtureFont("shapes.ttf"), dir, {.extraRows = 0});
    EXPECT_EQ(font.header().rows, 13);
    EXPECT_EQ(font.header().extraRows, 0);
    EXPECT_TRUE(font.ink('E', 0, 0));  // "deep" now touches the top row
    EXPECT_TRUE(font.ink('A', 0, kBaselineRow - 2));
}

TEST(ConversionLayout, AFontWithoutHintsIsScaledAsItStands) {
    // At 36 points a font unit is half a pixel. The boxes are the scaled rectangles widened to
    // whole pixels and the advances are rounded; an auto-hinter would move edges and advances.
    ScratchDir dir;
    const LxfFont font = convertFont(fixtureFont("shapes.ttf"), dir, {.pointSize = 36});
    EXPECT_EQ(font.header().cellWidth, 6);  // "wide" 0.5 to 6
    EXPECT_EQ(font.header().rows, 7 + 2);   // "deep" -1.5 to 5
    EXPECT_EQ(font.header().descent, 2);
    EXPECT_EQ(font.width('A'), 1);      // advance 1
    EXPECT_EQ(font.width('C'), 3 + 1);  // advance 3, left edge -1
    EXPECT_EQ(font.width('E'), 2);      // advance 1.5
}

TEST(ConversionLayout, AnalysisOnlyWritesNothing) {
    ScratchDir dir;
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.file(""));
    EXPECT_EQ(FC_TTFtoLXF(fixtureFont("shapes.ttf").c_str(), 72, 2, nullptr, 'A', 0, 0), 0);
    EXPECT_EQ(FC_TTFtoLXF(fixtureFont("symbol.ttf").c_str(), 72, 2, nullptr, 'A', 0, 0), 1);
    std::filesystem::current_path(previous);
    EXPECT_TRUE(dir.isEmpty());
}

TEST(ConversionLayout, AnExistingOutputFileIsReplaced) {
    ScratchDir dir;
    writeBytes(dir.file("font.lxf"), std::vector<uint8_t>(100000, 0xAA));
    const LxfFont font = convertFont(fixtureFont("shapes.ttf"), dir);
    EXPECT_EQ(readBytes(dir.file("font.lxf")).size(), 116u + 468u + 468u * kRows * 2);
}

}  // namespace
}  // namespace glyphbake::test
