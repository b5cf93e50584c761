#include "lumolink/LinkLog.h"

#include <cctype>
#include <cstdarg>
#include <cstdlib>
#include <optional>

#include "lumolink/platform/Clock.h"

namespace lumolink {
namespace {

constexpr size_t kMessageSize = 512;
constexpr size_t kDumpRow = 32;

bool DebugSinkOn() {
    static const bool on = std::getenv("LUMOLINK_DEBUG") != nullptr;
    return on;
}

void WriteDebug(const char* text) {
    if (DebugSinkOn()) std::fputs(text, stderr);
}

// The time of the previous prefixed line is one value for the whole process.
std::mutex prefixTimeMutex;
std::optional<LinkClock::time_point> previousPrefixedLine;

long MillisecondsSincePreviousPrefix() {
    std::lock_guard lock(prefixTimeMutex);
    const auto now = LinkClock::now();
    long elapsed = 0;
    if (previousPrefixedLine) {
        elapsed = static_cast<long>(
            std::chrono::duration_cast<std::chrono::milliseconds>(now - *previousPrefixedLine)
                .count());
    }
    previousPrefixedLine = now;
    return elapsed;
}

}  // namespace

void DebugOutput(const char* format, ...) {
    char message[kMessageSize];
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof message, format, args);
    va_end(args);
    WriteDebug(message);
}

void LinkLog::Printf(const char* format, ...) {
    char message[kMessageSize];
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof message, format, args);
    va_end(args);
    std::lock_guard lock(mutex_);
    WriteLocked(message);
}

void LinkLog::WriteLocked(const char* text) {
    WriteDebug(text);
    if (file_ == nullptr) return;
    if (timeStampPrefix_) std::fprintf(file_, "[%5ld]:", MillisecondsSincePreviousPrefix());
    std::fputs(text, file_);
    std::fflush(file_);
}

void LinkLog::HexDump(std::span<const uint8_t> bytes) {
    std::lock_guard lock(mutex_);
    const bool prefix = timeStampPrefix_;
    timeStampPrefix_ = false;
    if (bytes.size() > kDumpRow) WriteLocked("\n");
    while (!bytes.empty()) {
        const auto row = bytes.first(std::min(bytes.size(), kDumpRow));
        char text[kDumpRow * 3 + 8];
        size_t at = 0;
        for (uint8_t b : row) at += std::snprintf(text + at, sizeof text - at, "%02X", b);
        at += std::snprintf(text + at, sizeof text - at, "       ");
        for (uint8_t b : row)
            text[at++] = (std::isprint(b) && b != '%') ? static_cast<char>(b) : '.';
        text[at] = '\0';
        WriteLocked(text);
        WriteLocked("\n");
        bytes = bytes.subspan(row.size());
    }
    timeStampPrefix_ = prefix;
}

bool LinkLog::OpenFile(const std::string& path) {
    std::lock_guard lock(mutex_);
    if (file_ != nullptr) std::fclose(file_);
    file_ = std::fopen(path.c_str(), "w");
    timeStampPrefix_ = file_ != nullptr;
    return file_ != nullptr;
}

void LinkLog::CloseFile() {
    std::lock_guard lock(mutex_);
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
}

bool LinkLog::FileOpen() const {
    std::lock_guard lock(mutex_);
    return file_ != nullptr;
}

}  // namespace lumolink
