// Scripting helper for scenarios: ports and cable plugs exchange messages with GoodCRC
// replies, retries after faults, chunked extended messages and VBUS changes on one time line.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "device/sim/message_builder.h"
#include "device/sim/sim_script.h"
#include "pd/message_header.h"

// A port or cable plug taking part in the conversation.
struct Party {
    bool powerSource = false;
    bool dataDfp = false;
    bool cablePlug = false;
    int specRevision = 2;
    MessageIdCounters ids;

    MessageOrigin OriginFor(int32_t orderedSet) const;
};

struct ConversationSettings {
    double unitIntervalUs = kNominalUnitIntervalUs;
    double jitterUs = 0.05;
    int clockDivider = 20;
    PhyDistortion distortion;
};

class Conversation {
  public:
    using Builder = std::function<PdMessage(const MessageOrigin& origin, int messageId)>;

    Conversation(ScenarioScript& script, SimRandom& random, const ConversationSettings& settings);

    int64_t Now() const { return nowNs_; }
    void WaitUs(int64_t us) { nowNs_ += us * 1000; }
    void WaitMs(double ms) { nowNs_ += static_cast<int64_t>(ms * 1e6); }
    // A short, slightly random pause between two message sequences.
    void Pause();

    // CC line that carries the messages from now on.
    void UseLine(int ccLine) { ccLine_ = ccLine & 1; }
    int Line() const { return ccLine_; }

    // Sends one message from `from` to `to` on `orderedSet`, then `to` answers GoodCRC and the
    // sender's MessageID moves on. A message whose fault makes it unreadable gets no GoodCRC and
    // is sent again cleanly with the same MessageID.
    void Exchange(Party& from, Party& to, int32_t orderedSet, const std::string& label,
                  const Builder& build, PhyFault fault = PhyFault::kNone);
    void Control(Party& from, Party& to, int type, const std::string& label,
                 int32_t orderedSet = kOsSop, PhyFault fault = PhyFault::kNone);
    void Data(Party& from, Party& to, int type, std::vector<uint32_t> objects,
              const std::string& label, int32_t orderedSet = kOsSop,
              PhyFault fault = PhyFault::kNone);
    // An extended message in chunks: chunk 0, then for every further chunk a chunk request by
    // `to` and the chunk by `from`.
    void Extended(Party& from, Party& to, int type, std::vector<uint8_t> block,
                  const std::string& label, int32_t orderedSet = kOsSop);
    void UnchunkedExtendedMessage(Party& from, Party& to, int type, std::vector<uint8_t> block,
                                  const std::string& label, int32_t orderedSet = kOsSop);
    // Hard Reset / Cable Reset: no reply; every MessageID counter of `resetParties` restarts.
    void Reset(int32_t orderedSet, std::span<Party* const> resetParties);

    // Puts one packet on the wire without any reply and returns its script entry.
    BuiltMessage& Transmit(const PdMessage& message, const std::string& label, PhyFault fault);

    // Electrical changes from now on.
    // Ramps VBUS to `millivolts` and returns the ramp time in ns.
    int64_t RampVbus(int millivolts, double perMs = 30.0);
    void SetLoad(int milliamps, double perMs = 200.0);
    void SetCc(int ccLine, int millivolts, int milliamps = 0);
    int VbusTarget() const { return vbusTarget_; }
    void SetJitterUs(double jitterUs) { settings_.jitterUs = jitterUs; }
    // A GoodCRC this long after the end of each message from now on, to break tTransmit on
    // purpose; 0 restores the usual 40-90 µs.
    void SetGoodCrcDelayUs(int64_t us) { goodCrcDelayUs_ = us; }
    double JitterUs() const { return settings_.jitterUs; }

  private:
    ScenarioScript& script_;
    SimRandom& random_;
    ConversationSettings settings_;
    int64_t nowNs_ = 0;
    int ccLine_ = 0;
    int vbusTarget_ = 0;
    int64_t goodCrcDelayUs_ = 0;
};
