// The facade over a scripted reader: result codes, callbacks, the status file fetch and cache,
// sending the command file, and the link log.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <regex>
#include <sstream>

#include "EngineFixture.h"
#include "TempFolder.h"
#include "lumolink/LumoConnect.h"

class CLumoConnectTestAccess {
public:
    static EB_ERR_STATUS Convert(PPP_CONN_ERR error) { return CLumoConnect::ConvertPppToEb(error); }
};

namespace lumolink::testing {
namespace {

using ::testing::HasSubstr;

class RecordingConnect : public CLumoConnect {
public:
    std::atomic<int> progressCalls{0};
    std::atomic<EB_ERR_STATUS> lastState{EB_ERR_SUCCESS};

protected:
    void OnConnect(EB_ERR_STATUS state) override { lastState = state; }
    void OnProgress(CLumoConnectTransfer*) override { ++progressCalls; }
};

TEST(ResultCodes, NamesAndConversion) {
    EXPECT_STREQ(CLumoConnect::GetEbErrMsg(EB_ERR_TIMEOUT), "EB_ERR_TIMEOUT");
    EXPECT_STREQ(CLumoConnect::GetEbErrMsg(static_cast<EB_ERR_STATUS>(6)),
                 "EB_ERR_LX_STATUS_FILE_RETRIEVE_FAILED");
    EXPECT_STREQ(CLumoConnect::GetEbErrMsg(EB_ERR_EOF_ON_SEND), "EB_ERR_EOF_ON_SEND");
    const std::pair<int, EB_ERR_STATUS> table[] = {
        {0, EB_ERR_GENERAL_ERROR},
        {1, EB_ERR_SUCCESS},
        {2, EB_ERR_CANT_ACCESS_PORT},
        {5, EB_ERR_CANT_ACCESS_PORT},
        {6, EB_ERR_PROTOCOL},
        {7, EB_ERR_PROTOCOL},
        {8, EB_ERR_TIMEOUT},
        {9, EB_ERR_CANT_ACCESS_REMOTE_FILE},
        {10, EB_ERR_CANT_ACCESS_LOCAL_FILE},
        {11, EB_ERR_CANT_ACCESS_REMOTE_FILE},
        {12, EB_ERR_EOF_ON_SEND},
        {13, EB_ERR_OPERATION_CANCELLED},
        {14, EB_ERR_STATUS_NOT_CONNECTED},
        {15, EB_ERR_STATUS_CONNECTED},
        {16, EB_ERR_STATUS_CONNECTED_BUSY},
        {17, EB_ERR_TIMEOUT},
        {18, EB_ERR_GENERAL_ERROR},
        {99, EB_ERR_GENERAL_ERROR},
    };
    for (const auto& [ppp, eb] : table) {
        EXPECT_EQ(CLumoConnectTestAccess::Convert(static_cast<PPP_CONN_ERR>(ppp)), eb) << ppp;
    }
}

TEST(Facade, BeforeConnectingThePortIsNotAccessible) {
    CLumoConnect facade;
    EXPECT_EQ(facade.GetEbConnectState(), EB_ERR_CANT_ACCESS_PORT);
    EXPECT_EQ(facade.IsConnected(), 0);
    EXPECT_EQ(facade.Connect(nullptr, BAUD_BITS_ALL), EB_ERR_CANT_ACCESS_PORT);
    long number = 0;
    EXPECT_EQ(facade.GetStatus()->GetFlashFree(number), EB_ERR_STATUS_CONNECTED_BUSY);
    char id[40];
    EXPECT_EQ(facade.GetVersionAndRemoteId(id, 40), EB_ERR_CANT_ACCESS_PORT);
}

class FacadeTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(facade.Connect(reader.DevicePath().c_str(), BAUD_BITS_ALL), EB_ERR_SUCCESS);
        ASSERT_TRUE(reader.AnswerConnect());
        ASSERT_TRUE(WaitUntil([&] { return facade.lastState == EB_ERR_STATUS_CONNECTED; }));
    }

