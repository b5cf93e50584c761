// The link library against a reader that goes quiet, sends malformed packets or sits on a noisy
// line.

#include <gtest/gtest.h>

#include <random>
#include <thread>

#include "lumosim/harness/ReaderHarness.h"
#include "lumosim/harness/TestFiles.h"

namespace lumosim {
namespace {

using namespace std::chrono_literals;
using testing::ReadFile;
using testing::WriteFile;

std::vector<uint8_t> RandomBytes(std::size_t size, std::mt19937& random) {
    std::vector<uint8_t> bytes(size);
    for (auto& b : bytes) b = static_cast<uint8_t>(random());
    return bytes;
}

class LinkFaultsTest : public ::testing::Test {
protected:
    std::unique_ptr<ReaderHarness> Harness(SimulatorOptions options) {
        options.flash = folder_.Path() / "flash";
        return std::make_unique<ReaderHarness>(options);
    }

    std::filesystem::path Local(const std::string& name) const { return folder_.Path() / name; }

    testing::TempFolder folder_;
};

TEST_F(LinkFaultsTest, ASilentReaderIsNotConnectedUntilItAnswers) {
    SimulatorOptions options;
    options.silent = true;
    auto harness = Harness(options);
    EXPECT_FALSE(harness->Connect(BAUD_BITS_ALL, 1500ms));
    EXPECT_EQ(harness->Host().GetEbConnectState(), EB_ERR_STATUS_NOT_CONNECTED);

    harness->Reader().SetSilent(false);
    EXPECT_TRUE(harness->Host().WaitForState(EB_ERR_STATUS_CONNECTED, 5s));
}

TEST_F(LinkFaultsTest, AReaderLostDuringATransferEndsItWithATimeout) {
    SimulatorOptions options;
    options.pace = true;
    auto harness = Harness(options);
    ASSERT_TRUE(harness->Connect());
    WriteFile(Local("long.lx"), std::vector<uint8_t>(200000, 0x33));
    std::thread unplug([&] {
        std::this_thread::sleep_for(500ms);
        harness->Reader().SetSilent(true);
    });
    EXPECT_EQ(harness->Send(Local("long.lx"), "long.lx"), EB_ERR_TIMEOUT);
    unplug.join();
    EXPECT_FALSE(std::filesystem::exists(harness->Flash() / "long.lx"));

    harness->Reader().SetSilent(false);
    EXPECT_TRUE(harness->Host().WaitForState(EB_ERR_STATUS_CONNECTED, 10s));
}

// Answers whose length field disagrees with the bytes carried are dropped by the host and
// recovered by retransmission.
TEST_F(LinkFaultsTest, MalformedPacketLengthsDoNotCorruptTransfers) {
    SimulatorOptions options;
    options.badLength = 0.2;
    options.seed = 11;
    auto harness = Harness(options);
    ASSERT_TRUE(harness->Connect(BAUD_BITS_ALL, 30s));
    std::mt19937 random(3);
    const auto content = RandomBytes(9000, random);
    WriteFile(Local("a.bin"), content);
    ASSERT_EQ(harness->Send(Local("a.bin"), "a.bin"), EB_ERR_SUCCESS);
    EXPECT_EQ(ReadFile(harness->Flash() / "a.bin"), content);
    ASSERT_EQ(harness->Fetch("a.bin", Local("b.bin")), EB_ERR_SUCCESS);
    EXPECT_EQ(ReadFile(Local("b.bin")), content);
    EXPECT_GT(harness->Reader().Session().badLengthFrames, 0u);
}

// On a line that loses and changes bytes, every transfer arrives intact or fails with a code;
// none reports success with other content, and the link comes back afterwards.
TEST_F(LinkFaultsTest, NoisyLineTransfersAreIntactOrFail) {
    SimulatorOptions options;
    options.drop = 0.01;
    options.corrupt = 0.01;
    options.seed = 5;
    auto harness = Harness(options);
    ASSERT_TRUE(harness->Connect(BAUD_BITS_ALL, 60s));
    std::mt19937 random(9);
    int succeeded = 0;
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        const bool send = i % 2 == 0;
        const auto content = RandomBytes(random() % 1500, random);
        const std::string name = "f" + std::to_string(i) + ".bin";
        WriteFile(send ? Local(name) : harness->Flash() / name, content);
        ASSERT_TRUE(harness->Host().WaitForState(EB_ERR_STATUS_CONNECTED, 60s));
        const EB_ERR_STATUS result =
            send ? harness->Send(Local(name), name) : harness->Fetch(name, Local("in-" + name));
        if (result == EB_ERR_SUCCESS) {
            ++succeeded;
            EXPECT_EQ(ReadFile(send ? harness->Flash() / name : Local("in-" + name)), content);
        } else if (!(send && content.empty())) {
            EXPECT_TRUE(result == EB_ERR_TIMEOUT || result == EB_ERR_STATUS_NOT_CONNECTED ||
                        result == EB_ERR_CANT_ACCESS_REMOTE_FILE)
                << CLumoConnect::GetEbErrMsg(result);
        }
    }
    EXPECT_TRUE(harness->Host().WaitForState(EB_ERR_STATUS_CONNECTED, 60s));
    RecordProperty("succeeded", succeeded);
}

// An identity shorter than its 40 bytes is taken as it is, with nothing left over from the
// larger frames received before it.
TEST_F(LinkFaultsTest, AShortIdentityIsTakenAsItIs) {
    SimulatorOptions options;
    options.shortIdentity = true;
    options.identifier = "R7";
    auto harness = Harness(options);
    ASSERT_TRUE(harness->Connect());
    WriteFile(harness->Flash() / "big.bin", std::vector<uint8_t>(3000, 'Z'));
    ASSERT_EQ(harness->Fetch("big.bin", Local("big.bin")), EB_ERR_SUCCESS);
    ASSERT_TRUE(harness->Host().WaitForState(EB_ERR_STATUS_CONNECTED, 10s));
    char identity[40];
    ASSERT_EQ(harness->Host().GetVersionAndRemoteId(identity, 40), EB_ERR_SUCCESS);
    EXPECT_EQ(std::string(identity, 40),
              std::string("001.024-RM-024-R/R7") + std::string(21, '\0'));
}

// A reader that refuses every frame with a negative acknowledgement uses up the retries.
TEST_F(LinkFaultsTest, PersistentNegativeAcknowledgementsEndInATimeout) {
    auto harness = Harness({});
    ASSERT_TRUE(harness->Connect());
    WriteFile(Local("a.lx"), std::vector<uint8_t>(5000, 1));
    harness->Reader().SetNack(NackMode::Always);
    EXPECT_EQ(harness->Send(Local("a.lx"), "a.lx"), EB_ERR_TIMEOUT);
    EXPECT_GE(harness->Reader().Session().nacks, 3u);

    harness->Reader().SetNack(NackMode::BadFrames);
    EXPECT_TRUE(harness->Host().WaitForState(EB_ERR_STATUS_CONNECTED, 15s));
    EXPECT_EQ(harness->Send(Local("a.lx"), "a.lx"), EB_ERR_SUCCESS);
}

// With the reader strict about line speed, a working link shows that the host really switched
// its port to the speed the reader chose.
TEST_F(LinkFaultsTest, TheHostFollowsTheNegotiatedSpeed) {
    SimulatorOptions options;
    options.strictSpeed = true;
    auto harness = Harness(options);
    ASSERT_TRUE(harness->Connect(BAUD_BITS_115200 | BAUD_BITS_57600));
    EXPECT_EQ(harness->Reader().LineSpeed(), 115200u);
    WriteFile(Local("x.bin"), std::vector<uint8_t>(3000, 0x7E));
    EXPECT_EQ(harness->Send(Local("x.bin"), "x.bin"), EB_ERR_SUCCESS);
    EXPECT_EQ(ReadFile(harness->Flash() / "x.bin"), std::vector<uint8_t>(3000, 0x7E));
}

}  // namespace
}  // namespace lumosim
