#include "tools/pd_pcapng_record.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "pd/bmc_decoder.h"
#include "pd/chunk_assembler.h"
#include "pd/message_header.h"
#include "tools/pcapng_blocks.h"

namespace {

// Exported PDU tags: big-endian type and length, the value padded to four bytes.
constexpr uint16_t kExpPduTagEnd = 0;
constexpr uint16_t kExpPduTagDissectorName = 12;

void AppendBe16(std::string& out, uint16_t value) {
    out.push_back(static_cast<char>(value >> 8));
    out.push_back(static_cast<char>(value & 0xFF));
}

void AppendExportedPduTags(std::string& out) {
    std::string name = kPdDissectorName;
    PadToFour(name);
    AppendBe16(out, kExpPduTagDissectorName);
    AppendBe16(out, static_cast<uint16_t>(name.size()));
    out += name;
    AppendBe16(out, kExpPduTagEnd);
    AppendBe16(out, 0);
}

uint16_t Clamp16(int64_t value) {
    return static_cast<uint16_t>(std::clamp<int64_t>(value, 0, UINT16_MAX));
}

// The assembled message bytes without the CRC.
size_t MessageLength(const CCCPacket& packet) {
    return static_cast<size_t>(std::clamp<int32_t>(
        packet.messageByteCount, 0, static_cast<int32_t>(packet.messageBytes.size())));
}

// The reassembled data block of an extended message, on the packet that holds its start.
std::string_view DataBlock(const CCCPacket& packet) {
    if (!packet.crcOk || !IsExtended(packet) || packet.chunkOffset != 0) {
        return {};
    }
    const std::span<const uint8_t> block = ReassembledBytes(packet);
    return {reinterpret_cast<const char*>(block.data()), block.size()};
}

uint16_t Flags(const CCCPacket& packet, const PdRecordExtras& extras) {
    uint16_t flags = 0;
    const std::pair<bool, uint16_t> bits[] = {
        {packet.crcOk, kPdFlagCrcGood},
        {packet.recovered, kPdFlagRecovered},
        {extras.vbus.has_value(), kPdFlagVbus},
        {extras.requestedPdo.has_value(), kPdFlagRequestedPdo},
        {packet.preambleFound, kPdFlagPreamble},
        {packet.eopFound, kPdFlagEop},
        {packet.bytesAssembled, kPdFlagBytesAssembled},
        {extras.marked, kPdFlagMarked},
    };
    for (const auto& [set, bit] : bits) {
        if (set) {
            flags |= bit;
        }
    }
    return flags;
}

}  // namespace

PdRecordReason PacketReason(const CCCPacket& packet) {
    if (!packet.preambleFound) {
        return PdRecordReason::kNoPreamble;
    }
    if (packet.orderedSetKind == kOsHardReset || packet.orderedSetKind == kOsCableReset) {
        return PdRecordReason::kMessage;
    }
    if (packet.orderedSetKind == kOsNotDecoded) {
        return PdRecordReason::kNoOrderedSet;
    }
    if (!IsSopKind(packet)) {
        return PdRecordReason::kUnknownOrderedSet;
    }
    if (!packet.eopFound) {
        return PdRecordReason::kNoEop;
    }
    return packet.bytesAssembled ? PdRecordReason::kMessage : PdRecordReason::kBadSymbols;
}

PdRecordExtras PacketRecordExtras(const PacketRow& row, const ColumnContext& context) {
    const CCCPacket& packet = *row.packet;
    PdRecordExtras extras;
    extras.number = row.number;
    extras.vbus = PacketVbus(packet, context);
    if (packet.crcOk && IsData(packet) && MessageType(packet) == kDataRequest &&
        HasDataObject(packet, 0)) {
        const int position = static_cast<int>(DataObject(packet, 0) >> 28);
        const PacketPtr caps = packet.sourceCapsRef.lock();
        if (caps && position >= 1 && HasDataObject(*caps, position - 1)) {
            extras.requestedPdo = DataObject(*caps, position - 1);
        }
    }
    extras.description = ColumnText(row, kColumnDescription, context);
    return extras;
}

std::string BuildPdRecord(const CCCPacket& packet, const PdRecordExtras& extras) {
    const size_t messageLength = MessageLength(packet);
    const std::string_view block = DataBlock(packet);
    const std::string_view description(extras.description.data(),
                                       std::min<size_t>(extras.description.size(), UINT16_MAX));
    const PacketVbusValues vbus = extras.vbus.value_or(PacketVbusValues{});
    const float unitInterval = packet.averageUnitInterval;

    std::string out;
    out.reserve(16 + kPdRecordHeaderLength + messageLength + block.size() + description.size());
    AppendExportedPduTags(out);
    out.push_back(static_cast<char>(kPdRecordVersion));
    out.push_back(static_cast<char>(kPdRecordHeaderLength));
    out.push_back(static_cast<char>(std::clamp<int>(packet.orderedSetKind, 0, 255)));
    out.push_back(static_cast<char>(packet.ccLine == 0 ? 0 : 1));
    AppendLe16(out, Flags(packet, extras));
    out.push_back(static_cast<char>(PacketReason(packet)));
    out.push_back(static_cast<char>(std::clamp<int>(packet.port, 0, 255)));
    AppendLe32(out, static_cast<uint32_t>(extras.number));
    AppendLe32(out, packet.receivedCrc);
    AppendLe16(out, vbus.vbusVoltage);
    AppendLe16(out, static_cast<uint16_t>(vbus.vbusCurrent));
    AppendLe16(out, static_cast<uint16_t>(vbus.cc1Voltage));
    AppendLe16(out, static_cast<uint16_t>(vbus.cc1Current));
    AppendLe16(out, static_cast<uint16_t>(vbus.cc2Voltage));
    AppendLe16(out, static_cast<uint16_t>(vbus.cc2Current));
    AppendLe16(out, static_cast<uint16_t>(messageLength));
    AppendLe16(out, static_cast<uint16_t>(block.size()));
    AppendLe32(out, extras.requestedPdo.value_or(0));
    AppendLe16(out, static_cast<uint16_t>(description.size()));
    AppendLe16(out, Clamp16(packet.edgeCount));
    AppendLe32(out,
               static_cast<uint32_t>(std::clamp<int64_t>(PacketLengthUs(packet), 0, UINT32_MAX)));
    AppendLe16(out, Clamp16(packet.bitCount));
    AppendLe16(out, Clamp16(packet.preambleLength));
    const bool finite = std::isfinite(unitInterval) && unitInterval > 0.0f;
    AppendLe32(out, finite ? static_cast<uint32_t>(
                                 std::min(std::lround(static_cast<double>(unitInterval) * 1000.0),
                                          static_cast<long>(UINT32_MAX)))
                           : 0);
    out.append(reinterpret_cast<const char*>(packet.messageBytes.data()), messageLength);
    out += block;
    out += description;
    return out;
}
