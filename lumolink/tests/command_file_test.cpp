// The command file builder and the font records.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "TempFolder.h"
#include "lumolink/LumoConnect.h"

namespace lumolink::testing {
namespace {

std::string ReadText(const std::string& path) {
    const auto bytes = TempFolder::Read(path);
    return std::string(bytes.begin(), bytes.end());
}

TEST(CommandFile, NewFacadeLeavesAFileWithTheHeaderLineInAPrivateFolder) {
    CLumoConnect facade;
    CLumoCmd* cmds = facade.GetCmds();
    cmds->Close();
    EXPECT_EQ(ReadText(cmds->GetPath()), "CMD!\r\n");
    EXPECT_FALSE(cmds->WriteFailed());
    // The object itself stands for its path.
    EXPECT_STREQ(reinterpret_cast<const char*>(cmds), cmds->GetPath());

    const std::filesystem::path folder = std::filesystem::path(cmds->GetPath()).parent_path();
    EXPECT_EQ(std::filesystem::path(cmds->GetPath()).filename(), "__CMDFILE");
    EXPECT_NE(folder, std::filesystem::temp_directory_path());
    struct stat info {};
    ASSERT_EQ(stat(folder.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
}

TEST(CommandFile, WritesEveryCommandAsOneCrLfLine) {
    CLumoConnect facade;
    CLumoCmd* cmds = facade.GetCmds();
    cmds->ReOpen();
    cmds->SetDate(7, 12, 1999);
    cmds->SetTime(14, 5, 0);
    cmds->SetPagination(0);
    cmds->SetPagination(5);
    cmds->SetDefaultFont(FAMILY_SIZE_LARGE);
    cmds->SetDefaultFont(static_cast<FamilySize>(2));
    cmds->EraseUserFont(FAMILY_SIZE_SMALL);
    cmds->SetUserFont(FAMILY_SIZE_LARGE, "LARGE.LXF", "LARGEI.LXF", "LARGEB.LXF", "LARGEBI.LXF");
    cmds->SetTimeZone(-5);
    cmds->SetDateFmt(static_cast<CLumoStatus::EDATEFMT>(1), '/');
    cmds->SetTimeFmt(CLumoStatus::TIMEFMT_24_HOUR, ':');
    cmds->SetAutoTimeOut(600);
    cmds->InitDir("READER0001");
    cmds->Reset();
    cmds->AddFiller();
    cmds->Close();
    const std::string expected =
        "CMD!\r\n"
        "SETDATE 7 12 1999\r\n"
        "SETTIME 14 5 0\r\n"
        "DONTREPAG\r\n"
        "REPAG\r\n"
        "SETLARGE SYSTEM_LARGE SYSTEM_LARGE_ITALIC SYSTEM_LARGE_BOLD SYSTEM_LARGE_BOLD_ITALIC\r\n"
        "SETSMALL SYSTEM_SMALL SYSTEM_SMALL_ITALIC SYSTEM_SMALL_BOLD SYSTEM_SMALL_BOLD_ITALIC\r\n"
        "FERASE SMALL.LXF\r\n"
        "FERASE SMALLI.LXF\r\n"
        "FERASE SMALLB.LXF\r\n"
        "FERASE SMALLBI.LXF\r\n"
        "SETLARGE LARGE.LXF LARGEI.LXF LARGEB.LXF LARGEBI.LXF\r\n"
        "SETTZONE -5\r\n"
        "SETDATEFORM 1 /\r\n"
        "SETTIMEFORM 1 :\r\n"
        "SETAUTO 600\r\n"
        "INITDIR READER0001\r\n"
        "RESET\r\n" +
        std::string(128, ' ') + "\r\n";
    EXPECT_EQ(ReadText(cmds->GetPath()), expected);
    EXPECT_FALSE(cmds->WriteFailed());
    // Closed and written: sending has nothing to do and succeeds.
    EXPECT_EQ(cmds->SendCmdFile(), EB_ERR_SUCCESS);
}

TEST(CommandFile, RemembersAFileThatCouldNotBeWrittenAndNeverFollowsALink) {
    CLumoConnect facade;
    CLumoCmd* cmds = facade.GetCmds();
    cmds->Close();
    TempFolder elsewhere;
    const std::string victim = elsewhere.Write("victim", {'v'});
    std::filesystem::remove(cmds->GetPath());
    std::filesystem::create_symlink(victim, cmds->GetPath());

    cmds->ReOpen();
    EXPECT_EQ(cmds->SetTimeZone(1), EB_ERR_SUCCESS);
    EXPECT_TRUE(cmds->WriteFailed());
    EXPECT_EQ(ReadText(victim), "v");
    EXPECT_EQ(cmds->SendCmdFile(), EB_ERR_CANT_ACCESS_LOCAL_FILE);

    std::filesystem::remove(cmds->GetPath());
    cmds->ReOpen();
    EXPECT_FALSE(cmds->WriteFailed());
}

TEST(CommandFile, LinesWrittenWhileClosedAreLostAndRemembered) {
    CLumoConnect facade;
    CLumoCmd* cmds = facade.GetCmds();
    cmds->Close();
    cmds->Reset();
    EXPECT_TRUE(cmds->WriteFailed());
    EXPECT_EQ(ReadText(cmds->GetPath()), "CMD!\r\n");
}

TEST(LumoFont, NullNamesAreEmptyAndSettersKeepNamesOnNull) {
    CLumoFont font(nullptr, nullptr, 0);
    EXPECT_STREQ(font.GetFamily(), "");
    EXPECT_STREQ(font.GetFace(), "");
    EXPECT_EQ(font.GetSize(), 0);
    EXPECT_EQ(font.GetSysFontFlag(), '?');
    font.SetFamily("Serif");
    font.SetFamily(nullptr);
    font.SetSysFontFlag('Y');
    CLumoFont copy(font);
    EXPECT_STREQ(copy.GetFamily(), "Serif");
    EXPECT_EQ(copy.GetSysFontFlag(), 'Y');
    tPI_STRING family("Sans"), face("Sans Bold");
    copy.SetFamilyFaceSize(family, face, 12);
    EXPECT_STREQ(copy.GetFace(), "Sans Bold");
    EXPECT_EQ(copy.GetSysFontFlag(), 'Y');
}

}  // namespace
}  // namespace lumolink::testing
