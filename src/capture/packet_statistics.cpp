#include "capture/packet_statistics.h"

#include "pd/bmc_decoder.h"
#include "pd/message_header.h"

void CountPacket(PacketStatistics& stats, const CCCPacket& packet) {
    ++stats.total;
    if (packet.ccLine == 0) {
        ++stats.cc1;
    } else {
        ++stats.cc2;
    }
    if (!packet.preambleFound) {
        ++stats.noPreamble;
    }
    if (!packet.eopFound) {
        ++stats.noEop;
    }
    if (UnitIntervalOutOfRange(packet)) {
        ++stats.uiOutOfRange;
    }
    int32_t kind = packet.orderedSetKind;
    if (!IsSopKind(kind)) {
        if (kind == kOsHardReset || kind == kOsCableReset) {
            ++stats.kind[static_cast<size_t>(kind)];
        } else {
            ++stats.otherKind;
        }
        return;
    }
    ++stats.kind[static_cast<size_t>(kind)];
    if (!packet.crcOk) {
        ++stats.crcFailed;
    }
    if (kind == kOsSop) {
        // Read as find and filter read it, so that the boxes enabled from these counters match.
        const uint16_t header = AssembledHeader(packet);
        ++((header >> 8) & 1 ? stats.source : stats.sink);
        ++((header >> 5) & 1 ? stats.dfp : stats.ufp);
    }
    if (!packet.crcOk) {
        return;
    }
    int type = MessageType(packet);
    if (type < 0 || type >= kMessageTypeSlots) {
        return;
    }
    auto slot = static_cast<size_t>(type);
    if (IsExtended(packet)) {
        ++stats.extended[slot];
    } else if (IsControl(packet)) {
        ++stats.control[slot];
    } else if (IsData(packet)) {
        ++stats.data[slot];
    }
}
