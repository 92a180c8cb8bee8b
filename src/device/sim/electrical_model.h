// VBUS and CC electrical model of the synthesizer: piecewise ramps of VBUS voltage, load
// current and the CC line voltages and currents, sampled with a little measurement noise.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "device/sim/sim_random.h"

// One reading in natural units: mV and mA (signed, positive from source to sink side).
struct ElectricalReading {
    int vbusMillivolts = 0;
    int vbusMilliamps = 0;
    int ccMillivolts[2] = {0, 0};
    int ccMilliamps[2] = {0, 0};
};

// CC1/CC2 voltages that a sink's Rd pulls the source's Rp to, inside the vRd bands.
inline constexpr int kCcDefaultUsbMillivolts = 420;
inline constexpr int kCc1A5Millivolts = 920;
inline constexpr int kCc3A0Millivolts = 1680;
inline constexpr int kVconnMillivolts = 5000;

enum class Channel : uint8_t { kVbus, kLoad, kCc1Volts, kCc2Volts, kCc1Amps, kCc2Amps };

class ElectricalModel {
  public:
    // From `atNs` on, `channel` moves toward `target` at `perMs` units per millisecond; a slew
    // of 0 steps at once. Commands may be given in any order.
    void Ramp(int64_t atNs, Channel channel, int target, double perMs);
    // Nanoseconds a VBUS ramp from `fromMv` to `toMv` takes at `perMs`.
    static int64_t RampDurationNs(int fromMv, int toMv, double perMs);

    // Reading at `ns`; successive calls must not go back in time.
    ElectricalReading At(int64_t ns, SimRandom& noise);
    void Rewind();

  private:
    struct Command {
        int64_t atNs;
        Channel channel;
        double target;
        double perNs;  // 0 = step
    };
    struct State {
        double value = 0.0;
        double target = 0.0;
        double perNs = 0.0;
    };

    void Advance(int64_t toNs);

    std::vector<Command> commands_;
    bool sorted_ = true;
    size_t nextCommand_ = 0;
    int64_t nowNs_ = 0;
    std::array<State, 6> states_{};
};
