#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "transfers/LXTransfer.h"
#include "transfers/ProgressWindow.h"

// A progress window that keeps every report and the job's end, for tests on any thread.
class RecordingWindow : public CLXProgressWindow {
public:
    bool PostTransferProgress(std::unique_ptr<CLXTransfer> copy) override {
        std::lock_guard lock(mutex);
        reports.push_back(*copy);
        changed.notify_all();
        return true;
    }
    void PostJobEnded(EB_ERR_STATUS result) override {
        std::lock_guard lock(mutex);
        ended = true;
        endResult = result;
        changed.notify_all();
    }
    bool WaitEnded(std::chrono::seconds timeout) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, timeout, [this] { return ended; });
    }
    bool WaitReports(std::size_t count, std::chrono::seconds timeout) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, timeout, [&] { return reports.size() >= count; });
    }

    std::mutex mutex;
    std::condition_variable changed;
    std::vector<CLXTransfer> reports;
    bool ended = false;
    EB_ERR_STATUS endResult = EB_ERR_SUCCESS;
};
