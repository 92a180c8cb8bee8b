#include "columns/column_text.h"
#include "pd/electrical_readings.h"

std::optional<PacketVbusValues> PacketVbus(const CCCPacket& packet, const ColumnContext& context) {
    if (packet.vbusValid) {
        PacketVbusValues values;
        CopyElectricalReadings(packet, values);
        return values;
    }
    if (!context.samples) {
        return std::nullopt;
    }
    return context.samples(packet.relTime);
}
