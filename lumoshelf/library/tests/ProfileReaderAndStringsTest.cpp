#include <gtest/gtest.h>

#include "TempFolder.h"
#include "library/ProfileReader.h"
#include "library/StringTable.h"

namespace {

TEST(ProfileReader, FollowsTheWindowsProfileRules) {
    const CLXProfileReader reader(
        "Title=ignored before any section\r\n"
        "[LumoBook]\r\n"
        "  Title  =  \"Quoted Title\"  \r\n"
        "title=Second occurrence loses\r\n"
        "Author='Single'\r\n"
        "ISBN=\"only opening\r\n"
        "Comment=a ; not a comment\r\n"
        "Count= -12abc\r\n"
        "Empty=\r\n"
        "[lumobook]\r\n"
        "Later=from a repeated section\r\n");
    struct Case {
        const char* key;
        const char* expected;
    } cases[] = {{"TITLE", "Quoted Title"},
                 {"author", "Single"},
                 {"ISBN", "\"only opening"},
                 {"Comment", "a ; not a comment"},
                 {"Empty", ""},
                 {"Later", "from a repeated section"}};
    for (const Case& c : cases) {
        auto value = reader.Find("LUMOBOOK", c.key);
        ASSERT_TRUE(value) << c.key;
        EXPECT_EQ(*value, c.expected) << c.key;
    }
    EXPECT_FALSE(reader.Find("LumoBook", "Missing"));
    EXPECT_FALSE(reader.Find("Other", "Title"));
    EXPECT_EQ(reader.GetString("LumoBook", "Empty", "[none]"), "[none]");
    EXPECT_EQ(reader.GetString("LumoBook", "Title", "", 6), "Quote");
    EXPECT_EQ(reader.GetInt("LumoBook", "Count", 5), -12);
    EXPECT_EQ(reader.GetInt("LumoBook", "Empty", 5), 0);
    EXPECT_EQ(reader.GetInt("LumoBook", "Missing", -1), -1);
}

TEST(StringTable, BuiltInTextsOverridesAndFallbacks) {
    CLXStringTable& table = CLXStringTable::Instance();
    EXPECT_EQ(LXString(303), "Not Available");
    EXPECT_EQ(LXString(61455), "Error was encountered in adding the new title to the library.");
    EXPECT_EQ(LXString(61449), "The following title has been added to your library:\r\n");
    EXPECT_EQ(MessageText(9999), "An unknown error has occurred.");

    TempFolder folder;
    WriteTextFile(folder / "strings_de.ini",
                  "[Strings]\n303=Nicht verf\xC3\xBC"
                  "gbar\n1003=Fehler\\nZeile 2\n");
    ASSERT_TRUE(table.LoadOverrides(folder.path().string(), "de"));
    EXPECT_EQ(LXString(303), "Nicht verf\xC3\xBCgbar");
    EXPECT_EQ(MessageText(9999), "Fehler\nZeile 2");
    EXPECT_EQ(LXString(358), "<All>");
    EXPECT_FALSE(table.LoadOverrides(folder.path().string(), "fr"));
    table.ClearOverrides();
    EXPECT_EQ(LXString(303), "Not Available");
}

TEST(StringTable, LanguageCodeComesFromTheLocaleEnvironment) {
    ::setenv("LC_ALL", "de_DE.UTF-8", 1);
    EXPECT_EQ(CurrentLanguageCode(), "de");
    ::setenv("LC_ALL", "C", 1);
    ::unsetenv("LC_MESSAGES");
    ::unsetenv("LANG");
    EXPECT_EQ(CurrentLanguageCode(), "en");
    ::unsetenv("LC_ALL");
}

}  // namespace
