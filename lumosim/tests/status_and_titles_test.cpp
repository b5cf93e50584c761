#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "TitleListReader.h"
#include "lumosim/EditionInfo.h"
#include "lumosim/Flash.h"
#include "lumosim/ReaderSettings.h"
#include "lumosim/StatusFile.h"
#include "lumosim/TitleList.h"
#include "lumosim/harness/TestFiles.h"

namespace lumosim {
namespace {

using testing::Bytes;
using testing::MakeEdition;

// A status line cut as the library's status reader cuts it: at '=', '"', CR and LF, a run of
// them being one cut.
std::vector<std::string> Tokens(const std::string& line) {
    std::vector<std::string> tokens;
    std::string token;
    for (char c : line) {
        if (c == '=' || c == '"' || c == '\r' || c == '\n') {
            if (!token.empty()) tokens.push_back(token);
            token.clear();
        } else {
            token += c;
        }
    }
    if (!token.empty()) tokens.push_back(token);
    return tokens;
}

std::map<std::string, std::vector<std::string>> StatusValues(const std::vector<uint8_t>& file) {
    std::map<std::string, std::vector<std::string>> values;
    std::string text = testing::Text(file);
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        auto tokens = Tokens(text.substr(start, end - start));
        if (!tokens.empty()) values[tokens[0]] = {tokens.begin() + 1, tokens.end()};
        start = end == std::string::npos ? text.size() : end + 1;
    }
    return values;
}

TEST(StatusFileTest, ReportsTheSettingsInTheKeywordFormat) {
    testing::TempFolder folder;
    Flash flash(folder.Path(), 5000);
    testing::WriteFile(folder.Path() / "a.lx", std::vector<uint8_t>(1000));
    ReaderSettings settings;
    settings.identifier = "RDR-42";
    settings.dateFormat = 2;
    settings.dateSeparator = '-';
    settings.timeZone = -5;
    settings.largeFont = {"16pt DejaVu Sans Mono", 16, 'U', "LARGE.LXF"};

    auto values = StatusValues(BuildStatusFile(settings, flash));
    using V = std::vector<std::string>;
    EXPECT_EQ(values["DEVICEID"], V{"RDR-42"});
    EXPECT_EQ(values["VERSION"], V{"001.024-RM-024-R"});
    EXPECT_EQ(values["FLASHFREE"], V{"4000"});
    EXPECT_EQ(values["SETDATEFORM"], (V{"2", " ", "-"}));
    EXPECT_EQ(values["SETTZONE"], V{"-5"});
    // The library skips the first word of a font's name and keeps the rest as its face.
    EXPECT_EQ(values["SETLARGE"], (V{"16pt DejaVu Sans Mono", " ", "16", " ", "U"}));
    EXPECT_EQ(values["SETSMALL"], (V{"10pt Lumo Serif", " ", "10", " ", "S"}));
    for (const char* keyword :
         {"EXTERNAL_VERSION", "LANGUAGE", "LASTERR", "SETAUTO", "SETTIMEFORM", "SYNC"}) {
        EXPECT_TRUE(values.count(keyword)) << keyword;
    }
}

TEST(TitleListTest, ListsEditionsWithTheirMarkupFlags) {
    testing::TempFolder folder;
    Flash flash(folder.Path(), 1 << 20);
    const auto novel = MakeEdition(
        "Title=A \"quoted\" novel\r\nAuthor=Ann Author\r\nISBN=123\r\nurl=ebook:novel\r\n"
        "username=ann\r\npub_name=Press\r\n");
    testing::WriteFile(folder.Path() / "novel.lx", novel);
    testing::WriteFile(folder.Path() / "novel.LA", Bytes("annotations"));
    testing::WriteFile(folder.Path() / "novel.ln", Bytes("notes"));
    testing::WriteFile(folder.Path() / "paper.lx",
                       MakeEdition("Title=Daily\nPERIODICAL_ID=P1\nPERIODICAL_NAME=The Daily\n"));
    testing::WriteFile(folder.Path() / "broken.lx", Bytes("not an edition"));
    testing::WriteFile(folder.Path() / "LARGE.LXF", testing::MakeFontHeader("12pt X", 12));

    const testing::TitleListReader list(BuildTitleList(flash));
    EXPECT_EQ(list.Value("Version"), "1.0");
    ASSERT_EQ(list.Value("TITLECOUNT"), "2");
    EXPECT_EQ(list.Field(0, "filename"), "novel.lx");
    EXPECT_EQ(list.Field(0, "size"), std::to_string(novel.size()));
    EXPECT_EQ(list.Field(0, "title"), "A 'quoted' novel");
    EXPECT_EQ(list.Field(0, "author"), "Ann Author");
    EXPECT_EQ(list.Field(0, "publisher"), "Press");
    EXPECT_EQ(list.Field(0, "url"), "ebook:novel");
    EXPECT_EQ(list.Field(0, "username"), "ann");
    EXPECT_EQ(list.Field(0, "LA"), "yes");
    EXPECT_EQ(list.Field(0, "LH"), "no");
    EXPECT_EQ(list.Field(0, "LN"), "yes");
    EXPECT_EQ(list.Field(0, "PERIODICAL_ID"), "");
    EXPECT_EQ(list.Field(1, "filename"), "paper.lx");
    EXPECT_EQ(list.Field(1, "url"), "");
    EXPECT_EQ(list.Field(1, "PERIODICAL_ID"), "P1");
    EXPECT_EQ(list.Field(1, "PERIODICAL_NAME"), "The Daily");
    EXPECT_EQ(list.Field(1, "LA"), "no");
}

TEST(EditionInfoTest, CutOrDamagedEditionsAreRejected) {
    const auto edition = MakeEdition("Title=Whole\r\n");
    ASSERT_TRUE(ReadEditionInfo(edition));
    for (std::size_t size = 0; size < edition.size(); ++size) {
        const auto cut = std::span(edition).first(size);
        EXPECT_FALSE(ReadEditionInfo(cut)) << size;
    }
    // Offsets and counts that point past the end.
    for (std::size_t field : {24u, 296u, 296u + 4 + 44 + 32, 296u + 4 + 44 + 36}) {
        auto damaged = edition;
        damaged[field + 3] = 0x7F;
        EXPECT_FALSE(ReadEditionInfo(damaged)) << field;
    }
}

TEST(TitleListTest, AnEmptyFlashGivesACountOfZero) {
    testing::TempFolder folder;
    Flash flash(folder.Path(), 1000);
    const testing::TitleListReader list(BuildTitleList(flash));
    EXPECT_EQ(list.Value("TITLECOUNT"), "0");
    EXPECT_EQ(list.Value("Version"), "1.0");
}

}  // namespace
}  // namespace lumosim
