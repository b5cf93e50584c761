// Whole transfers between the link library and the simulated reader over a pseudo-terminal.

#include <gtest/gtest.h>

#include <thread>

#include "lumosim/ReaderPackets.h"
#include "lumosim/harness/ReaderHarness.h"
#include "lumosim/harness/TestFiles.h"

namespace lumosim {
namespace {

using namespace std::chrono_literals;
using testing::ReadFile;
using testing::WriteFile;

std::vector<uint8_t> Pattern(std::size_t size, uint8_t seed) {
    std::vector<uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 31 + seed + i / 251);
    return bytes;
}

class LinkTransferTest : public ::testing::Test {
protected:
    void Start(SimulatorOptions options = {}) {
        options.flash = folder_.Path() / "flash";
        harness_ = std::make_unique<ReaderHarness>(options);
        ASSERT_TRUE(harness_->Connect());
    }

    std::filesystem::path Local(const std::string& name) const { return folder_.Path() / name; }

    testing::TempFolder folder_;
    std::unique_ptr<ReaderHarness> harness_;
};

TEST_F(LinkTransferTest, FilesGoBothWaysByteForByte) {
    Start();
    // Around the block size, and short last chunks that the link rounds up to 512 bytes.
    for (std::size_t size : {1u, 700u, 2047u, 2048u, 2049u, 5000u, 70001u}) {
        SCOPED_TRACE(size);
        const auto content = Pattern(size, static_cast<uint8_t>(size));
        WriteFile(Local("out.bin"), content);
        ASSERT_EQ(harness_->Send(Local("out.bin"), "book.lx"), EB_ERR_SUCCESS);
        EXPECT_EQ(ReadFile(harness_->Flash() / "book.lx"), content);

        ASSERT_EQ(harness_->Fetch("book.lx", Local("in.bin")), EB_ERR_SUCCESS);
        EXPECT_EQ(ReadFile(Local("in.bin")), content);
    }
    for (const CLumoConnectTransfer& report : harness_->Host().Progress()) {
        EXPECT_LE(report.done, report.total);
    }
    // Short last chunks went out rounded up, padded with zeros.
    const SessionStats stats = harness_->Reader().Session();
    EXPECT_GT(stats.paddingBytes, 0u);
    EXPECT_EQ(stats.nonZeroPaddingBytes, 0u);
    EXPECT_TRUE(harness_->Host().WaitForState(EB_ERR_STATUS_CONNECTED, 5s));
}

TEST_F(LinkTransferTest, ProgressOfASendEndsAtItsTotal) {
    Start();
    WriteFile(Local("five.bin"), Pattern(5000, 1));
    ASSERT_EQ(harness_->Send(Local("five.bin"), "five.bin"), EB_ERR_SUCCESS);
    const auto reports = harness_->Host().Progress();
    ASSERT_FALSE(reports.empty());
    std::vector<int32_t> done;
    for (const auto& report : reports) done.push_back(report.done);
    EXPECT_EQ(done.back(), 5000);
    EXPECT_TRUE(reports.back().HasEnded());
    EXPECT_EQ(harness_->Reader().Session().packets[lumolink::LUMI_FWRITE], 3u);
}

TEST_F(LinkTransferTest, RefusedAbortedAndEmptyTransfersFailWithTheirCodes) {
    SimulatorOptions options;
    options.refuse = {"*.lxf"};
    options.abortAfter = 4096;
    Start(options);
    WriteFile(Local("font.lxf"), Pattern(100, 2));
    WriteFile(Local("big.lx"), Pattern(10000, 3));
    WriteFile(Local("empty.lx"), {});

    EXPECT_EQ(harness_->Send(Local("font.lxf"), "LARGE.LXF"), EB_ERR_CANT_ACCESS_REMOTE_FILE);
    EXPECT_EQ(harness_->Send(Local("big.lx"), "big.lx"), EB_ERR_CANT_ACCESS_REMOTE_FILE);
    EXPECT_EQ(harness_->Reader().Session().aborts, 1u);
    EXPECT_EQ(harness_->Fetch("missing.lx", Local("missing.lx")), EB_ERR_CANT_ACCESS_REMOTE_FILE);
    EXPECT_EQ(harness_->Send(Local("empty.lx"), "empty.lx"), EB_ERR_EOF_ON_SEND);
    EXPECT_TRUE(std::filesystem::is_empty(harness_->Flash()));

    // The link is usable again after each failure.
    WriteFile(Local("small.lx"), Pattern(300, 4));
    EXPECT_EQ(harness_->Send(Local("small.lx"), "small.lx"), EB_ERR_SUCCESS);
    EXPECT_TRUE(harness_->Host().WaitForState(EB_ERR_STATUS_CONNECTED, 5s));
}

TEST_F(LinkTransferTest, ABusyReaderHoldsTheNextTransferUntilItIsDone) {
    SimulatorOptions options;
    options.busyAfterFileMs = 2500;
    Start(options);
    WriteFile(Local("a.lx"), Pattern(100, 5));
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(harness_->Send(Local("a.lx"), "a.lx"), EB_ERR_SUCCESS);
    ASSERT_EQ(harness_->Send(Local("a.lx"), "b.lx"), EB_ERR_SUCCESS);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 2500ms);
    const auto states = harness_->Host().States();
    EXPECT_NE(std::find(states.begin(), states.end(), EB_ERR_STATUS_CONNECTED_BUSY), states.end());
    EXPECT_GE(harness_->Reader().Session().packets[lumolink::LUMI_CHECK], 2u);
}

TEST_F(LinkTransferTest, TheFirmwareVersionChoosesTheOpenPacket) {
    struct Case {
        const char* firmware;
        bool alternative;
    };
    for (const Case& c : {Case{"001.024-RM-024-R", false}, Case{"001.061-RM-024-R", true},
                          Case{"001.164-TM-024-T", false}, Case{"002.000-RM-024-R", true}}) {
        SCOPED_TRACE(c.firmware);
        harness_.reset();
        SimulatorOptions options;
        options.firmware = c.firmware;
        Start(options);
        WriteFile(harness_->Flash() / "n.la", Pattern(10, 6));
        ASSERT_EQ(harness_->Fetch("n.la", Local("n.la")), EB_ERR_SUCCESS);
        const SessionStats stats = harness_->Reader().Session();
        EXPECT_EQ(stats.packets[lumolink::LUMI_FOPEN_ALT], c.alternative ? 1u : 0u);
        EXPECT_EQ(stats.packets[lumolink::LUMI_FOPEN], c.alternative ? 0u : 1u);
    }
}

TEST_F(LinkTransferTest, CancellingAFetchReleasesTheCallerAndTheLinkRecovers) {
    SimulatorOptions options;
    options.pace = true;
    Start(options);
    WriteFile(harness_->Flash() / "long.lx", Pattern(200000, 7));  // some 17 s at 115200 bit/s
    std::thread canceller([&] {
        std::this_thread::sleep_for(700ms);
        harness_->Host().CancelFileTransfer();
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(harness_->Fetch("long.lx", Local("long.lx")), EB_ERR_OPERATION_CANCELLED);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    canceller.join();
    EXPECT_TRUE(harness_->Host().WaitForState(EB_ERR_STATUS_CONNECTED, 10s));
    EXPECT_EQ(harness_->Reader().Session().packets[lumolink::LUMI_FCANCEL], 1u);
}

}  // namespace
}  // namespace lumosim
