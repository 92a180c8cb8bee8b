#include "columns/column_text.h"

#include <algorithm>

#include "columns/value_text.h"
#include "pd/bmc_decoder.h"
#include "pd/description_text.h"
#include "pd/message_header.h"
#include "pd/symbols.h"
#include "pd/text_format.h"

namespace {

// "%02X" of one byte, without printf: these columns print up to 264 bytes per packet.
void AppendHexByte(std::string& out, uint8_t byte) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    out += kDigits[byte >> 4];
    out += kDigits[byte & 0x0F];
}

// Message bytes first .. first + count - 1 (all held by the packet) as hex pairs.
std::string HexByteList(const CCCPacket& packet, int first, int count, char separator) {
    std::string out;
    for (int i = 0; i < count; ++i) {
        if (i != 0) {
            out += separator;
        }
        AppendHexByte(out, packet.messageBytes[first + i]);
    }
    return out;
}

// Message bytes held by the packet, never more than the array.
int HeldByteCount(const CCCPacket& packet) {
    return std::clamp<int32_t>(packet.messageByteCount, 0,
                               static_cast<int32_t>(packet.messageBytes.size()));
}

std::string VbusColumnText(const CCCPacket& packet, int column, const ColumnContext& context) {
    const std::optional<PacketVbusValues> values = PacketVbus(packet, context);
    const bool reverseCurrent = context.reverseCurrent;
    if (!values) {
        return {};
    }
    switch (column) {
        case kColumnVbusVoltage:
            return VoltageText("%2.2f", values->vbusVoltage);
        case kColumnVbusCurrent:
            return CurrentText(values->vbusCurrent, reverseCurrent);
        case kColumnCc1Voltage:
            return VoltageText("%1.2f", static_cast<uint16_t>(values->cc1Voltage));
        case kColumnCc1Current:
            return CurrentText(values->cc1Current, reverseCurrent);
        case kColumnCc2Voltage:
            return VoltageText("%1.2f", static_cast<uint16_t>(values->cc2Voltage));
        case kColumnCc2Current:
            return CurrentText(values->cc2Current, reverseCurrent);
        default:
            return WattageText(values->vbusVoltage, values->vbusCurrent, reverseCurrent);
    }
}

// Data objects as "[1]:0401912Ch [2]:...".
std::string DataObjectsText(const CCCPacket& packet) {
    std::string out;
    const int count = DataObjectCount(packet);
    for (int i = 0; i < count; ++i) {
        AppendFormat(out, "[%d]:%08Xh ", i + 1, static_cast<unsigned>(DataObject(packet, i)));
    }
    return out;
}

// The extended data bytes this packet carries, at most Data Size of them; a chunk carries at
// most 4 x Number of Data Objects - 2.
std::string ExtendedDataText(const CCCPacket& packet) {
    const int dataSize = ExtDataSize(packet);
    if (dataSize == 0) {
        return {};
    }
    int carried = std::max(HeldByteCount(packet) - 4, 0);
    if (ExtChunked(packet)) {
        carried = std::min(carried, 4 * DataObjectCount(packet) - 2);
    }
    const int count = std::max(std::min(dataSize, carried), 0);
    return HexByteList(packet, 4, count, '-') + 'h';
}

std::string HexBytesText(const CCCPacket& packet) {
    if (!IsSopKind(packet)) {
        return {};
    }
    return HexByteList(packet, 0, HeldByteCount(packet), ' ');
}

std::string AsciiBytesText(const CCCPacket& packet) {
    std::string out;
    if (!IsSopKind(packet)) {
        return out;
    }
    const int count = HeldByteCount(packet);
    for (int i = 0; i < count; ++i) {
        const uint8_t byte = packet.messageBytes[i];
        out += (byte >= 0x20 && byte <= 0x7E) ? static_cast<char>(byte) : '.';
    }
    return out;
}

std::string BmcText(const CCCPacket& packet) {
    const size_t count =
        std::min(static_cast<size_t>(std::max<int32_t>(packet.bitCount, 0)), packet.bits.size());
    std::string out;
    out.reserve(count + 16);
    for (size_t i = 0; i < count; ++i) {
        const uint8_t bit = packet.bits[i];
        if (bit <= 9) {
            out += static_cast<char>('0' + bit);  // "%d" of a single digit, without printf
        } else {
            AppendFormat(out, "%d", bit);
        }
    }
    AppendFormat(out, " (%dbits)", packet.bitCount);
    return out;
}

std::string UnitIntervalText(const CCCPacket& packet) {
    std::string out = FormatText("%.3f", static_cast<double>(packet.averageUnitInterval));
    if (UnitIntervalOutOfRange(packet)) {
        out += "(Bad)";
    }
    return out;
}

