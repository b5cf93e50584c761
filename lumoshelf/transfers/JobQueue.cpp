#include "transfers/JobQueue.h"

namespace {
constexpr int kOperationCancelled = 17;
}

CLXJobQueue::CLXJobQueue(Runner runner, Finished finished, StopRunning stopRunning)
    : runner_(std::move(runner)),
      finished_(std::move(finished)),
      stopRunning_(std::move(stopRunning)),
      thread_([this] { Loop(); }) {}

CLXJobQueue::~CLXJobQueue() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        for (const auto& job : waiting_) job->Cancel();
        if (running_) running_->Cancel();
    }
    changed_.notify_all();
    // Repeat the stop until the job thread has left the job: a stop that arrives between two
    // files finds no transfer to end, and the cancel flag alone then ends the job.
    while (true) {
        std::unique_lock lock(mutex_);
        if (!running_ && waiting_.empty()) break;
        if (running_) stopRunning_();
        changed_.wait_for(lock, std::chrono::milliseconds(50),
                          [this] { return !running_ && waiting_.empty(); });
    }
    thread_.join();
}

void CLXJobQueue::Enqueue(std::shared_ptr<CLXTransferJob> job) {
    {
        std::lock_guard lock(mutex_);
        if (stopping_) job->Cancel();
        waiting_.push_back(std::move(job));
    }
    changed_.notify_all();
}

void CLXJobQueue::Cancel(const std::shared_ptr<CLXTransferJob>& job) {
    job->Cancel();
    std::lock_guard lock(mutex_);
    if (running_ == job) stopRunning_();
}

std::shared_ptr<CLXTransferJob> CLXJobQueue::Running() const {
    std::lock_guard lock(mutex_);
    return running_;
}

void CLXJobQueue::WaitIdle() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !running_ && waiting_.empty(); });
}

void CLXJobQueue::Loop() {
    std::unique_lock lock(mutex_);
    while (true) {
        changed_.wait(lock, [this] { return stopping_ || !waiting_.empty(); });
        if (waiting_.empty()) return;
        running_ = std::move(waiting_.front());
        waiting_.pop_front();
        CLXTransferJob& job = *running_;
        lock.unlock();
        const int result = job.IsCancelled() ? kOperationCancelled : runner_(job);
        finished_(job, result);
        lock.lock();
        running_.reset();
        changed_.notify_all();
    }
}
