// A record sink that keeps everything it is handed, for comparing parser runs.
#pragma once

#include <vector>

#include "capture/record_sink.h"

struct SeenEntry {
    uint64_t blockOffset;
    int position;
    uint8_t type;
    std::vector<uint8_t> value;
};

class CollectingSink : public RecordSink {
  public:
    void OnSample(const CVbusInfo& sample) override { samples.push_back(sample); }
    void OnPacket(PacketPtr packet) override { packets.push_back(std::move(packet)); }
    void OnInfoEntry(const InfoEntry& entry, uint64_t blockOffset) override {
        entries.push_back({blockOffset, entry.position, entry.type,
                           std::vector<uint8_t>(entry.value.begin(), entry.value.end())});
    }

    std::vector<CVbusInfo> samples;
    std::vector<PacketPtr> packets;
    std::vector<SeenEntry> entries;
};

inline std::vector<uint8_t> EntriesOf(const CCCPacket& packet) {
    std::vector<uint8_t> ticks;
    for (const CcEdge& edge : packet.edges) {
        ticks.push_back(edge.ticks);
    }
    return ticks;
}
