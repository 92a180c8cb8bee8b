// Arbitrary bytes as a record stream: fed once whole and once in chunks whose size the input
// picks, both runs must hand over the same samples and packets. (Decoding the packets is the
// document target's part; leaving it out here keeps this target fast.)
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "capture/record_stream.h"

namespace {

class CollectingSink : public RecordSink {
  public:
    void OnSample(const CVbusInfo& sample) override { sampleTimes.push_back(sample.time); }
    void OnPacket(PacketPtr packet) override { packets.push_back(std::move(packet)); }

    std::vector<int64_t> sampleTimes;
    std::vector<PacketPtr> packets;
};

void Parse(std::span<const uint8_t> stream, size_t chunk, CollectingSink& sink) {
    RecordStreamParser parser;
    for (size_t pos = 0; pos < stream.size(); pos += chunk) {
        parser.Feed(stream.subspan(pos, std::min(chunk, stream.size() - pos)), sink);
    }
}

bool SamePacket(const CCCPacket& a, const CCCPacket& b) {
    if (a.ccLine != b.ccLine || a.startTime != b.startTime || a.edgeCount != b.edgeCount ||
        a.firstBlockOffset != b.firstBlockOffset || a.lastBlockOffset != b.lastBlockOffset) {
        return false;
    }
    for (int i = 0; i < a.edgeCount && i < static_cast<int>(a.edges.size()); ++i) {
        if (a.edges[i].ticks != b.edges[i].ticks) {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) {
        return 0;
    }
    const size_t chunk = 1 + data[0] * 3u;
    const std::span<const uint8_t> stream(data + 1, size - 1);

    CollectingSink whole;
    Parse(stream, stream.size() + 1, whole);
    CollectingSink chunked;
    Parse(stream, chunk, chunked);

    if (whole.sampleTimes != chunked.sampleTimes ||
        whole.packets.size() != chunked.packets.size()) {
        std::abort();
    }
    for (size_t i = 0; i < whole.packets.size(); ++i) {
        if (!SamePacket(*whole.packets[i], *chunked.packets[i])) {
            std::abort();
        }
    }
    return 0;
}
