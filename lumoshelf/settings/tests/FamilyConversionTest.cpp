#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "TestFolder.h"
#include "glyphbake/LxfFile.h"
#include "settings/FaceStyleMatch.h"
#include "settings/FamilyConversion.h"

namespace fs = std::filesystem;

namespace {

const fs::path kFonts = FONTPAGE_TEST_FONTS;

FontFace Face(const char* name, const char* file) { return {name, (kFonts / file).string()}; }

std::string HeaderName(const std::string& path) {
    std::string error;
    const auto font = glyphbake::LxfFont::readFile(path, error);
    return font ? font->header().nameText() : "unreadable: " + error;
}

std::vector<std::string> FileNames(const std::vector<std::string>& paths) {
    std::vector<std::string> names;
    for (const std::string& path : paths) names.push_back(fs::path(path).filename());
    return names;
}

TEST(FaceStyleMatchTest, MatchesTheStyleNameIgnoringCaseOnlyAndWrapsAfterTheSelection) {
    const std::vector<FontFace> faces = {Face("Book BOLD", "book-bold.ttf"),
                                         Face("Book", "book.ttf"),
                                         Face("book bold italic", "book-bold-italic.ttf"),
                                         Face("Slate", "slate.ttf"),
                                         Face("Slate Demi", "slate-demi.ttf"),
                                         Face("Slate-Bold", "slate-dash-bold.ttf"),
                                         Face("Slate BOLDER", "slate-demi.ttf")};
    EXPECT_EQ(FindStyleFace(faces, 1, " BOLD"), 0u);  // found only after wrapping to the top
    EXPECT_EQ(FindStyleFace(faces, 1, " BOLD ITALIC"), 2u);
    EXPECT_EQ(FindStyleFace(faces, 1, " ITALIC"), std::nullopt);
    EXPECT_EQ(FindStyleFace(faces, 3, " BOLD"), std::nullopt);
    EXPECT_EQ(FindStyleFace(faces, 7, " BOLD"), std::nullopt);
    EXPECT_EQ(FindStyleFace({}, 0, " BOLD"), std::nullopt);
}

TEST(FontLimitTest, OnlyAFileOverTwoHundredThousandBytesIsOverTheLimit) {
    EXPECT_FALSE(IsOverReaderFontLimit(0));
    EXPECT_FALSE(IsOverReaderFontLimit(200000));
    EXPECT_TRUE(IsOverReaderFontLimit(200001));
}

class FamilyConversionTest : public TestFolder {};

TEST_F(FamilyConversionTest, AMissingStyleUsesTheRegularFileAndTheOthersAreConverted) {
    const std::vector<FontFace> faces = {Face("Book", "book.ttf"),
                                         Face("Book BOLD", "book-bold.ttf"),
                                         Face("Book BOLD ITALIC", "book-bold-italic.ttf")};
    const FamilyFiles made = ConvertFamily("LARGE", faces, 0, 12, dir);
    ASSERT_TRUE(made.converted);
    EXPECT_EQ(made.readerNames,
              (std::array<std::string, 4>{"LARGE.LXF", "LARGE.LXF", "LARGEB.LXF", "LARGEBI.LXF"}));
    EXPECT_EQ(FileNames(made.madeFiles),
              (std::vector<std::string>{"LARGE.LXF", "LARGEB.LXF", "LARGEBI.LXF"}));
    EXPECT_EQ(HeaderName(made.madeFiles[0]), "12pt Book");
    EXPECT_EQ(HeaderName(made.madeFiles[1]), "12pt Book BOLD");
    EXPECT_EQ(HeaderName(made.madeFiles[2]), "12pt Book BOLD ITALIC");
    EXPECT_FALSE(made.oversized);
    EXPECT_FALSE(fs::exists(dir / "LARGEI.LXF"));
}

TEST_F(FamilyConversionTest, AStyleThatFailsToConvertFallsBackToTheRegularFont) {
    std::ofstream(dir / "broken.ttf") << "not a font";
    const std::vector<FontFace> faces = {Face("Paper", "paper.ttf"),
                                         Face("Paper Bold", "paper-bold.ttf"),
                                         {"Paper Italic", (dir / "broken.ttf").string()},
                                         Face("Slate-Bold", "slate-dash-bold.ttf")};
    const FamilyFiles made = ConvertFamily("SMALL", faces, 0, 10, dir);
    ASSERT_TRUE(made.converted);
    EXPECT_EQ(made.readerNames,
              (std::array<std::string, 4>{"SMALL.LXF", "SMALL.LXF", "SMALLB.LXF", "SMALL.LXF"}));
    EXPECT_EQ(FileNames(made.madeFiles), (std::vector<std::string>{"SMALL.LXF", "SMALLB.LXF"}));
    EXPECT_EQ(HeaderName(made.madeFiles[1]), "10pt Paper Bold");
    EXPECT_FALSE(fs::exists(dir / "SMALLI.LXF"));
}

TEST_F(FamilyConversionTest, AFailedRegularFaceMakesNothingAndALargeSizeIsFlagged) {
    const std::vector<FontFace> faces = {Face("Book", "book.ttf"),
                                         Face("Book BOLD", "book-bold.ttf")};
    // A cell over 255 pixels wide: the converter refuses it.
    const FamilyFiles refused = ConvertFamily("LARGE", faces, 0, 2000, dir);
    EXPECT_FALSE(refused.converted);
    EXPECT_TRUE(refused.madeFiles.empty());
    EXPECT_TRUE(fs::is_empty(dir));
    EXPECT_FALSE(ConvertFamily("LARGE", faces, 2, 12, dir).converted);

    const FamilyFiles large = ConvertFamily("LARGE", faces, 0, 600, dir);
    ASSERT_TRUE(large.converted);
    EXPECT_GT(fs::file_size(large.madeFiles[0]), kReaderFontLimitBytes);
    EXPECT_TRUE(large.oversized);
}

}  // namespace
