#include "lumosim/Simulator.h"

#include <gtest/gtest.h>

#include "HostPort.h"
#include "lumosim/ReaderPackets.h"
#include "lumosim/harness/TestFiles.h"

namespace lumosim {
namespace {

using namespace std::chrono_literals;
using testing::HostPort;

class SimulatorTest : public ::testing::Test {
protected:
    std::unique_ptr<Simulator> StartReader(SimulatorOptions options = {}) {
        options.flash = folder_.Path() / "flash";
        auto simulator = std::make_unique<Simulator>(options);
        simulator->Start();
        return simulator;
    }

    testing::TempFolder folder_;
};

TEST_F(SimulatorTest, AnswersACheckFrameOnTheDevicePath) {
    SimulatorOptions options;
    options.link = folder_.Path() / "reader";
    auto reader = StartReader(options);
    EXPECT_EQ(std::filesystem::read_symlink(options.link), reader->DevicePath());

    HostPort host(options.link);
    host.Send(lumolink::LUMI_CHECK);
    const auto answer = host.Receive();
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->code, lumolink::LUMI_CHECK_DATA);
    reader.reset();
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(options.link)));
}

TEST_F(SimulatorTest, ASilentReaderHearsButDoesNotAnswer) {
    SimulatorOptions options;
    options.silent = true;
    auto reader = StartReader(options);
    HostPort host(reader->DevicePath());
    host.Send(lumolink::LUMI_CHECK);
    EXPECT_FALSE(host.Receive(400ms));
    EXPECT_GT(reader->Line().bytesIn, 0u);

    reader->SetSilent(false);
    host.Send(lumolink::LUMI_CHECK);
    EXPECT_TRUE(host.Receive());
}

TEST_F(SimulatorTest, LineFaultsLoseAndChangeBytesBothWays) {
    SimulatorOptions options;
    options.drop = 0.005;
    options.corrupt = 0.005;
    options.seed = 7;
    auto reader = StartReader(options);
    HostPort host(reader->DevicePath());
    int answered = 0;
    for (int i = 0; i < 40; ++i) {
        host.Send(lumolink::LUMI_CHECK);
        if (const auto answer = host.Receive(100ms);
            answer && answer->code == lumolink::LUMI_CHECK_DATA)
            ++answered;
    }
    const LineStats line = reader->Line();
    EXPECT_GT(line.dropped, 0u);
    EXPECT_GT(line.corrupted, 0u);
    EXPECT_GT(line.badFrames, 0u);
    EXPECT_GT(answered, 5);
    EXPECT_LT(answered, 40);
}

TEST_F(SimulatorTest, PacedBytesTakeTheirTimeAtTheNegotiatedSpeed) {
    SimulatorOptions options;
    options.pace = true;
    auto reader = StartReader(options);
    testing::WriteFile(folder_.Path() / "flash" / "block.bin", std::vector<uint8_t>(2048, 0x41));
    HostPort host(reader->DevicePath());

    host.Send(lumolink::LUMI_FOPEN, 0, {'b', 'l', 'o', 'c', 'k', '.', 'b', 'i', 'n', 0});
    const auto handle = host.Receive();
    ASSERT_TRUE(handle && handle->parameter != 0);

    // About 2070 bytes of answer and 12 of request at 57600 bit/s: some 360 ms.
    const auto start = std::chrono::steady_clock::now();
    host.Send(lumolink::LUMI_FREAD, handle->parameter);
    const auto data = host.Receive(5s);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    ASSERT_TRUE(data);
    EXPECT_EQ(data->data.size(), 2049u);
    EXPECT_GE(elapsed, 350ms);
    EXPECT_LT(elapsed, 2s);

    // The other way: a chunk of 2048 bytes is acknowledged only once all of it has come in.
    std::vector<uint8_t> create(68, 0);
    create[0] = 'w';
    create[66] = 0x08;  // 2048 bytes, big-endian
    host.Send(lumolink::LUMI_FCREATE, 0, create);
    const auto created = host.Receive();
    ASSERT_TRUE(created && created->parameter != 0);
    const auto sent = std::chrono::steady_clock::now();
    host.Send(lumolink::LUMI_FWRITE, created->parameter, std::vector<uint8_t>(2048, 0x41));
    const auto ack = host.Receive(5s);
    ASSERT_TRUE(ack);
    EXPECT_EQ(ack->code, lumolink::LUMI_FWRITE_ACK);
    EXPECT_GE(std::chrono::steady_clock::now() - sent, 350ms);
}

TEST_F(SimulatorTest, WithStrictSpeedAHostAtAnotherSpeedIsNotHeard) {
    SimulatorOptions options;
    options.strictSpeed = true;
    auto reader = StartReader(options);
    HostPort host(reader->DevicePath());
    host.SetSpeed(115200);
    host.Send(lumolink::LUMI_CHECK);
    EXPECT_FALSE(host.Receive(400ms));

    host.SetSpeed(57600);
    host.Send(lumolink::LUMI_NEGOTIATE_BAUD, 0x10);
    const auto ack = host.Receive();
    ASSERT_TRUE(ack);
    EXPECT_EQ(ack->parameter, 0x10);
    EXPECT_EQ(reader->LineSpeed(), 115200u);
    host.SetSpeed(115200);
    host.Send(lumolink::LUMI_CHECK);
    EXPECT_TRUE(host.Receive());
}

}  // namespace
}  // namespace lumosim
