// Receiver of what the record stream parsers produce.
#pragma once

#include <cstdint>
#include <span>

#include "capture/info_block.h"
#include "capture/record_block.h"
#include "pd/cc_packet.h"

// The capture document is the main implementation; tools that only count or print use their
// own. Samples and packets arrive in the order the parsers finish them.
class RecordSink {
  public:
    virtual ~RecordSink() = default;

    virtual void OnSample(const CVbusInfo& sample) = 0;
    // Consecutive samples, in order: the same as OnSample for each, which is what it does unless
    // a sink takes them faster together.
    virtual void OnSamples(std::span<const CVbusInfo> samples) {
        for (const CVbusInfo& sample : samples) {
            OnSample(sample);
        }
    }
    // A finished packet with its raw edge list. The sink keeps it or lets it go.
    virtual void OnPacket(PacketPtr packet) = 0;
    // One entry of an InfoBlock found at blockOffset.
    virtual void OnInfoEntry(const InfoEntry& /*entry*/, uint64_t /*blockOffset*/) {}
};
