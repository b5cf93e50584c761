#include "lumosim/LinePacer.h"

#include <algorithm>

namespace lumosim {

namespace {
constexpr unsigned kBitsPerByte = 10;
}

LinePacer::Clock::duration LinePacer::ByteTime() const {
    return std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(double(kBitsPerByte) / bitsPerSecond_));
}

LinePacer::Clock::time_point LinePacer::Arrival(Clock::time_point sent) {
    if (!enabled_) return sent;
    lineFree_ = std::max(sent, lineFree_) + ByteTime();
    return lineFree_;
}

}  // namespace lumosim
