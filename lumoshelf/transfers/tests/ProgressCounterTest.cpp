#include <gtest/gtest.h>

#include "transfers/ProgressCounter.h"

namespace {

using namespace std::chrono_literals;
using lumo::ProgressCounter;
using lumo::ProgressReport;

TEST(ProgressCounterTest, CountsTheJobAcrossFilesWithRatesAndPercentages) {
    ProgressCounter counter;
    const auto start = ProgressCounter::Clock::time_point{} + 1h;
    // Three files of 4096, 1000 and 2048 bytes.
    const std::uint32_t jobSize = 4096 + 1000 + 2048;

    auto texts = counter.Report({4096, 2048, 0, 3, jobSize}, start);
    EXPECT_EQ(texts.status, "2048 of 4096 at (unknown)KB/sec");
    EXPECT_EQ(texts.filePercent, 50);
    EXPECT_EQ(texts.jobPercent, 2048 * 100 / 7144);
    EXPECT_EQ(texts.total, "2048 of 7144 bytes, file 1 of 3");

    texts = counter.Report({4096, 4096, 0, 3, jobSize}, start + 500ms);
    EXPECT_EQ(texts.status, "4096 of 4096 at 4KB/sec");
    EXPECT_EQ(texts.filePercent, 100);

    texts = counter.Report({1000, 1000, 1, 3, jobSize}, start + 1000ms);
    EXPECT_EQ(texts.status, "1000 of 1000 at (unknown)KB/sec");
    EXPECT_EQ(texts.total, "5096 of 7144 bytes, file 2 of 3");

    counter.Report({2048, 1024, 2, 3, jobSize}, start + 1200ms);
    texts = counter.Report({2048, 2048, 2, 3, jobSize}, start + 1250ms);
    EXPECT_EQ(texts.status, "2048 of 2048 at (unknown)KB/sec");  // reports 50 ms apart
    EXPECT_EQ(texts.jobPercent, 100);
    EXPECT_EQ(texts.total, "7144 of 7144 bytes, file 3 of 3");
}

TEST(ProgressCounterTest, UnknownFileAndJobSizes) {
    ProgressCounter counter;
    const auto texts = counter.Report({0, 300, 0, 1, 0}, ProgressCounter::Clock::now());
    EXPECT_EQ(texts.status, "300 of (unknown) at (unknown)KB/sec");
    EXPECT_FALSE(texts.filePercent.has_value());
    EXPECT_FALSE(texts.jobPercent.has_value());
    EXPECT_EQ(texts.total, "300 of (unknown) bytes, file 1 of 1");
}

TEST(ProgressCounterTest, ResetStartsANewJob) {
    ProgressCounter counter;
    const auto now = ProgressCounter::Clock::now();
    counter.Report({100, 100, 0, 1, 100}, now);
    counter.Reset();
    const auto texts = counter.Report({100, 40, 0, 1, 100}, now + 1s);
    EXPECT_EQ(texts.total, "40 of 100 bytes, file 1 of 1");
    EXPECT_EQ(texts.status, "40 of 100 at (unknown)KB/sec");
}

}  // namespace
