#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "TestFolder.h"
#include "library/FileUtil.h"
#include "library/SettingsStore.h"
#include "settings/FontDirectory.h"
#include "settings/FontFaceList.h"
#include "settings/PointSizeText.h"

namespace fs = std::filesystem;

namespace {

const fs::path kPageFonts = FONTPAGE_TEST_FONTS;
const fs::path kGlyphbakeFonts = GLYPHBAKE_TEST_FONTS;

std::vector<std::string> NamesOf(const std::vector<std::string>& paths, const fs::path& base) {
    std::vector<std::string> names;
    for (const std::string& path : paths) names.push_back(fs::path(path).lexically_relative(base));
    return names;
}

class FontFilesTest : public TestFolder {};

TEST_F(FontFilesTest, TheFolderWalkListsRegularTrueTypeFilesInAnyLetterCaseOnly) {
    const fs::path fonts = dir / "fonts";
    fs::create_directories(fonts / "sub/deeper");
    fs::create_directories(fonts / "folder.ttf");
    fs::create_directories(dir / "elsewhere");
    for (const char* name : {"a.ttf", "B.TTF", "c.Ttf", "sub/deeper/d.ttf", "e.otf", "f.ttf.bak",
                             "../elsewhere/g.ttf"}) {
        std::ofstream(fonts / name) << "x";
    }
    fs::create_directory_symlink(dir / "elsewhere", fonts / "linked");
    fs::create_directory_symlink(fonts, fonts / "sub/loop");
    fs::create_symlink(fonts / "a.ttf", fonts / "alias.ttf");
    fs::create_symlink(fonts / "gone.ttf", fonts / "dangling.ttf");
    ASSERT_EQ(mkfifo((fonts / "pipe.ttf").c_str(), 0600), 0);

    EXPECT_EQ(
        NamesOf(TrueTypeFilesIn(fonts.string()), fonts),
        (std::vector<std::string>{"B.TTF", "a.ttf", "alias.ttf", "c.Ttf", "sub/deeper/d.ttf"}));
    EXPECT_TRUE(TrueTypeFilesIn((dir / "missing").string()).empty());
}

TEST_F(FontFilesTest, TheFontDirSettingChoosesTheFolderAndFontconfigServesWithoutIt) {
    std::ofstream(dir / "settings.ini") << "[Data Locations]\nLibraryDir=/lib\n";
    CLXSettingsStore settings((dir / "settings.ini").string());

    const std::vector<std::string> system = ListTrueTypeFiles(settings);
    EXPECT_NE(
        std::find(system.begin(), system.end(), "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"),
        system.end());
    EXPECT_TRUE(std::is_sorted(system.begin(), system.end()));
    for (const std::string& path : system) EXPECT_EQ(lumo::LowerExtension(path), ".ttf") << path;

    fs::create_directory(dir / "fonts");
    fs::copy_file(kPageFonts / "book.ttf", dir / "fonts/book.ttf");
    settings.WriteString((dir / "fonts").string(), "Data Locations", "FontDir");
    EXPECT_EQ(ListTrueTypeFiles(settings),
              (std::vector<std::string>{(dir / "fonts/book.ttf").string()}));
}

TEST_F(FontFilesTest, FacesAreSortedByNameAndUnusableFontsAreLeftOut) {
    const std::vector<FontFace> faces = ListFontFaces({
        (kPageFonts / "slate.ttf").string(),
        (kGlyphbakeFonts / "symbol.ttf").string(),      // no Unicode map
        (kGlyphbakeFonts / "names-none.ttf").string(),  // no English full name
        (kPageFonts / "book-bold.ttf").string(),
        (dir / "missing.ttf").string(),
        (kPageFonts / "book.ttf").string(),
        (kPageFonts / "book.ttf").string(),
    });
    std::vector<std::string> names;
    for (const FontFace& face : faces) names.push_back(face.name);
    EXPECT_EQ(names, (std::vector<std::string>{"Book", "Book", "Book BOLD", "Slate"}));
    EXPECT_EQ(faces[2].path, (kPageFonts / "book-bold.ttf").string());
}

TEST(PointSizeTextTest, ReadsLeadingDigitsAndRefusesWhatIsNoSixteenBitSize) {
    const struct {
        const char* text;
        int size;
    } cases[] = {
        {"12", 12},       {"8", 8},
        {" 14", 14},      {"12pt", 12},
        {"12000", 12000}, {"32767", 32767},
        {"32768", 0},     {"65548", 0},
        {"99999999", 0},  {"99999999999999999999999", 0},
        {"abc", 0},       {"", 0},
        {"   ", 0},       {"0", 0},
        {"-12", 0},       {"007", 7},
    };
    for (const auto& c : cases) EXPECT_EQ(ReadPointSize(c.text), c.size) << '"' << c.text << '"';
}

}  // namespace
