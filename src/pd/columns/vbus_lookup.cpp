#include <mutex>

#include "capture/document.h"
#include "pd/columns/column_text.h"

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
    values.vbusVoltage = sample->vbusVoltage;
    values.vbusCurrent = sample->vbusCurrent;
    values.cc1Voltage = sample->cc1Voltage;
    values.cc2Voltage = sample->cc2Voltage;
    values.cc1Current = sample->cc1Current;
    values.cc2Current = sample->cc2Current;
    return values;
}

}  // namespace

std::optional<PacketVbusValues> PacketVbus(const CCCPacket& packet) {
    if (packet.vbusValid) {
        PacketVbusValues values;
        values.vbusVoltage = packet.vbusVoltage;
        values.vbusCurrent = packet.vbusCurrent;
        values.cc1Voltage = packet.cc1Voltage;
        values.cc2Voltage = packet.cc2Voltage;
        values.cc1Current = packet.cc1Current;
        values.cc2Current = packet.cc2Current;
        return values;
    }
    return FindVbusSample(packet);
}

bool LookupVbus(CCCPacket& packet) {
    const std::optional<PacketVbusValues> values = FindVbusSample(packet);
    if (!values) {
        return false;
    }
    packet.vbusVoltage = values->vbusVoltage;
    packet.vbusCurrent = values->vbusCurrent;
    packet.cc1Voltage = values->cc1Voltage;
    packet.cc2Voltage = values->cc2Voltage;
    packet.cc1Current = values->cc1Current;
    packet.cc2Current = values->cc2Current;
    packet.vbusValid = true;
    return true;
}
