#include <gtest/gtest.h>

#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <vector>

#include "transfers/JobQueue.h"

namespace {

using namespace std::chrono_literals;

// A runner whose jobs block until they are released or stopped, recording what ran.
struct BlockingRunner {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::string> started;
    std::vector<std::pair<std::string, int>> finished;
    int releases = 0;
    bool stopped = false;
    int concurrent = 0;
    int maxConcurrent = 0;

    int Run(CLXTransferJob& job) {
        std::unique_lock lock(mutex);
        started.push_back(job.Names().front());
        maxConcurrent = std::max(maxConcurrent, ++concurrent);
        changed.notify_all();
        changed.wait(lock, [&] { return releases > 0 || stopped; });
        --concurrent;
        if (stopped) {
            stopped = false;
            return 17;
        }
        --releases;
        return 0;
    }
    void Finish(CLXTransferJob& job, int result) {
        std::lock_guard lock(mutex);
        finished.emplace_back(job.Names().front(), result);
        changed.notify_all();
    }
    void Stop() {
        std::lock_guard lock(mutex);
        stopped = true;
        changed.notify_all();
    }
    void Release() {
        std::lock_guard lock(mutex);
        ++releases;
        changed.notify_all();
    }
    void WaitStarted(std::size_t count) {
        std::unique_lock lock(mutex);
        ASSERT_TRUE(changed.wait_for(lock, 10s, [&] { return started.size() >= count; }));
    }
};

std::shared_ptr<CLXTransferJob> Job(const std::string& name) {
    return CLXTransferJob::Send({name}, 1, nullptr);
}

class JobQueueTest : public ::testing::Test {
protected:
    BlockingRunner runner;
    std::unique_ptr<CLXJobQueue> queue = std::make_unique<CLXJobQueue>(
        [this](CLXTransferJob& job) { return runner.Run(job); },
        [this](CLXTransferJob& job, int result) { runner.Finish(job, result); },
        [this] { runner.Stop(); });
};

TEST_F(JobQueueTest, ASecondJobWaitsForTheFirstWithItsOwnList) {
    queue->Enqueue(Job("first"));
    runner.WaitStarted(1);
    auto second = Job("second");
    queue->Enqueue(second);
    std::this_thread::sleep_for(50ms);
    {
        std::lock_guard lock(runner.mutex);
        EXPECT_EQ(runner.started.size(), 1u);
    }
    runner.Release();
    runner.WaitStarted(2);
    EXPECT_EQ(queue->Running(), second);
    runner.Release();
    queue->WaitIdle();
    EXPECT_EQ(runner.maxConcurrent, 1);
    using Finished = std::vector<std::pair<std::string, int>>;
    EXPECT_EQ(runner.finished, (Finished{{"first", 0}, {"second", 0}}));
}

TEST_F(JobQueueTest, CancellingStopsTheRunningJobAndSkipsAWaitingOne) {
    auto running = Job("running");
    auto waiting = Job("waiting");
    queue->Enqueue(running);
    runner.WaitStarted(1);
    queue->Enqueue(waiting);
    queue->Cancel(waiting);
    queue->Cancel(running);
    queue->WaitIdle();
    EXPECT_TRUE(running->IsCancelled());
    using Finished = std::vector<std::pair<std::string, int>>;
    EXPECT_EQ(runner.finished, (Finished{{"running", 17}, {"waiting", 17}}));
    EXPECT_EQ(runner.started.size(), 1u);
}

TEST_F(JobQueueTest, DestroyingTheQueueEndsTheRunningJobFirst) {
    auto job = Job("running");
    queue->Enqueue(job);
    queue->Enqueue(Job("never"));
    runner.WaitStarted(1);
    queue.reset();
    EXPECT_TRUE(job->IsCancelled());
    ASSERT_EQ(runner.finished.size(), 2u);
    EXPECT_EQ(runner.finished[0].second, 17);
    EXPECT_EQ(runner.finished[1].second, 17);
}

TEST(TransferJobTest, ASendJobSumsTheSizesItCanRead) {
    const auto self = std::filesystem::path("/proc/self/exe");
    const auto size = std::filesystem::file_size(std::filesystem::canonical(self));
    auto job = CLXTransferJob::Send({std::filesystem::canonical(self).string(), "/no/such/file"}, 1,
                                    nullptr);
    EXPECT_EQ(job->Size(), static_cast<std::uint32_t>(size));
    auto fetch = CLXTransferJob::Fetch({"a.la"}, {"/tmp/a.la"}, 1, nullptr);
    EXPECT_EQ(fetch->Size(), 0u);
}

}  // namespace