    // Serves one file that the host opens for reading.
    void ServeFile(const std::string& name, const std::string& text) {
        auto open = reader.Expect(LUMI_FOPEN_ALT);
        ASSERT_TRUE(open);
        ASSERT_EQ(std::string(open->data.begin(), open->data.end() - 1), name);
        reader.Send(LUMI_FHANDLE, 0, 5, HandleData(static_cast<uint32_t>(text.size())));
        auto read = reader.Expect(LUMI_FREAD);
        ASSERT_TRUE(read);
        Bytes data(text.size() + 1);
        data[0] = read->sequence;
        std::copy(text.begin(), text.end(), data.begin() + 1);
        reader.Send(LUMI_READ_DATA, 0, 0, data);
        ASSERT_TRUE(reader.Expect(LUMI_FCLOSE));
        reader.Send(LUMI_FCLOSE_ACK, 0, 0);
        ASSERT_TRUE(reader.Expect(LUMI_CHECK, 5000, false));
        reader.SendCheckData();
    }

    ScriptedReader reader;
    RecordingConnect facade;
};

TEST_F(FacadeTest, StatusIsFetchedOnceUntilTheCacheIsFlushed) {
    auto first = std::async(std::launch::async, [&] {
        tPI_STRING id;
        facade.GetStatus()->GetDeviceID(id);
        return id.str();
    });
    ServeFile("__STATUS", "DEVICEID=\"READER0001\"\r\nFLASHFREE=\"4096\"\r\n");
    EXPECT_EQ(first.get(), "READER0001");
    long flash = 0;
    EXPECT_EQ(facade.GetStatus()->GetFlashFree(flash), EB_ERR_SUCCESS);  // from the cache
    EXPECT_EQ(flash, 4096);
    // The fetch has context 0: the last error follows it, OnProgress is not called.
    EXPECT_EQ(facade.progressCalls, 0);
    EXPECT_EQ(facade.GetLastEbError(), EB_ERR_SUCCESS);

    facade.GetStatus()->FlushStatusCache();
    ASSERT_TRUE(WaitUntil([&] { return facade.GetEbConnectState() == EB_ERR_STATUS_CONNECTED; }));
    auto second = std::async(std::launch::async, [&] {
        long value = 0;
        const EB_ERR_STATUS result = facade.GetStatus()->GetFlashFree(value);
        return std::make_pair(result, value);
    });
    ServeFile("__STATUS", "FLASHFREE=\"1\"\r\n");
    EXPECT_EQ(second.get(), std::make_pair(EB_ERR_SUCCESS, 1L));
}

TEST_F(FacadeTest, RefusedStatusFileIsReportedAndNotCached) {
    auto fetch = std::async(std::launch::async, [&] {
        long value = -1;
        const EB_ERR_STATUS result = facade.GetStatus()->GetLastErr(value);
        return std::make_pair(result, value);
    });
    ASSERT_TRUE(reader.Expect(LUMI_FOPEN_ALT));
    reader.Send(LUMI_FHANDLE, 0, 0, HandleData(0));
    const auto [result, value] = fetch.get();
    EXPECT_EQ(result, EB_ERR_LX_STATUS_FILE_RETRIEVE_FAILED);
    EXPECT_EQ(value, -1);
    EXPECT_EQ(facade.GetLastEbError(), EB_ERR_CANT_ACCESS_REMOTE_FILE);
}

