#include "device/sim/conversation.h"

#include <algorithm>

#include "pd/crc32.h"

namespace {

// Shortest gap kept between two packets, well above the ten microseconds that end a packet.
constexpr int64_t kMinPacketGapNs = 30'000;

bool IsResetOrderedSet(int32_t orderedSet) {
    return orderedSet == kOsHardReset || orderedSet == kOsCableReset;
}

}  // namespace

MessageOrigin Party::OriginFor(int32_t orderedSet) const {
    MessageOrigin origin;
    origin.orderedSet = orderedSet;
    origin.specRevision = specRevision;
    origin.dataRoleDfp = dataDfp;
    origin.powerRoleSource = powerSource;
    origin.cablePlug = cablePlug;
    return origin;
}

Conversation::Conversation(ScenarioScript& script, SimRandom& random,
                           const ConversationSettings& settings)
    : script_(script), random_(random), settings_(settings) {
    nowNs_ = script.endNs;
}

void Conversation::Pause() {
    WaitUs(random_.Between(300, 1500));
}

BuiltMessage& Conversation::Transmit(const PdMessage& message, const std::string& label,
                                     PhyFault fault) {
    bool reset = IsResetOrderedSet(message.orderedSet);
    if (reset && (fault == PhyFault::kBadCrc || fault == PhyFault::kMissingEop)) {
        fault = PhyFault::kNone;  // a reset carries neither CRC nor EOP
    }
    if (!script_.messages.empty()) {
        nowNs_ = std::max(nowNs_, script_.endNs + kMinPacketGapNs);
    }

    BuiltMessage built;
    built.plannedNs = nowNs_;
    built.ccLine = ccLine_;
    built.orderedSet = message.orderedSet;
    built.bytes = message.bytes;
    built.crc = reset ? 0 : Crc32(message.bytes.data(), message.bytes.size());
    if (fault == PhyFault::kBadCrc) {
        built.crc ^= 0x00010000u;
    }
    built.fault = fault;
    built.label = label;
    built.unitIntervalUs = fault == PhyFault::kUnitIntervalOutOfRange ? kOutOfRangeUnitIntervalUs
                                                                      : settings_.unitIntervalUs;
    built.clockDivider = settings_.clockDivider;

    const PhyDistortion& distortion = settings_.distortion;
    LineCodeInput input{message.orderedSet,      message.bytes,          built.crc, fault,
                        distortion.preambleBits, distortion.damagedKCode};
    std::vector<int64_t> transitions =
        BmcTransitions(EncodePacketBits(input), built.unitIntervalUs, settings_.jitterUs, random_);
    ApplyLevelSkew(transitions, distortion.levelSkewUs);
    if (fault == PhyFault::kGlitch) {
        // A spike of one edge-timer tick: shorter than half of half a unit interval at every
        // divider the synthesizer accepts, so the decoder always classes it as short.
        int64_t width = settings_.clockDivider * 1000 / 48;
        InsertGlitches(transitions, std::max<int64_t>(width, 1), random_);
    } else if (fault == PhyFault::kTruncated) {
        auto keep = static_cast<size_t>(static_cast<int64_t>(transitions.size()) *
                                        random_.Between(35, 65) / 100);
        transitions.resize(std::clamp<size_t>(keep, std::min<size_t>(140, transitions.size()),
                                              transitions.size()));
    }
    int64_t duration = transitions.empty() ? 0 : transitions.back();
    script_.messages.push_back(std::move(built));
    script_.transitionsNs.push_back(std::move(transitions));
    nowNs_ += duration;
    script_.endNs = std::max(script_.endNs, nowNs_);
    return script_.messages.back();
}

