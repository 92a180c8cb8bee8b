// What a worker thread or a paint reads of the capture document, taken in one short hold of the
// document lock: the packets, the samples, the time origin, the running sample extremes, the marks
// and Markers A and B.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "capture/packet_marks.h"
#include "capture/sample_snapshot.h"
#include "capture/sample_stats.h"
#include "pd/cc_packet.h"

struct DocumentSnapshot {
    // Sorted by relTime. A packet's recorded and decoded fields do not change once the document
    // holds it; firstPacketNumber plus its index here is its number at the time of the snapshot.
    std::vector<PacketPtr> packets;
    SampleSnapshot samples;
    int64_t timeOrigin = 0;
    SampleStats stats;
    PacketMarks marks;
    PacketPtr markerA;
    PacketPtr markerB;
    // The document's number of packets[0]: 0 unless the snapshot took only a view's packets.
    size_t firstPacketNumber = 0;

    // Index of the last packet / sample whose time minus the time origin is <= t.
    std::optional<size_t> FindPacket(int64_t t) const;
    std::optional<size_t> FindSample(int64_t t) const;
};
