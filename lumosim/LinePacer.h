#pragma once

// Line timing: with pacing on, each byte takes the time it takes on a serial line at the
// current speed (10 bits a byte: start bit, 8 data bits, stop bit), one after the other.

#include <chrono>

namespace lumosim {

class LinePacer {
public:
    using Clock = std::chrono::steady_clock;

    explicit LinePacer(bool enabled) : enabled_(enabled) {}

    bool Enabled() const { return enabled_; }
    void SetSpeed(unsigned bitsPerSecond) { bitsPerSecond_ = bitsPerSecond; }
    unsigned Speed() const { return bitsPerSecond_; }
    Clock::duration ByteTime() const;

    // When a byte put on the line at `sent` has fully arrived: after the bytes before it.
    Clock::time_point Arrival(Clock::time_point sent);

private:
    bool enabled_;
    unsigned bitsPerSecond_ = 57600;
    Clock::time_point lineFree_{};
};

}  // namespace lumosim
