#pragma once

// The engine's messages: every one goes to the debug sink (stderr when LUMOLINK_DEBUG is set)
// and, while the link log is open, to the log file, each file line after a "[%5d]:" prefix with
// the milliseconds since the previous prefixed line of the process.

#include <cstdint>
#include <cstdio>
#include <mutex>
#include <span>
#include <string>

namespace lumolink {

// Debug output only, for lines that do not belong to the link log.
void DebugOutput(const char* format, ...) __attribute__((format(printf, 1, 2)));

class LinkLog {
public:
    LinkLog() = default;
    ~LinkLog() { CloseFile(); }
    LinkLog(const LinkLog&) = delete;
    LinkLog& operator=(const LinkLog&) = delete;

    void Printf(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // Rows of up to 32 bytes: hex, 7 spaces, the bytes as characters; written without prefix.
    void HexDump(std::span<const uint8_t> bytes);

    bool OpenFile(const std::string& path);
    void CloseFile();
    bool FileOpen() const;

private:
    void WriteLocked(const char* text);

    mutable std::mutex mutex_;
    std::FILE* file_ = nullptr;
    bool timeStampPrefix_ = false;
};

}  // namespace lumolink