// Columns 7-26: the ordered set and message columns.
std::string MessageColumnText(const CCCPacket& packet, int column) {
    if (!packet.preambleFound) {
        return {};
    }
    switch (column) {
        case kColumnOrderedSet:
            return OrderedSetName(packet);
        case kColumnMessageSize:
            return FormatText("%d", packet.messageByteCount);
        case kColumnPayload:
            return SymbolText(packet);
        case kColumnCrc:
            return CrcText(packet);
        default:
            break;
    }
    // Header fields and texts only for a message with a correct CRC.
    if (!packet.crcOk) {
        return {};
    }
    const bool extended = IsExtended(packet);
    switch (column) {
        case kColumnPowerRole:
            return PowerRoleText(packet);
        case kColumnDataRole:
            return DataRoleText(packet);
        case kColumnCablePlug:
            return CablePlugText(packet);
        case kColumnMessageType:
            return MessageName(packet);
        case kColumnMessageId:
            return FormatText("%d", MessageId(packet));
        case kColumnRevision:
            return RevisionText(packet);
        case kColumnDataObjectCount:
            return FormatText("%d", DataObjectCount(packet));
        case kColumnExtended:
            return HasRevision3Layout(packet) ? FormatText("%d", ExtendedBit(packet) ? 1 : 0)
                                              : std::string();
        case kColumnExtHeader:
            return extended ? FormatText("%04Xh", static_cast<unsigned>(ExtendedHeader(packet)))
                            : std::string();
        case kColumnExtChunked:
            return extended ? FormatText("%d", ExtChunked(packet) ? 1 : 0) : std::string();
        case kColumnExtChunkNumber:
            return extended ? FormatText("%d", ExtChunkNumber(packet)) : std::string();
        case kColumnExtRequestChunk:
            return extended ? FormatText("%d", ExtRequestChunk(packet) ? 1 : 0) : std::string();
        case kColumnExtDataSize:
            return extended ? FormatText("%d", ExtDataSize(packet)) : std::string();
        case kColumnDescription:
            return DescriptionText(packet);
        case kColumnHeader:
            return FormatText("%04Xh", static_cast<unsigned>(MessageHeader(packet)));
        case kColumnDataObjects:
            return extended ? ExtendedDataText(packet) : DataObjectsText(packet);
        default:
            return {};
    }
}

// Sort key of a VBUS column from the values shown for the packet.
int64_t VbusSortKey(const CCCPacket& packet, int column, const ColumnContext& context) {
    const std::optional<PacketVbusValues> values = PacketVbus(packet, context);
    if (!values) {
        return -1;
    }
    switch (column) {
        case kColumnVbusVoltage:
            return values->vbusVoltage;
        case kColumnVbusCurrent:
            return values->vbusCurrent;
        case kColumnCc1Voltage:
            return values->cc1Voltage;
        case kColumnCc1Current:
            return values->cc1Current;
        case kColumnCc2Voltage:
            return values->cc2Voltage;
        case kColumnCc2Current:
            return values->cc2Current;
        default:
            return static_cast<int64_t>(values->vbusCurrent) *
                   static_cast<int64_t>(values->vbusVoltage);
    }
}

void UpperAscii(std::string& text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
}

}  // namespace

std::string ColumnText(const PacketRow& row, int column, const ColumnContext& context) {
    const CCCPacket& packet = *row.packet;
    switch (column) {
        case kColumnPacketNumber:
            return FormatText("%d", row.number);
        case kColumnIdleTime:
            return FormatTime(row.idleTime);
        case kColumnTimestamp:
            return FormatTime(packet.relTime - context.timeOrigin);
        case kColumnPacketLength:
            return FormatText("%lld", static_cast<long long>(PacketLengthUs(packet)));
        case kColumnChannel:
            return FormatText("CC%d", packet.ccLine + 1);
        case kColumnEdgeCount:
            return FormatText("%d", packet.edgeCount);
        case kColumnBmc:
            return BmcText(packet);
        case kColumnPreambleLength:
            return FormatText("%d", packet.preambleLength);
        case kColumnAverageUnitInterval:
            return UnitIntervalText(packet);
        case kColumnHexBytes:
            return HexBytesText(packet);
        case kColumnAsciiBytes:
            return AsciiBytesText(packet);
        case kColumnVbusVoltage:
        case kColumnVbusCurrent:
        case kColumnCc1Voltage:
        case kColumnCc1Current:
        case kColumnCc2Voltage:
        case kColumnCc2Current:
        case kColumnVbusWattage:
            return VbusColumnText(packet, column, context);
        default:
            if (column >= kColumnOrderedSet && column <= kColumnCrc) {
                return MessageColumnText(packet, column);
            }
            return {};
    }
}

int64_t ColumnSortKey(const PacketRow& row, int column, const ColumnContext& context) {
    const CCCPacket& packet = *row.packet;
    const bool good = packet.crcOk;
    switch (column) {
        case kColumnPacketNumber:
            return row.number;
        case kColumnIdleTime:
            return row.idleTime;
        case kColumnTimestamp:
            return packet.relTime;
        case kColumnPacketLength:
            return PacketLengthUs(packet);
        case kColumnChannel:
            return packet.ccLine;
        case kColumnOrderedSet:
            return packet.orderedSetKind;
        case kColumnMessageId:
            return good ? MessageId(packet) : -1;
        case kColumnDataObjectCount:
            return good ? DataObjectCount(packet) : -1;
        case kColumnExtended:
            return good && HasRevision3Layout(packet) ? (ExtendedBit(packet) ? 1 : 0) : -1;
        case kColumnMessageSize:
            return good ? packet.messageByteCount : -1;
        case kColumnHeader:
            return good ? static_cast<int64_t>(MessageHeader(packet)) : -1;
        case kColumnCrc:
            return static_cast<int64_t>(packet.receivedCrc);
        case kColumnEdgeCount:
            return packet.edgeCount;
        case kColumnVbusVoltage:
        case kColumnVbusCurrent:
        case kColumnCc1Voltage:
        case kColumnCc1Current:
        case kColumnCc2Voltage:
        case kColumnCc2Current:
        case kColumnVbusWattage:
            return VbusSortKey(packet, column, context);
        default:
            return -1;
    }
}

int FindInColumns(const PacketRow& row, const std::string& text, const ColumnContext& context) {
    std::string needle = text;
    UpperAscii(needle);
    for (int column = 0; column < kPacketColumnCount; ++column) {
        std::string haystack = ColumnText(row, column, context);
        if (haystack.empty()) {
            continue;
        }
        UpperAscii(haystack);
        if (haystack.find(needle) != std::string::npos) {
            return column;
        }
    }
    return -1;
}
