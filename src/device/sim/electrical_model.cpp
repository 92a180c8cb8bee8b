#include "device/sim/electrical_model.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

int Noisy(double value, double amplitude, SimRandom& noise) {
    return static_cast<int>(std::lround(value + noise.Symmetric() * amplitude));
}

}  // namespace

void ElectricalModel::Ramp(int64_t atNs, Channel channel, int target, double perMs) {
    if (!commands_.empty() && atNs < commands_.back().atNs) {
        sorted_ = false;
    }
    commands_.push_back({atNs, channel, static_cast<double>(target), std::max(0.0, perMs) / 1e6});
}

int64_t ElectricalModel::RampDurationNs(int fromMv, int toMv, double perMs) {
    if (perMs <= 0.0) {
        return 0;
    }
    return static_cast<int64_t>(std::abs(toMv - fromMv) / perMs * 1e6);
}

void ElectricalModel::Rewind() {
    nextCommand_ = 0;
    nowNs_ = 0;
    states_ = {};
}

void ElectricalModel::Advance(int64_t toNs) {
    if (toNs <= nowNs_) {
        return;
    }
    auto dt = static_cast<double>(toNs - nowNs_);
    for (State& state : states_) {
        if (state.value == state.target) {
            continue;
        }
        double step = state.perNs * dt;
        if (state.perNs == 0.0 || std::abs(state.target - state.value) <= step) {
            state.value = state.target;
        } else {
            state.value += state.target > state.value ? step : -step;
        }
    }
    nowNs_ = toNs;
}

ElectricalReading ElectricalModel::At(int64_t ns, SimRandom& noise) {
    if (!sorted_) {
        std::stable_sort(commands_.begin(), commands_.end(),
                         [](const Command& a, const Command& b) { return a.atNs < b.atNs; });
        sorted_ = true;
    }
    while (nextCommand_ < commands_.size() && commands_[nextCommand_].atNs <= ns) {
        const Command& command = commands_[nextCommand_++];
        Advance(command.atNs);
        State& state = states_[static_cast<size_t>(command.channel)];
        state.target = command.target;
        state.perNs = command.perNs;
        if (command.perNs == 0.0) {
            state.value = command.target;
        }
    }
    Advance(ns);

    auto value = [&](Channel channel) { return states_[static_cast<size_t>(channel)].value; };
    ElectricalReading reading;
    double vbus = value(Channel::kVbus);
    reading.vbusMillivolts = vbus > 0.0 ? std::max(0, Noisy(vbus, 6.0, noise)) : 0;
    double load = value(Channel::kLoad);
    reading.vbusMilliamps = load != 0.0 ? Noisy(load, 4.0, noise) : Noisy(0.0, 1.0, noise);
    const Channel volts[2] = {Channel::kCc1Volts, Channel::kCc2Volts};
    const Channel amps[2] = {Channel::kCc1Amps, Channel::kCc2Amps};
    for (int line = 0; line < 2; ++line) {
        double v = value(volts[line]);
        reading.ccMillivolts[line] = v > 0.0 ? std::max(0, Noisy(v, 4.0, noise)) : 0;
        double a = value(amps[line]);
        reading.ccMilliamps[line] = a != 0.0 ? Noisy(a, 1.5, noise) : 0;
    }
    return reading;
}