TEST_F(FacadeTest, SendsTheCommandFileWithItsFillerAndReportsProgressForNonZeroContexts) {
    CLumoCmd* cmds = facade.GetCmds();
    cmds->ReOpen();
    cmds->SetTimeZone(2);
    auto sent = std::async(std::launch::async, [&] { return cmds->SendCmdFile(); });
    auto create = reader.Expect(LUMI_FCREATE);
    ASSERT_TRUE(create);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(create->data.data())), "__CMDFILE");
    reader.Send(LUMI_FHANDLE, 0, 30, Bytes(8, 0));
    auto write = reader.Expect(LUMI_FWRITE);
    ASSERT_TRUE(write);
    EXPECT_EQ(std::string(write->data.begin(), write->data.end()),
              "CMD!\r\nSETTZONE 2\r\n" + std::string(128, ' ') + "\r\n");
    reader.Send(LUMI_FWRITE_ACK, 0, 0, AckFor(write->sequence));
    ASSERT_TRUE(reader.Expect(LUMI_FCLOSE));
    reader.Send(LUMI_FCLOSE_ACK, 0, 0);
    EXPECT_EQ(sent.get(), EB_ERR_SUCCESS);
    EXPECT_EQ(facade.progressCalls, 0);

    TempFolder folder;
    const std::string path = folder.Write("t.lx", PatternBytes(10));
    CLumoConnectTransfer transfer(path.c_str(), "t.lx", PPP_CONN_XFER_DIR_SEND, 1,
                                  LUMO_FILE_TYPE_DEFAULT, 0xF000BAAD);
    auto result = std::async(std::launch::async, [&] { return facade.TransferFile(&transfer); });
    ASSERT_TRUE(reader.Expect(LUMI_FCREATE, 5000, true));
    reader.Send(LUMI_FHANDLE, 0, 0, Bytes(8, 0));
    EXPECT_EQ(result.get(), EB_ERR_CANT_ACCESS_REMOTE_FILE);
    EXPECT_EQ(facade.progressCalls, 1);  // the final report
    EXPECT_EQ(facade.GetLastEbError(), EB_ERR_CANT_ACCESS_REMOTE_FILE);
}

TEST(LinkLog, WritesTimeStampedLinesAndHexDumpsOfEveryFrame) {
    TempFolder folder;
    const std::string logPath = folder.File("link.log");
    {
        ScriptedReader reader;
        CLumoConnect facade;
        ASSERT_EQ(facade.EnableLogging(logPath.c_str()), EB_ERR_SUCCESS);
        ASSERT_EQ(facade.Connect(reader.DevicePath().c_str(), BAUD_BITS_ALL), EB_ERR_SUCCESS);
        ASSERT_TRUE(reader.AnswerConnect());
        ASSERT_TRUE(
            WaitUntil([&] { return facade.GetEbConnectState() == EB_ERR_STATUS_CONNECTED; }));
        reader.SendRaw(Bytes(kLinkBufferSize + 5, 'j'));  // overflows: the last 4 are tossed
        reader.SendCheckData();
        ASSERT_TRUE(reader.Expect(LUMI_CHECK, 5000, false));
        ASSERT_EQ(facade.DisableLogging(), EB_ERR_SUCCESS);
    }
    std::ifstream in(logPath);
    std::stringstream text;
    text << in.rdbuf();
    const std::string log = text.str();
    EXPECT_TRUE(
        std::regex_search(log, std::regex(R"(^\[    0\]:Log File Opened At Tick Count:\d+\n)")));
    EXPECT_THAT(log, HasSubstr("]:====>SEND:LUMI_CHECK\n"));
    EXPECT_THAT(log, HasSubstr("]:TX [ 19](    0):7EFF7D2380837D207D207D207D257D207C767E       "
                               "~.}#..} } } }.} |v~\n"));
    EXPECT_THAT(log, HasSubstr("]:<=====RECV:LUMI_CHECK_DATA\n"));
    EXPECT_THAT(log, HasSubstr("]:State = LUMS_OPENING\n"));
    EXPECT_THAT(log, HasSubstr("]:RX CHARS TOSSED: 4\n"));
    // A frame longer than 32 bytes starts its dump on a line of its own, 32 bytes a row.
    EXPECT_TRUE(std::regex_search(
        log,
        std::regex(
            R"(\]:RX \[49\]\(\d+\):\n8083070[0-9A-F]{57}       .{32}\n[0-9A-F]{34}       .{17}\n)")));
    EXPECT_THAT(log, HasSubstr("]:processing disable logging command\n"));
}

}  // namespace
}  // namespace lumolink::testing
