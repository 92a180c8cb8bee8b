#include <mutex>

#include "capture/document.h"
#include "pd/columns/column_text.h"
#include "pd/electrical_readings.h"

namespace {

// The latest sample of the packet's document at or before the packet. The search and the read
// happen under the document's lock, so a decode pass or a trim on another thread cannot move
// the samples in between.
std::optional<PacketVbusValues> FindVbusSample(const CCCPacket& packet) {
    const CKVDoc* doc = packet.doc;
    if (doc == nullptr) {
        return std::nullopt;
    }
    std::lock_guard lock(doc->Mutex());
    const std::optional<size_t> index = doc->FindSample(packet.relTime - doc->TimeOrigin());
    if (!index) {
        return std::nullopt;
    }
    const std::optional<CVbusInfo> sample = doc->SampleAt(*index);
    if (!sample) {
        return std::nullopt;
    }
    PacketVbusValues values;
    CopyElectricalReadings(*sample, values);
    return values;
}

}  // namespace

std::optional<PacketVbusValues> PacketVbus(const CCCPacket& packet) {
    if (packet.vbusValid) {
        PacketVbusValues values;
        CopyElectricalReadings(packet, values);
        return values;
    }
    return FindVbusSample(packet);
}

bool LookupVbus(CCCPacket& packet) {
    const std::optional<PacketVbusValues> values = FindVbusSample(packet);
    if (!values) {
        return false;
    }
    CopyElectricalReadings(*values, packet);
    packet.vbusValid = true;
    return true;
}
