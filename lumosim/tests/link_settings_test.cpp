// The reader's identity, status file, title list and command files as the link library sees them.

#include <gtest/gtest.h>

#include "TitleListReader.h"
#include "lumosim/ReaderPackets.h"
#include "lumosim/harness/ReaderHarness.h"
#include "lumosim/harness/TestFiles.h"

namespace lumosim {
namespace {

using namespace std::chrono_literals;

class LinkSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        SimulatorOptions options;
        options.flash = folder_.Path() / "flash";
        options.identifier = "RDR-0042";
        options.restartTimeMs = 2500;
        options.strictSpeed = true;  // a restarted reader is heard only once the host slows down
        harness_ = std::make_unique<ReaderHarness>(options);
        ASSERT_TRUE(harness_->Connect());
    }

    CLumoStatus& Status() { return *harness_->Host().GetStatus(); }
    CLumoCmd& Commands() { return *harness_->Host().GetCmds(); }

    testing::TempFolder folder_;
    std::unique_ptr<ReaderHarness> harness_;
};

TEST_F(LinkSettingsTest, IdentityAndStatusDescribeTheReader) {
    char identity[41] = {};
    ASSERT_EQ(harness_->Host().GetVersionAndRemoteId(identity, 40), EB_ERR_SUCCESS);
    EXPECT_STREQ(identity, "001.024-RM-024-R/RDR-0042");

    tPI_STRING text;
    ASSERT_EQ(Status().GetDeviceID(text), EB_ERR_SUCCESS);
    EXPECT_STREQ(text.c_str(), "RDR-0042");
    ASSERT_EQ(Status().GetFirmwareVersion(text), EB_ERR_SUCCESS);
    EXPECT_STREQ(text.c_str(), "001.024-RM-024-R");
    long number = 0;
    ASSERT_EQ(Status().GetFlashFree(number), EB_ERR_SUCCESS);
    EXPECT_EQ(number, 64l << 20);
    CLumoFont font;
    ASSERT_EQ(Status().GetLargeFont(font), EB_ERR_SUCCESS);
    EXPECT_STREQ(font.GetFace(), "Lumo Serif");
    EXPECT_EQ(font.GetSize(), 14);
    EXPECT_EQ(font.GetSysFontFlag(), 'S');
    EXPECT_EQ(harness_->Reader().Session().filesRead, 1u);  // one fetch for all the getters
}

TEST_F(LinkSettingsTest, CommandFilesChangeWhatTheStatusReports) {
    Commands().ReOpen();
    Commands().SetTimeZone(-5);
    Commands().SetDateFmt(CLumoStatus::EDATEFMT{2}, '-');
    Commands().SetTimeFmt(CLumoStatus::TIMEFMT_24_HOUR, '.');
    Commands().SetAutoTimeOut(30 * 60);
    Commands().SetDate(7, 12, 1999);
    Commands().SetTime(14, 5, 0);
    Commands().SetPagination(0);
    ASSERT_EQ(Commands().SendCmdFile(), EB_ERR_SUCCESS);

    const ReaderSettings settings = harness_->Reader().Settings();
    EXPECT_EQ(settings.lastError, 0);
    EXPECT_EQ(settings.clock.Now().year, 1999);
    EXPECT_FALSE(settings.repaginate);
    EXPECT_EQ(settings.timeZone, -5);

    // The status is read only while the link is idle again. The first getter after the flush
    // fetches the file, and must hand out the value it has just read.
    ASSERT_TRUE(harness_->Host().WaitForState(EB_ERR_STATUS_CONNECTED, 5s));
    Status().FlushStatusCache();
    long number = 0;
    ASSERT_EQ(Status().GetTimeZone(number), EB_ERR_SUCCESS);
    EXPECT_EQ(number, -5);
    ASSERT_EQ(Status().GetShutdownTime(number), EB_ERR_SUCCESS);
    EXPECT_EQ(number, 1800);
    CLumoStatus::EB_DATE_FORMAT date;
    ASSERT_EQ(Status().GetDateFormatA(date), EB_ERR_SUCCESS);
    EXPECT_EQ(date.format, 2);
    EXPECT_EQ(date.separator, '-');
    CLumoStatus::EB_TIME_FORMAT time;
    ASSERT_EQ(Status().GetTimeFormatA(time), EB_ERR_SUCCESS);
    EXPECT_EQ(time.format, CLumoStatus::TIMEFMT_24_HOUR);
    EXPECT_EQ(time.separator, '.');
    // The command file was applied, not kept.
    EXPECT_FALSE(std::filesystem::exists(harness_->Flash() / "__CMDFILE"));
}

TEST_F(LinkSettingsTest, TheTitleListNamesTheEditionsAndTheirMarkups) {
    testing::WriteFile(
        harness_->Flash() / "Novel.lx",
        testing::MakeEdition("Title=Novel\r\nAuthor=A. Writer\r\nurl=ebook:novel\r\n"));
    testing::WriteFile(harness_->Flash() / "Novel.lh", testing::Bytes("highlights"));
    const auto local = folder_.Path() / "__TITLES";
    ASSERT_EQ(harness_->Fetch("__TITLES", local), EB_ERR_SUCCESS);

    const testing::TitleListReader list(testing::ReadFile(local));
    EXPECT_EQ(list.Value("TITLECOUNT"), "1");
    EXPECT_EQ(list.Field(0, "filename"), "Novel.lx");
    EXPECT_EQ(list.Field(0, "author"), "A. Writer");
    EXPECT_EQ(list.Field(0, "LH"), "yes");
    EXPECT_EQ(list.Field(0, "LA"), "no");
}

TEST_F(LinkSettingsTest, FormattingWithTheReadersIdentifierEmptiesTheFlash) {
    testing::WriteFile(harness_->Flash() / "Novel.lx", testing::MakeEdition("Title=Novel\r\n"));
    Commands().ReOpen();
    Commands().InitDir("RDR-0042");
    Commands().Close();
    CLumoConnectTransfer transfer(Commands().GetPath(), "__CMDFILE", PPP_CONN_XFER_DIR_SEND, 1,
                                  LUMO_FILE_TYPE_DEFAULT, 0);
    ASSERT_EQ(harness_->Host().TransferFile(&transfer), EB_ERR_SUCCESS);
    EXPECT_TRUE(std::filesystem::is_empty(harness_->Flash()));
    EXPECT_EQ(harness_->Reader().Settings().lastError, 0);
}

TEST_F(LinkSettingsTest, AResetReaderIsLostForAWhileAndThenFoundAgain) {
    Commands().ReOpen();
    Commands().Reset();
    ASSERT_EQ(Commands().SendCmdFile(), EB_ERR_SUCCESS);
    EXPECT_TRUE(harness_->Host().WaitForState(EB_ERR_STATUS_NOT_CONNECTED, 10s));
    EXPECT_TRUE(harness_->Host().WaitForState(EB_ERR_STATUS_CONNECTED, 15s));
    EXPECT_GE(harness_->Reader().Session().packets[lumolink::LUMI_NEGOTIATE_BAUD], 2u);
}

}  // namespace
}  // namespace lumosim
