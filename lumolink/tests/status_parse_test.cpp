// The status file's tokeniser and keyword table.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "lumolink/LumoStatus.h"

class CLumoStatusTestAccess {
public:
    static EB_ERR_STATUS Parse(CLumoStatus& status, std::string line) {
        return status.ParseParamLine(line.data());
    }
    static void MarkValid(CLumoStatus& status) { status.m_cacheValid = 1; }
};

namespace lumolink::testing {
namespace {

class StatusParse : public ::testing::Test {
protected:
    StatusParse() { CLumoStatusTestAccess::MarkValid(status); }
    EB_ERR_STATUS Parse(const std::string& line) {
        return CLumoStatusTestAccess::Parse(status, line);
    }
    CLumoStatus status{nullptr};
};

TEST_F(StatusParse, ReadsEachKeywordsValues) {
    Parse("DEVICEID=\"READER0001\"\r\n");
    Parse("FLASHFREE=\"123456\"\n");
    Parse("LASTERR=\"-3\"\n");
    Parse("SETAUTO=\"600\"\n");
    Parse("SETTZONE=\" -5x\"\n");
    Parse("SYNC=\"abc\"\n");
    Parse("VERSION=\"001.061-RM\" \"ignored\"\n");
    Parse("EXTERNAL_VERSION=\"2.0\"\n");
    Parse("LANGUAGE=\"en\"\n");
    Parse("SETTIMEFORM=\"1\" \":\"\n");
    tPI_STRING text;
    long number = 0;
    status.GetDeviceID(text);
    EXPECT_EQ(text, "READER0001");
    status.GetSerialNo(text);
    EXPECT_EQ(text, "READER0001");
    status.GetFirmwareVersion(text);
    EXPECT_EQ(text, "001.061-RM");
    status.GetFirmwareExtVersion(text);
    EXPECT_EQ(text, "2.0");
    status.GetLanguage(text);
    EXPECT_EQ(text, "en");
    status.GetFlashFree(number);
    EXPECT_EQ(number, 123456);
    status.GetLastErr(number);
    EXPECT_EQ(number, -3);
    status.GetShutdownTime(number);
    EXPECT_EQ(number, 600);
    status.GetTimeZone(number);
    EXPECT_EQ(number, -5);
    status.GetFilesysSync(number);
    EXPECT_EQ(number, 0);
    CLumoStatus::EB_TIME_FORMAT time;
    status.GetTimeFormatA(time);
    EXPECT_EQ(time.format, CLumoStatus::TIMEFMT_24_HOUR);
    EXPECT_EQ(time.separator, ':');
}

TEST_F(StatusParse, DateFormatNeedsAllThreeValues) {
    EXPECT_EQ(Parse("SETDATEFORM=\"2\" \"-\"\r\n"), EB_ERR_SUCCESS);
    EXPECT_EQ(Parse("SETDATEFORM=\"3\"\r\n"), EB_ERR_LOAD_FAILED_BAD_ARGS);
    CLumoStatus::EB_DATE_FORMAT date;
    status.GetDateFormatA(date);
    EXPECT_EQ(date.format, 2);
    EXPECT_EQ(date.separator, '-');
}

TEST_F(StatusParse, FontNameDropsItsFirstWordAndTheFlagNeedsFiveValues) {
    Parse("SETLARGE=\"R Times New\" \"12\"\n");
    CLumoFont font;
    status.GetLargeFont(font);
    EXPECT_STREQ(font.GetFamily(), "Times New");
    EXPECT_STREQ(font.GetFace(), "Times New");
    EXPECT_EQ(font.GetSize(), 12);
    EXPECT_EQ(font.GetSysFontFlag(), '?');

    Parse("SETLARGE=\"R Times New\" \"12\" \"Y\"\n");
    status.GetLargeFont(font);
    EXPECT_EQ(font.GetSysFontFlag(), 'Y');

    Parse("SETLARGE=\"Single\" \"10\"\n");
    status.GetLargeFont(font);
    EXPECT_STREQ(font.GetFamily(), "Times New");
    EXPECT_EQ(font.GetSize(), 10);

    Parse("SETSMALL=\"S Sans\" \"8\" \"N\"\n");
    status.GetSmallFont(font);
    EXPECT_STREQ(font.GetFace(), "Sans");
    EXPECT_EQ(font.GetSysFontFlag(), 'N');
}

TEST_F(StatusParse, SkipsUnknownKeywordsEmptyLinesAndLinesWithoutValues) {
    Parse("FLASHFREE=\"7\"\n");
    EXPECT_EQ(Parse("UNKNOWN=\"1\"\n"), EB_ERR_SUCCESS);
    EXPECT_EQ(Parse("FLASHFREE\n"), EB_ERR_LOAD_FAILED_BAD_ARGS);
    EXPECT_EQ(Parse("\r\n"), EB_ERR_SUCCESS);
    EXPECT_EQ(Parse("flashfree=\"9\"\n"), EB_ERR_SUCCESS);
    long number = 0;
    status.GetFlashFree(number);
    EXPECT_EQ(number, 7);
}

TEST(Status, WithoutAnEngineEveryGetterFailsAndLeavesItsOutputAlone) {
    CLumoStatus status(nullptr);
    long number = 99;
    EXPECT_EQ(status.GetFlashFree(number), EB_ERR_NO_PPPCONN_HANDLE);
    EXPECT_EQ(number, 99);
    EXPECT_EQ(status.DumpStatusFile("x"), EB_ERR_DUMP_FAILED);
}

}  // namespace
}  // namespace lumolink::testing