void Conversation::Exchange(Party& from, Party& to, int32_t orderedSet, const std::string& label,
                            const Builder& build, PhyFault fault) {
    int id = from.ids.Current(orderedSet);
    PdMessage message = build(from.OriginFor(orderedSet), id);
    Transmit(message, label, fault);
    if (!DecodesCleanly(script_.messages.back())) {
        // The receiver saw nothing it could acknowledge; the sender retries after tReceive.
        WaitUs(random_.Between(900, 1100));
        Transmit(message, label, PhyFault::kNone);
    }
    WaitUs(goodCrcDelayUs_ > 0 ? goodCrcDelayUs_ : random_.Between(40, 90));
    Transmit(ControlMessage(to.OriginFor(orderedSet), id, kCtrlGoodCrc), "GoodCRC",
             PhyFault::kNone);
    from.ids.Advance(orderedSet);
    WaitUs(random_.Between(150, 600));
}

void Conversation::Control(Party& from, Party& to, int type, const std::string& label,
                           int32_t orderedSet, PhyFault fault) {
    Exchange(
        from, to, orderedSet, label,
        [type](const MessageOrigin& origin, int id) { return ControlMessage(origin, id, type); },
        fault);
}

void Conversation::Data(Party& from, Party& to, int type, std::vector<uint32_t> objects,
                        const std::string& label, int32_t orderedSet, PhyFault fault) {
    Exchange(
        from, to, orderedSet, label,
        [type, &objects](const MessageOrigin& origin, int id) {
            return DataMessage(origin, id, type, objects);
        },
        fault);
}

void Conversation::Extended(Party& from, Party& to, int type, std::vector<uint8_t> block,
                            const std::string& label, int32_t orderedSet) {
    int chunks = ChunkCount(static_cast<int>(block.size()));
    for (int chunk = 0; chunk < chunks; ++chunk) {
        if (chunk > 0) {
            Exchange(to, from, orderedSet, label + " chunk request",
                     [type, chunk](const MessageOrigin& origin, int id) {
                         return ChunkRequest(origin, id, type, chunk);
                     });
        }
        std::string name = chunks > 1 ? label + " chunk " + std::to_string(chunk) : label;
        Exchange(from, to, orderedSet, name,
                 [type, chunk, &block](const MessageOrigin& origin, int id) {
                     return ExtendedChunk(origin, id, type, block, chunk);
                 });
    }
}

void Conversation::UnchunkedExtendedMessage(Party& from, Party& to, int type,
                                            std::vector<uint8_t> block, const std::string& label,
                                            int32_t orderedSet) {
    Exchange(from, to, orderedSet, label, [type, &block](const MessageOrigin& origin, int id) {
        return UnchunkedExtended(origin, id, type, block);
    });
}

void Conversation::Reset(int32_t orderedSet, std::span<Party* const> resetParties) {
    PdMessage message = orderedSet == kOsCableReset ? CableResetMessage() : HardResetMessage();
    Transmit(message, orderedSet == kOsCableReset ? "Cable Reset" : "Hard Reset", PhyFault::kNone);
    for (Party* party : resetParties) {
        party->ids.Reset();
    }
    WaitUs(random_.Between(200, 400));
}

int64_t Conversation::RampVbus(int millivolts, double perMs) {
    script_.electrical.Ramp(nowNs_, Channel::kVbus, millivolts, perMs);
    int64_t duration = ElectricalModel::RampDurationNs(vbusTarget_, millivolts, perMs);
    vbusTarget_ = millivolts;
    return duration;
}

void Conversation::SetLoad(int milliamps, double perMs) {
    script_.electrical.Ramp(nowNs_, Channel::kLoad, milliamps, perMs);
}

void Conversation::SetCc(int ccLine, int millivolts, int milliamps) {
    bool cc2 = (ccLine & 1) != 0;
    script_.electrical.Ramp(nowNs_, cc2 ? Channel::kCc2Volts : Channel::kCc1Volts, millivolts, 0);
    script_.electrical.Ramp(nowNs_, cc2 ? Channel::kCc2Amps : Channel::kCc1Amps, milliamps, 0);
}
