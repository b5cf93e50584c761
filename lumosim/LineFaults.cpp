#include "lumosim/LineFaults.h"

namespace lumosim {

LineFaults::LineFaults(double dropProbability, double corruptProbability, uint64_t seed)
    : drop_(dropProbability), corrupt_(corruptProbability), random_(seed) {}

bool LineFaults::Chance(double probability) {
    return probability > 0 && unit_(random_) < probability;
}

bool LineFaults::Pass(uint8_t& byte) {
    if (Chance(drop_)) {
        ++dropped_;
        return false;
    }
    if (Chance(corrupt_)) {
        // A changed byte always differs from the one sent.
        byte ^= static_cast<uint8_t>(1 + random_() % 255);
        ++corrupted_;
    }
    return true;
}

}  // namespace lumosim
