// Arbitrary edge intervals decoded as one packet: the input gives the clock divider, the CC
// line and up to 5000 intervals. Decoding, strict and tolerant, must stay within its budget and
// its buffers.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "pd/bmc_decoder.h"
#include "pd/tolerant_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) {
        return 0;
    }
    CCCPacket packet;
    packet.clockDivider = data[0] % 32 + 1;
    packet.ccLine = data[1] & 1;
    const size_t count = std::min<size_t>(size - 2, kMaxEdges);
    packet.edges.resize(count);
    for (size_t i = 0; i < count; ++i) {
        packet.edges[i].ticks = data[2 + i];
    }
    packet.edgeCount = static_cast<int32_t>(count);

    AmbiguitySearch search;
    DecodePacket(packet, 0, search);
    if (!packet.edges.empty() || packet.bitCount > packet.edgeCount ||
        packet.messageByteCount > kMaxMessageBytes || packet.symbolCount < 0) {
        std::abort();
    }

    // The tolerant pass over the same intervals: a recovered packet must carry a good CRC and
    // no more bits than intervals.
    CCCPacket tolerant;
    tolerant.clockDivider = packet.clockDivider;
    const std::span<const uint8_t> ticks(data + 2, count);
    if (RecoverTolerant(ticks, tolerant.clockDivider, &tolerant) &&
        (!tolerant.crcOk || !tolerant.recovered || tolerant.bitCount > packet.edgeCount ||
         tolerant.messageByteCount > kMaxMessageBytes)) {
        std::abort();
    }
    return 0;
}
