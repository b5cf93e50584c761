#pragma once

// Faults of a noisy cable: each byte, in either direction, is lost or changed with a chosen
// probability. Seeded, so that a run can be repeated.

#include <cstdint>
#include <random>

namespace lumosim {

class LineFaults {
public:
    LineFaults(double dropProbability, double corruptProbability, uint64_t seed);

    bool Active() const { return drop_ > 0 || corrupt_ > 0; }
    // False when the byte is lost; otherwise the byte may have been changed.
    bool Pass(uint8_t& byte);
    bool Chance(double probability);

    uint64_t Dropped() const { return dropped_; }
    uint64_t Corrupted() const { return corrupted_; }

private:
    double drop_;
    double corrupt_;
    std::mt19937_64 random_;
    std::uniform_real_distribution<double> unit_{0.0, 1.0};
    uint64_t dropped_ = 0;
    uint64_t corrupted_ = 0;
};

}  // namespace lumosim
