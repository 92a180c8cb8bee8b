#include "list/core/criteria_enabling.h"

namespace {

uint32_t MessageTypeCount(const PacketStatistics& stats, const MessageTypeBox& box) {
    const auto slot = static_cast<size_t>(box.type);
    switch (box.messageClass) {
        case MessageClass::kControl:
            return stats.control[slot];
        case MessageClass::kData:
            return stats.data[slot];
        case MessageClass::kExtended:
            return stats.extended[slot];
    }
    return 0;
}

// The counter behind a box that is enabled by one occurrence count.
uint32_t OccurrenceCount(const PacketStatistics& stats, int criterion) {
    switch (criterion) {
        case kCritCc1:
            return stats.cc1;
        case kCritCc2:
            return stats.cc2;
        case kCritSop:
        case kCritSopPrime:
        case kCritSopDoublePrime:
        case kCritHardReset:
        case kCritCableReset:
        case kCritSopPrimeDebug:
        case kCritSopDoublePrimeDebug:
            // The ordered-set boxes follow the kinds 1..7 in order.
            return stats.kind[static_cast<size_t>(criterion - kCritSop + 1)];
        case kCritSource:
            return stats.source;
        case kCritSink:
            return stats.sink;
        case kCritDfp:
            return stats.dfp;
        case kCritUfp:
            return stats.ufp;
        case kCritInvalidPacket:
            return stats.noPreamble + stats.noEop + stats.uiOutOfRange;
        case kCritCrcError:
            return stats.crcFailed;
        case kCritNoErrors:
            return 1;  // always enabled
        default:
            return MessageTypeCount(
                stats, kMessageTypeBoxes[static_cast<size_t>(criterion - kFirstMessageType)]);
    }
}

}  // namespace

CriteriaEnabling EnableCriteria(const FindCriteria& criteria, const PacketStatistics* statistics) {
    CriteriaEnabling enabling;
    if (statistics == nullptr) {
        enabling.box.fill(true);
        enabling.textEdit = true;
        return enabling;
    }
    enabling.textEdit = criteria.textEnabled;
    for (int criterion = 0; criterion < kCriterionCount; ++criterion) {
        enabling.box[static_cast<size_t>(criterion)] =
            criteria.allowAll || OccurrenceCount(*statistics, criterion) != 0;
    }
    return enabling;
}
