#include "transfers/ProgressCounter.h"

#include <string>

namespace lumo {
namespace {

constexpr auto kRateInterval = std::chrono::milliseconds(100);

std::string NumberOrUnknown(std::uint64_t number) {
    return number == 0 ? "(unknown)" : std::to_string(number);
}

}  // namespace

void ProgressCounter::Reset() { *this = ProgressCounter{}; }

ProgressTexts ProgressCounter::Report(const ProgressReport& report, Clock::time_point now) {
    const bool sameFile = report.fileIndex == currentFile_;
    if (sameFile) {
        totalDone_ += static_cast<std::uint32_t>(report.fileDone - lastBytes_);
    } else {
        currentFile_ = report.fileIndex;
        totalDone_ += static_cast<std::uint32_t>(report.fileDone);
    }

    // A new file's bytes are not comparable with the previous file's, so its first rate is
    // unknown, as is the job's first.
    std::string rate = "(unknown)";
    if (sameFile && lastTime_ && lastBytes_ != 0 && now - *lastTime_ > kRateInterval) {
        const auto elapsed =
            std::chrono::duration_cast<std::chrono::milliseconds>(now - *lastTime_).count();
        rate = std::to_string((report.fileDone - lastBytes_) / elapsed);
    }
    lastTime_ = now;
    lastBytes_ = report.fileDone;

    ProgressTexts texts;
    texts.status = std::to_string(report.fileDone) + " of " + NumberOrUnknown(report.fileSize) +
                   " at " + rate + "KB/sec";
    if (report.fileSize != 0) {
        texts.filePercent = static_cast<int>(std::int64_t(report.fileDone) * 100 / report.fileSize);
    }
    if (report.jobSize != 0) {
        texts.jobPercent = static_cast<int>(std::uint64_t(totalDone_) * 100 / report.jobSize);
    }
    texts.total = std::to_string(totalDone_) + " of " + NumberOrUnknown(report.jobSize) +
                  " bytes, file " + std::to_string(report.fileIndex + 1) + " of " +
                  std::to_string(report.fileCount);
    return texts;
}

}  // namespace lumo
