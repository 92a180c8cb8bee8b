#include "capture/document_snapshot.h"

#include "capture/find_last_at_or_before.h"

std::optional<size_t> DocumentSnapshot::FindPacket(int64_t t) const {
    return FindLastAtOrBefore(packets.size(), t,
                              [this](size_t i) { return packets[i]->relTime - timeOrigin; });
}

std::optional<size_t> DocumentSnapshot::FindSample(int64_t t) const {
    return FindLastAtOrBefore(samples.Size(), t,
                              [this](size_t i) { return samples.Time(i) - timeOrigin; });
}
