#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace lumo {

// What one progress report changes in the progress dialog.
struct ProgressTexts {
    std::string status;              // "%d of %s at %sKB/sec"
    std::optional<int> filePercent;  // unset: the file's bar and percentage stay as they are
    std::optional<int> jobPercent;   // unset: the job's bar stays and its percentage is empty
    std::string total;               // "%d of %s bytes, file %d of %d"
};

struct ProgressReport {
    std::int32_t fileSize = 0;  // 0 when the link does not know it
    std::int32_t fileDone = 0;
    int fileIndex = 0;
    int fileCount = 0;
    std::uint32_t jobSize = 0;
};

// Counts a job's bytes and rate across its progress reports.
class ProgressCounter {
public:
    using Clock = std::chrono::steady_clock;

    void Reset();
    ProgressTexts Report(const ProgressReport& report, Clock::time_point now);

private:
    int currentFile_ = -1;
    std::uint32_t totalDone_ = 0;
    std::optional<Clock::time_point> lastTime_;
    std::int32_t lastBytes_ = 0;
};

}  // namespace lumo
