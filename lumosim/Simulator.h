#pragma once

// The simulated reader: a pseudo-terminal, a flash folder and the reader's side of the link,
// run by one event loop, in the calling thread (Run) or a thread of its own (Start).

#include <atomic>
#include <chrono>
#include <cstdint>
#include <ctime>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

#include "lumolink/LinkFraming.h"
#include "lumosim/Flash.h"
#include "lumosim/LineFaults.h"
#include "lumosim/LinePacer.h"
#include "lumosim/PseudoTerminal.h"
#include "lumosim/ReaderFiles.h"
#include "lumosim/ReaderSession.h"
#include "lumosim/ReaderSettings.h"
#include "lumosim/SimulatorOptions.h"

namespace lumosim {

struct LineStats {
    uint64_t bytesIn = 0;
    uint64_t bytesOut = 0;
    uint64_t dropped = 0;
    uint64_t corrupted = 0;
    uint64_t badFrames = 0;  // frames that failed the receive checks
};

class Simulator {
public:
    explicit Simulator(const SimulatorOptions& options);
    ~Simulator();
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    const std::string& DevicePath() const { return pty_.DevicePath(); }

    void Run();    // until Stop
    void Start();  // Run on a thread of its own
    void Stop();   // from any thread

    // Controls and readings for tests, safe from any thread while the reader runs.
    void SetSilent(bool silent) { silent_ = silent; }
    void SetAbortAfter(std::optional<uint64_t> bytes);
    void SetNack(NackMode mode);
    SessionStats Session() const;
    LineStats Line() const;
    ReaderSettings Settings() const;
    unsigned LineSpeed() const;
    // Processor time used by the reader's own thread so far (after Start).
    std::chrono::nanoseconds CpuTime() const;

private:
    using Clock = std::chrono::steady_clock;
    struct TimedByte {
        Clock::time_point due;
        uint8_t byte;
    };

    void Log(const std::string& line) const;
    void Queue(std::span<const uint8_t> frame);
    bool SpeedsDiffer() const;
    void ReadLine(Clock::time_point now);
    void FeedDue(Clock::time_point now);
    void WriteDue(Clock::time_point now);
    std::optional<std::chrono::nanoseconds> PollTimeout(Clock::time_point now) const;

    SimulatorOptions options_;
    PseudoTerminal pty_;
    Flash flash_;
    ReaderSettings settings_;
    ReaderFiles files_;
    LineFaults faults_;
    LinePacer inbound_;
    LinePacer outbound_;
    lumolink::FrameReceiver receiver_{lumolink::LinkSide::Reader};
    ReaderSession session_;
    std::deque<TimedByte> received_;
    std::deque<TimedByte> sending_;
    LineStats line_;

    mutable std::mutex mutex_;  // everything above, between the loop and the controls
    std::atomic<bool> silent_;
    int stopEvent_ = -1;
    std::thread thread_;
    std::optional<clockid_t> cpuClock_;
};

}  // namespace lumosim
