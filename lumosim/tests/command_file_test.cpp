#include "lumosim/CommandFile.h"

#include <gtest/gtest.h>

#include "lumosim/Flash.h"
#include "lumosim/ReaderSettings.h"
#include "lumosim/harness/TestFiles.h"

namespace lumosim {
namespace {

using testing::Bytes;

class CommandFileTest : public ::testing::Test {
protected:
    CommandOutcome Apply(const std::string& text) {
        return ApplyCommandFile(Bytes(text), settings_, flash_);
    }

    testing::TempFolder folder_;
    Flash flash_{folder_.Path(), 1 << 20};
    ReaderSettings settings_;
};

TEST_F(CommandFileTest, SettingsCommandsAsTheLibraryWritesThem) {
    const std::string filler(128, ' ');
    Apply(
        "CMD!\r\nSETDATE 7 12 1999\r\nSETTIME 14 5 0\r\nSETDATEFORM 1 -\r\nSETTIMEFORM 1 .\r\n"
        "SETTZONE -5\r\nSETAUTO 1200\r\nDONTREPAG\r\n" +
        filler + "\r\n");

    EXPECT_EQ(settings_.lastError, kCommandOk);
    const auto now = settings_.clock.Now();
    EXPECT_EQ(now.day, 7);
    EXPECT_EQ(now.month, 12);
    EXPECT_EQ(now.year, 1999);
    EXPECT_EQ(now.hour, 14);
    EXPECT_EQ(now.minute, 5);
    EXPECT_LE(now.second, 2);
    EXPECT_EQ(settings_.dateFormat, 1);
    EXPECT_EQ(settings_.dateSeparator, '-');
    EXPECT_EQ(settings_.timeFormat, 1);
    EXPECT_EQ(settings_.timeSeparator, '.');
    EXPECT_EQ(settings_.timeZone, -5);
    EXPECT_EQ(settings_.autoOffSeconds, 1200);
    EXPECT_FALSE(settings_.repaginate);

    Apply("CMD!\nREPAG\nSETDATEFORM 2  \n");  // line feeds alone, and a space as separator
    EXPECT_EQ(settings_.lastError, kCommandOk);
    EXPECT_TRUE(settings_.repaginate);
    EXPECT_EQ(settings_.dateSeparator, ' ');
}

TEST_F(CommandFileTest, TheFirstFailingLineSetsTheLastErrorAndTheRestStillApply) {
    struct Case {
        const char* file;
        int lastError;
    };
    const Case cases[] = {
        {"SETDATE 7 12 1999\r\n", kNotACommandFile},
        {"", kNotACommandFile},
        {"CMD!\r\nSETCOLOUR 3\r\nSETTZONE 2\r\n", kUnknownCommand},
        {"CMD!\r\nSETDATE 32 1 2000\r\nSETTZONE 2\r\n", kBadArguments},
        {"CMD!\r\nSETTIME 10 5\r\nSETTZONE 2\r\n", kBadArguments},
        {"CMD!\r\nSETDATEFORM 1 \"\r\nSETTZONE 2\r\n", kBadArguments},
        {"CMD!\r\nSETTZONE x\r\nSETTZONE 2\r\n", kBadArguments},
        {"CMD!\r\nSETLARGE LARGE.LXF LARGEI.LXF LARGEB.LXF LARGEBI.LXF\r\nSETTZONE 2\r\n",
         kFontFileMissing},
        {"CMD!\r\nINITDIR SOMEONE-ELSE\r\nSETTZONE 2\r\n", kWrongIdentifier},
    };
    for (const Case& c : cases) {
        settings_.timeZone = 0;
        Apply(c.file);
        EXPECT_EQ(settings_.lastError, c.lastError) << c.file;
        if (c.lastError != kNotACommandFile) {
            EXPECT_EQ(settings_.timeZone, 2) << c.file;
        }
    }
}

TEST_F(CommandFileTest, FontCommandsInTheOrderTheFontsPageSendsThem) {
    testing::WriteFile(folder_.Path() / "LARGE.LXF",
                       testing::MakeFontHeader("16pt DejaVu Sans", 16));
    Apply("CMD!\r\nSETLARGE LARGE.LXF LARGE.LXF LARGEB.LXF LARGEBI.LXF\r\n");
    EXPECT_EQ(settings_.lastError, kCommandOk);
    EXPECT_EQ(settings_.largeFont.name, "16pt DejaVu Sans");
    EXPECT_EQ(settings_.largeFont.size, 16);
    EXPECT_EQ(settings_.largeFont.flag, 'U');

    // Erasing the font in use brings back the built-in one.
    Apply(
        "CMD!\r\nDONTREPAG\r\nSETLARGE SYSTEM_LARGE SYSTEM_LARGE_ITALIC SYSTEM_LARGE_BOLD "
        "SYSTEM_LARGE_BOLD_ITALIC\r\nFERASE LARGE.LXF\r\nFERASE LARGEI.LXF\r\n");
    EXPECT_EQ(settings_.lastError, kCommandOk);
    EXPECT_EQ(settings_.largeFont.flag, 'S');
    EXPECT_FALSE(flash_.Find("LARGE.LXF"));

    testing::WriteFile(folder_.Path() / "small.lxf", testing::MakeFontHeader("", 9));
    Apply("CMD!\r\nSETSMALL SMALL.LXF SMALL.LXF SMALL.LXF SMALL.LXF\r\nFERASE small.lxf\r\n");
    EXPECT_EQ(settings_.smallFont.flag, 'S');
}

TEST_F(CommandFileTest, InitDirWithTheReadersOwnIdentifierFormatsTheFlash) {
    testing::WriteFile(folder_.Path() / "a.lx", Bytes("x"));
    testing::WriteFile(folder_.Path() / "a.la", Bytes("y"));
    const int sync = settings_.syncCount;
    Apply("CMD!\r\nINITDIR " + settings_.identifier + "\r\n");
    EXPECT_EQ(settings_.lastError, kCommandOk);
    EXPECT_TRUE(flash_.ListNames().empty());
    EXPECT_GT(settings_.syncCount, sync);
}

TEST_F(CommandFileTest, ResetAsksForARestart) {
    EXPECT_TRUE(Apply("CMD!\r\nRESET\r\n").restart);
    EXPECT_FALSE(Apply("CMD!\r\nREPAG\r\n").restart);
}

}  // namespace
}  // namespace lumosim
