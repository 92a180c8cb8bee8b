// What a scenario built: every transmitted message with its timing, bytes and fault, so that
// decoders can be checked against the exact bytes that went onto the wire.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "device/sim/electrical_model.h"
#include "device/sim/phy_encoder.h"

struct BuiltMessage {
    int64_t plannedNs = 0;    // scenario time of the first transition, ns from the capture start
    int64_t startTimeUs = 0;  // device time of the first transition, as the edge parser derives it
    int32_t ccLine = 0;       // 0 = CC1, 1 = CC2
    int32_t orderedSet = kOsSop;  // ordered set meant to be sent (before any damage)
    std::vector<uint8_t> bytes;   // message header onwards, without CRC; empty for resets
    uint32_t crc = 0;             // CRC carried on the wire
    PhyFault fault = PhyFault::kNone;
    std::string label;  // what the scenario sent, e.g. "Source_Capabilities" or "GoodCRC"
    double unitIntervalUs = kNominalUnitIntervalUs;
    int32_t clockDivider = 20;
    // Edge intervals in timer ticks exactly as the edge parser stores them (the first
    // transition opens the packet and has no entry).
    std::vector<uint8_t> edgeTicks;
};

// True when a correct decoder recovers `bytes` and a good CRC (or the reset) from the packet.
inline bool DecodesCleanly(const BuiltMessage& message) {
    return message.fault == PhyFault::kNone || message.fault == PhyFault::kUnitIntervalOutOfRange;
}

// A scenario's complete plan before packing: the messages with their transition times and the
// electrical model over the same time axis.
struct ScenarioScript {
    std::vector<BuiltMessage> messages;
    std::vector<std::vector<int64_t>> transitionsNs;  // per message, from its first transition
    ElectricalModel electrical;
    int64_t endNs = 0;  // the capture runs at least until here
};
