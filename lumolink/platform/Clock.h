#pragma once

#include <chrono>
#include <cstdint>

namespace lumolink {

using LinkClock = std::chrono::steady_clock;

// Milliseconds of the monotonic clock, for log lines that print a tick count.
inline int64_t TickCountMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               LinkClock::now().time_since_epoch())
        .count();
}

}  // namespace lumolink
