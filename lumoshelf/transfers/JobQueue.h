#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "transfers/TransferJob.h"

// Runs jobs one after another on a thread of its own; a job started while another runs waits
// behind it. The destructor cancels every job, waits for the running one to end and joins the
// thread, so that no job outlives the objects it uses.
class CLXJobQueue {
public:
    // Runs one job and returns its result.
    using Runner = std::function<int(CLXTransferJob&)>;
    // Called on the job thread after a job ended (or was skipped because it was cancelled).
    using Finished = std::function<void(CLXTransferJob&, int result)>;
    // Called on the calling thread for the job that is running when Cancel or shutdown comes.
    using StopRunning = std::function<void()>;

    CLXJobQueue(Runner runner, Finished finished, StopRunning stopRunning);
    ~CLXJobQueue();
    CLXJobQueue(const CLXJobQueue&) = delete;
    CLXJobQueue& operator=(const CLXJobQueue&) = delete;

    void Enqueue(std::shared_ptr<CLXTransferJob> job);
    // Sets the job's cancel flag; a running job also has its current transfer stopped.
    void Cancel(const std::shared_ptr<CLXTransferJob>& job);
    // The job that runs now, or null.
    std::shared_ptr<CLXTransferJob> Running() const;
    // Waits until no job runs or waits.
    void WaitIdle();

private:
    void Loop();

    Runner runner_;
    Finished finished_;
    StopRunning stopRunning_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::shared_ptr<CLXTransferJob>> waiting_;
    std::shared_ptr<CLXTransferJob> running_;
    bool stopping_ = false;
    std::thread thread_;
};
