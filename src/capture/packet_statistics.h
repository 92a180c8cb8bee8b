// Occurrence counters of packet properties; the find and filter dialog enables only the
// criteria that some packet of the capture can match.
#pragma once

#include <array>
#include <cstdint>

#include "pd/cc_packet.h"

inline constexpr int kMessageTypeSlots = 32;

struct PacketStatistics {
    uint32_t total = 0;
    uint32_t cc1 = 0;
    uint32_t cc2 = 0;
    uint32_t noPreamble = 0;
    uint32_t crcFailed = 0;
    uint32_t noEop = 0;
    uint32_t uiOutOfRange = 0;
    std::array<uint32_t, 8> kind{};  // indexed by orderedSetKind 1..7; slot 0 unused
    uint32_t otherKind = 0;
    uint32_t source = 0;
    uint32_t sink = 0;
    uint32_t dfp = 0;
    uint32_t ufp = 0;
    std::array<uint32_t, kMessageTypeSlots> control{};
    std::array<uint32_t, kMessageTypeSlots> data{};
    std::array<uint32_t, kMessageTypeSlots> extended{};
};

// Counts one decoded packet the document keeps.
void CountPacket(PacketStatistics& stats, const CCCPacket& packet);
