// Connecting, speed negotiation, keep-alive, losing the reader and disconnecting, over a
// pseudo-terminal with a scripted reader.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "EngineFixture.h"
#include "TempFolder.h"

namespace lumolink::testing {
namespace {

using ::testing::ElementsAre;
using Clock = std::chrono::steady_clock;

long MsBetween(Clock::time_point a, Clock::time_point b) {
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(b - a).count());
}

TEST_F(EngineTest, ConnectNegotiatesTheFastestOfferedSpeed) {
    ASSERT_EQ(engine->Connect(reader.DevicePath().c_str(), BAUD_BITS_ALL), PPP_CONN_ERR_SUCCESS);
    auto check = reader.Expect(LUMI_CHECK, 5000, false);
    ASSERT_TRUE(check);
    const Bytes checkFrame = {0x7E, 0xFF, 0x7D, 0x23, 0x80, 0x83, 0x7D, 0x20, 0x7D, 0x20,
                              0x7D, 0x20, 0x7D, 0x25, 0x7D, 0x20, 0x7C, 0x76, 0x7E};
    EXPECT_EQ(check->frame, checkFrame);  // the first packet of a fresh engine has sequence 0
    reader.SendCheckData();
    auto baud = reader.Expect(LUMI_NEGOTIATE_BAUD, 5000, false);
    ASSERT_TRUE(baud);
    EXPECT_EQ(baud->parameter, BAUD_BITS_ALL);
    reader.Send(LUMI_BAUD_ACK, 0, 0x18);
    ASSERT_TRUE(reader.Expect(LUMI_CHECK, 5000, false));
    ASSERT_TRUE(WaitUntil([&] { return engine->GetConnState() == PPP_CONN_ERR_CONNECTED; }));
    EXPECT_EQ(engine->GetSpeed(), 115200);
    EXPECT_THAT(States(), ElementsAre(PPP_CONN_ERR_CANT_ACCESS_PORT, PPP_CONN_ERR_NOT_CONNECTED,
                                      PPP_CONN_ERR_CONNECTED));

    char identity[41] = {};
    EXPECT_EQ(engine->GetRemoteId(identity, 40), PPP_CONN_ERR_SUCCESS);
    EXPECT_STREQ(identity, kReaderIdentity);
}

TEST_F(EngineTest, PortIsRawEightBitsWithoutFlowControlAtTheNegotiatedSpeed) {
    ConnectAndOpen(BAUD_BITS_115200);
    const termios line = reader.LineSettings();
    // Nothing of the tty's line discipline may touch frame bytes.
    EXPECT_EQ(line.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
    EXPECT_EQ(line.c_iflag & (ICRNL | INLCR | IGNCR | IXON | IXOFF | ISTRIP), 0u);
    EXPECT_EQ(line.c_oflag & OPOST, 0u);
    EXPECT_EQ(line.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS), static_cast<tcflag_t>(CS8));
    EXPECT_EQ(line.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
    EXPECT_EQ(cfgetospeed(&line), static_cast<speed_t>(B115200));
}

TEST_F(EngineTest, SpeedBitWithoutASpeedKeepsTheProbeSpeed) {
    ConnectAndOpen(0x80);
    EXPECT_EQ(engine->GetSpeed(), 57600);
    EXPECT_EQ(engine->GetLinkState(), LUMS_OPEN);
}

TEST_F(EngineTest, MissingPortFailsAndStaysInInit) {
    EXPECT_EQ(engine->Connect("/dev/lumolink-no-such-port", BAUD_BITS_ALL),
              PPP_CONN_ERR_CANT_ACCESS_PORT);
    EXPECT_EQ(engine->GetLinkState(), LUMS_INIT);
    EXPECT_EQ(engine->GetLastOsError(), static_cast<unsigned long>(ENOENT));
    EXPECT_TRUE(States().empty());
}

TEST_F(EngineTest, PortHeldByAnotherProgramIsRefused) {
    const int holder = open(reader.DevicePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(flock(holder, LOCK_EX | LOCK_NB), 0);
    EXPECT_EQ(engine->Connect(reader.DevicePath().c_str(), BAUD_BITS_ALL),
              PPP_CONN_ERR_CANT_ACCESS_PORT);
    EXPECT_EQ(engine->GetLinkState(), LUMS_INIT);
    close(holder);
}

TEST_F(EngineTest, UnansweredChecksAreRepeatedIdenticallyThenTheLinkProbesAgain) {
    ASSERT_EQ(engine->Connect(reader.DevicePath().c_str(), BAUD_BITS_ALL), PPP_CONN_ERR_SUCCESS);
    std::vector<HostPacket> checks;
    std::vector<Clock::time_point> times;
    for (int i = 0; i < 4; ++i) {
        auto check = reader.Expect(LUMI_CHECK, 3000, false);
        ASSERT_TRUE(check);
        checks.push_back(*check);
        times.push_back(Clock::now());
    }
    // Three sends of one frame about 300 ms apart, then a new check from LUMS_CLOSED.
    EXPECT_EQ(checks[1].frame, checks[0].frame);
    EXPECT_EQ(checks[2].frame, checks[0].frame);
    EXPECT_NE(checks[3].sequence, checks[0].sequence);
    EXPECT_GE(MsBetween(times[0], times[1]), 200);
    EXPECT_LE(MsBetween(times[0], times[2]), 1500);
    ASSERT_TRUE(WaitUntil([&] { return engine->GetLinkState() == LUMS_CLOSED; }));
    EXPECT_THAT(States(), ElementsAre(PPP_CONN_ERR_CANT_ACCESS_PORT, PPP_CONN_ERR_NOT_CONNECTED));

    CPPPTransfer transfer("/tmp/x", "X", PPP_CONN_XFER_DIR_SEND, 0, LUMO_FILE_TYPE_DEFAULT, 1);
    EXPECT_EQ(engine->TransferFile(&transfer), PPP_CONN_ERR_NOT_CONNECTED);

    // The reader answering again brings a new speed negotiation.
    reader.SendCheckData();
    ASSERT_TRUE(reader.Expect(LUMI_NEGOTIATE_BAUD, 3000, false));
}

TEST_F(EngineTest, KeepAliveRepeatsTheCheckWhileTheReaderAnswers) {
    ConnectAndOpen();
    auto first = reader.Expect(LUMI_CHECK, 5000, false);
    ASSERT_TRUE(first);
    const auto sent = Clock::now();
    reader.SendCheckData();
    auto again = reader.Expect(LUMI_CHECK, 5000, false);
    ASSERT_TRUE(again);
    EXPECT_GE(MsBetween(sent, Clock::now()), 1500);
    EXPECT_EQ(again->frame, first->frame);
    reader.SendCheckData();
    EXPECT_EQ(engine->GetLinkState(), LUMS_OPEN);
}

TEST_F(EngineTest, SecondConnectOnlyReplacesTheStoredSettings) {
    ConnectAndOpen();
    EXPECT_EQ(engine->Connect("/dev/lumolink-other", BAUD_BITS_9600), PPP_CONN_ERR_SUCCESS);
    EXPECT_EQ(engine->GetLinkState(), LUMS_OPEN);
}

TEST_F(EngineTest, DisconnectSendsTheProbeSpeedAndClosesThePort) {
    ConnectAndOpen();
    const auto started = Clock::now();
    auto disconnect = std::async(std::launch::async, [&] { return engine->Disconnect(); });
    auto baud = reader.Expect(LUMI_NEGOTIATE_BAUD, 5000, true);
    ASSERT_TRUE(baud);
    EXPECT_EQ(baud->parameter, BAUD_BITS_57600);
    EXPECT_EQ(disconnect.get(), PPP_CONN_ERR_SUCCESS);
    EXPECT_GE(MsBetween(started, Clock::now()), 600);
    EXPECT_EQ(engine->GetLinkState(), LUMS_INIT);
    EXPECT_EQ(States().back(), PPP_CONN_ERR_CANT_ACCESS_PORT);
    EXPECT_TRUE(reader.Quiet(2500));
}

TEST_F(EngineTest, ReaderThatOnlyAnswersNackEndsInTimeout) {
    ConnectAndOpen();
    for (int i = 0; i < 3; ++i) {
        auto check = reader.Expect(LUMI_CHECK, 5000, false);
        ASSERT_TRUE(check);
        reader.Send(LUMI_NACK, 0, 0);
    }
    ASSERT_TRUE(WaitUntil([&] { return engine->GetLinkState() == LUMS_CLOSED; }, 3000));
}

TEST_F(EngineTest, ShortIdentityIsPaddedWithZerosNotLeftovers) {
    ConnectAndOpen();
    ASSERT_TRUE(reader.Expect(LUMI_CHECK, 5000, false));
    reader.Send(LUMI_CHECK_DATA, 0, 0, {'0', '0', '2'});
    ASSERT_TRUE(WaitUntil([&] {
        char identity[41] = {};
        engine->GetRemoteId(identity, 40);
        return std::strcmp(identity, "002") == 0;
    }));
    char identity[41];
    std::memset(identity, 'x', sizeof identity);
    engine->GetRemoteId(identity, 40);
    EXPECT_TRUE(std::all_of(identity + 3, identity + 40, [](char c) { return c == 0; }));
}

TEST_F(EngineTest, BusyStatusResponseWithoutItsByteIsHarmless) {
    ConnectAndOpen();
    reader.Send(LUMI_STATUS_RESP, 0, 0, {0, 0});
    reader.Send(LUMI_STATUS_RESP, 0, 0, {0, 0, 0, 0, 1});
    ASSERT_TRUE(WaitUntil([&] { return engine->GetLinkState() == LUMS_BUSY; }));
    ASSERT_TRUE(reader.Expect(LUMI_CHECK, 5000, false));
    reader.SendCheckData();
    ASSERT_TRUE(WaitUntil([&] { return engine->GetLinkState() == LUMS_OPEN; }));
}

TEST_F(EngineTest, LostAdapterIsReopenedByNameWhenItReturns) {
    TempFolder folder;
    const std::string link = folder.File("port");
    std::filesystem::create_symlink(reader.DevicePath(), link);
    ASSERT_EQ(engine->Connect(link.c_str(), BAUD_BITS_ALL), PPP_CONN_ERR_SUCCESS);
    ASSERT_TRUE(reader.AnswerConnect());
    ASSERT_TRUE(WaitUntil([&] { return engine->GetConnState() == PPP_CONN_ERR_CONNECTED; }));

    reader.Hangup();
    ASSERT_TRUE(WaitUntil([&] { return engine->GetLinkState() == LUMS_CLOSED; }, 10000));
    ScriptedReader replacement;
    std::filesystem::remove(link);
    std::filesystem::create_symlink(replacement.DevicePath(), link);
    ASSERT_TRUE(replacement.Expect(LUMI_CHECK, 5000, false));
    replacement.SendCheckData();
    ASSERT_TRUE(replacement.Expect(LUMI_NEGOTIATE_BAUD, 5000, false));
    replacement.Send(LUMI_BAUD_ACK, 0, BAUD_BITS_57600);
    ASSERT_TRUE(replacement.Expect(LUMI_CHECK, 5000, false));
    replacement.SendCheckData();
    EXPECT_TRUE(WaitUntil([&] { return engine->GetConnState() == PPP_CONN_ERR_CONNECTED; }));
}

TEST(UseAltOpen, FollowsTheFirmwareVersion) {
    struct Case {
        const char* identity;
        bool alt;
    };
    const Case cases[] = {
        {"001.061-R", true},  {"001.060-R", false}, {"001.164-T", false}, {"001.165-T", true},
        {"000.999-R", false}, {"002.000-R", true},  {"002.000-T", true},  {"009.999-X", false},
    };
    for (const Case& c : cases) EXPECT_EQ(CPPPConn::UseAltOpen(c.identity), c.alt) << c.identity;
}

}  // namespace
}  // namespace lumolink::testing
