// Deterministic pseudo-random numbers for the synthesizer: the same seed gives the same capture
// on every platform, which the standard distributions do not promise.
#pragma once

#include <cstdint>

class SimRandom {
  public:
    explicit SimRandom(uint64_t seed) : state_(seed ^ 0x5A0D0A5EED5EEDull) {}

    // SplitMix64: small, fast and well distributed for simulation noise.
    uint64_t Next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    // Uniform integer in [low, high]; low when the range is empty.
    int64_t Between(int64_t low, int64_t high) {
        if (high <= low) {
            return low;
        }
        auto span = static_cast<uint64_t>(high - low) + 1;
        return low + static_cast<int64_t>(Next() % span);
    }

    // Uniform value in [-1, 1).
    double Symmetric() {
        return static_cast<double>(Next() >> 11) * (2.0 / 9007199254740992.0) - 1.0;
    }

    bool Chance(int percent) { return Between(0, 99) < percent; }

  private:
    uint64_t state_;
};
