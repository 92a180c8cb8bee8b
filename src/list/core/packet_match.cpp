#include "list/core/packet_match.h"

#include "list/core/packet_class.h"
#include "pd/bmc_decoder.h"
#include "pd/message_header.h"
#include "pd/packet_column.h"

namespace {

// Required channel box of the packet; none for lines other than CC1 and CC2.
std::optional<Criterion> ChannelBox(const CCCPacket& packet) {
    switch (packet.ccLine) {
        case 0:
            return kCritCc1;
        case 1:
            return kCritCc2;
        default:
            return std::nullopt;
    }
}

// Ordered-set box of kinds 1-7; none for other kinds.
std::optional<Criterion> OrderedSetBox(int32_t kind) {
    switch (kind) {
        case kOsSop:
            return kCritSop;
        case kOsSopPrime:
            return kCritSopPrime;
        case kOsSopDoublePrime:
            return kCritSopDoublePrime;
        case kOsHardReset:
            return kCritHardReset;
        case kOsCableReset:
            return kCritCableReset;
        case kOsSopPrimeDebug:
            return kCritSopPrimeDebug;
        case kOsSopDoublePrimeDebug:
            return kCritSopDoublePrimeDebug;
        default:
            return std::nullopt;
    }
}

bool Allows(const FindCriteria& criteria, std::optional<Criterion> box) {
    return !box || criteria.on[*box];
}

bool RolesAllowed(const FindCriteria& criteria, uint16_t header) {
    const Criterion power = (header >> 8) & 1 ? kCritSource : kCritSink;
    const Criterion data = (header >> 5) & 1 ? kCritDfp : kCritUfp;
    return criteria.on[power] && criteria.on[data];
}

// The column that shows why an invalid packet is invalid.
int InvalidReasonColumn(const CCCPacket& packet) {
    if (!packet.preambleFound) {
        return kColumnPreambleLength;
    }
    const bool reset =
        packet.orderedSetKind == kOsHardReset || packet.orderedSetKind == kOsCableReset;
    if (reset) {
        return kColumnAverageUnitInterval;
    }
    if (!packet.crcOk) {
        return kColumnCrc;
    }
    return packet.eopFound ? kColumnAverageUnitInterval : kColumnPayload;
}

}  // namespace

HeaderMessageType ClassifyHeader(uint16_t header) {
    const bool revision3 = ((header >> 6) & 3) >= 2;
    const int type = header & (revision3 ? 0x1F : 0x0F);
    if (revision3 && (header & 0x8000) != 0) {
        return {MessageClass::kExtended, type};
    }
    return {((header >> 12) & 7) != 0 ? MessageClass::kData : MessageClass::kControl, type};
}

std::optional<Criterion> PacketMessageTypeBox(const CCCPacket& packet) {
    const HeaderMessageType classified = ClassifyHeader(AssembledHeader(packet));
    return MessageTypeCriterion(classified.messageClass, classified.type);
}

int MatchFind(const FindCriteria& criteria, const PacketRow& row, const ColumnContext& context) {
    const CCCPacket& packet = *row.packet;
    if (criteria.textEnabled) {
        const int column = FindInColumns(row, criteria.text, context);
        if (column != -1) {
            return column;
        }
    }
    if (!Allows(criteria, ChannelBox(packet))) {
        return -1;
    }
    int noted = -1;
    const std::optional<Criterion> orderedSet = OrderedSetBox(packet.orderedSetKind);
    if (!Allows(criteria, orderedSet)) {
        return -1;
    }
    // The reset and debug sets are found by their box alone, on the "OS" cell.
    if (orderedSet && *orderedSet >= kCritHardReset) {
        noted = kColumnOrderedSet;
    }
    if (criteria.on[kCritInvalidPacket] && packet.edgeCount > 0 && IsInvalidPacket(packet)) {
        noted = InvalidReasonColumn(packet);
    }
    if (criteria.on[kCritCrcError] && IsCrcError(packet)) {
        return kColumnCrc;
    }
    if (noted != -1) {
        return noted;
    }
    if (!RolesAllowed(criteria, AssembledHeader(packet))) {
        return -1;
    }
    const std::optional<Criterion> type = PacketMessageTypeBox(packet);
    return type && criteria.on[*type] ? kColumnMessageType : -1;
}

bool PassesFilter(const FindCriteria& criteria, const CCCPacket& packet) {
    if (!Allows(criteria, ChannelBox(packet)) ||
        !Allows(criteria, OrderedSetBox(packet.orderedSetKind))) {
        return false;
    }
    const bool invalid = IsInvalidPacket(packet);
    const bool crcError = IsCrcError(packet);
    if ((invalid && !criteria.on[kCritInvalidPacket]) ||
        (crcError && !criteria.on[kCritCrcError]) ||
        (!invalid && !crcError && !criteria.on[kCritNoErrors])) {
        return false;
    }
    if (!RolesAllowed(criteria, AssembledHeader(packet))) {
        return false;
    }
    const std::optional<Criterion> type = PacketMessageTypeBox(packet);
    return !type || criteria.on[*type];
}

bool ShownByFilter(const FindCriteria& criteria, const PacketRow& row,
                   const ColumnContext& context) {
    if (!PassesFilter(criteria, *row.packet)) {
        return false;
    }
    if (!criteria.textEnabled || criteria.text.empty()) {
        return true;
    }
    return FindInColumns(row, criteria.text, context) != -1;
}
