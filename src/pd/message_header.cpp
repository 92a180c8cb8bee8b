#include "pd/message_header.h"

#include <array>
#include <cstdio>

namespace {

// Name tables indexed by message type; nullptr marks a type without an entry.
constexpr std::array<const char*, 32> kControlNames = {
    nullptr,
    "GoodCRC",
    "GotoMin",
    "Accept",
    "Reject",
    "Ping",
    "PS_RDY",
    "Get_Source_Cap",
    "Get_Sink_Cap",
    "DR_Swap",
    "PR_Swap",
    "VCONN_Swap",
    "Wait",
    "Soft_Reset",
    "Data_Reset",
    "Data_Reset_Complete",
    "Not_Supported",
    "Get_Source_Cap_Extended",
    "Get_Status",
    "FR_Swap",
    "Get_PPS_Status",
    "Get_Country_Codes",
    "Get_Sink_Cap_Extended",
    "Get_Source_Info",
    "Get_Revision",
};

constexpr std::array<const char*, 32> kDataNames = {
    nullptr,
    "Source_Capabilities",
    "Request",
    "BIST",
    "Sink_Capabilities",
    "Battery_Status",
    "Alert",
    "Get_Country_Info",
    "Enter_USB",
    "EPR_Request",
    "EPR_Mode",
    "Source_Info",
    "Revision",
    nullptr,
    nullptr,
    "Vendor_Defined",
};

constexpr std::array<const char*, 32> kExtendedNames = {
    nullptr,
    "Source_Capabilities_Extended",
    "Status",
    "Get_Battery_Cap",
    "Get_Battery_Status",
    "Battery_Capabilities",
    "Get_Manufacturer_Info",
    "Manufacturer_Info",
    "Security_Request",
    "Security_Response",
    "Firmware_Update_Request",
    "Firmware_Update_Response",
    "PPS_Status",
    "Country_Info",
    "Country_Codes",
    "Sink_Capabilities_Extended",
    "Extended_Control",
    "EPR_Source_Capabilities",
    "EPR_Sink_Capabilities",
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    "Vendor_Defined_Extended",
};

std::string_view TableName(const std::array<const char*, 32>& table, int type) {
    if (type < 0 || type >= static_cast<int>(table.size()) || table[type] == nullptr) {
        return {};
    }
    return table[type];
}

uint16_t ReadU16(const CCCPacket& packet, int offset) {
    return static_cast<uint16_t>(packet.messageBytes[offset] |
                                 (packet.messageBytes[offset + 1] << 8));
}

}  // namespace

bool IsSopKind(const CCCPacket& packet) {
    return IsSopKind(packet.orderedSetKind);
}

bool IsCableKind(int32_t orderedSetKind) {
    return orderedSetKind == kOsSopPrime || orderedSetKind == kOsSopDoublePrime;
}

uint16_t MessageHeader(const CCCPacket& packet) {
    return ReadU16(packet, 0);
}

uint16_t AssembledHeader(const CCCPacket& packet) {
    return packet.bytesAssembled ? MessageHeader(packet) : 0;
}

int MessageTypeBits(const CCCPacket& packet) {
    return MessageHeader(packet) & 0x1F;
}

bool PortDataRoleIsDfp(const CCCPacket& packet) {
    return (MessageHeader(packet) >> 5) & 1;
}

int SpecRevision(const CCCPacket& packet) {
    return (MessageHeader(packet) >> 6) & 3;
}

bool PortPowerRoleIsSource(const CCCPacket& packet) {
    return (MessageHeader(packet) >> 8) & 1;
}

bool CablePlugBit(const CCCPacket& packet) {
    return (MessageHeader(packet) >> 8) & 1;
}

int MessageId(const CCCPacket& packet) {
    return (MessageHeader(packet) >> 9) & 7;
}

int DataObjectCount(const CCCPacket& packet) {
    return (MessageHeader(packet) >> 12) & 7;
}

bool ExtendedBit(const CCCPacket& packet) {
    return (MessageHeader(packet) >> 15) & 1;
}

uint16_t ExtendedHeader(const CCCPacket& packet) {
    return ReadU16(packet, 2);
}

int ExtDataSize(const CCCPacket& packet) {
    return ExtendedHeader(packet) & 0x1FF;
}

bool ExtRequestChunk(const CCCPacket& packet) {
    return (ExtendedHeader(packet) >> 10) & 1;
}

int ExtChunkNumber(const CCCPacket& packet) {
    return (ExtendedHeader(packet) >> 11) & 0xF;
}

bool ExtChunked(const CCCPacket& packet) {
    return (ExtendedHeader(packet) >> 15) & 1;
}

bool HasRevision3Layout(const CCCPacket& packet) {
    return SpecRevision(packet) >= 2;
}

int MessageType(const CCCPacket& packet) {
    return HasRevision3Layout(packet) ? MessageTypeBits(packet) : MessageTypeBits(packet) & 0xF;
}

bool IsExtended(const CCCPacket& packet) {
    return IsSopKind(packet) && HasRevision3Layout(packet) && ExtendedBit(packet);
}

bool IsControl(const CCCPacket& packet) {
    return IsSopKind(packet) && !IsExtended(packet) && DataObjectCount(packet) == 0;
}

bool IsData(const CCCPacket& packet) {
    return IsSopKind(packet) && !IsExtended(packet) && DataObjectCount(packet) > 0;
}

bool IsReset(const CCCPacket& packet) {
    switch (packet.orderedSetKind) {
        case kOsHardReset:
        case kOsCableReset:
            return true;
        case kOsSop:
        case kOsSopPrime:
        case kOsSopDoublePrime:
            return IsControl(packet) && MessageType(packet) == kCtrlSoftReset;
        default:
            return false;
    }
}

std::string_view ControlMessageName(int type) {
    return TableName(kControlNames, type);
}

std::string_view DataMessageName(int type) {
    return TableName(kDataNames, type);
}

std::string_view ExtendedMessageName(int type) {
    return TableName(kExtendedNames, type);
}

std::string MessageName(const CCCPacket& packet) {
    if (packet.orderedSetKind == kOsHardReset) {
        return "Hard Reset";
    }
    if (packet.orderedSetKind == kOsCableReset) {
        return "Cable Reset";
    }
    if (!IsSopKind(packet)) {
        return "(Unknown OS)";
    }
    const int type = MessageType(packet);
    std::string_view name;
    if (IsExtended(packet)) {
        name = ExtendedMessageName(type);
    } else if (IsData(packet)) {
        name = DataMessageName(type);
    } else {
        name = ControlMessageName(type);
    }
    if (!name.empty()) {
        return std::string(name);
    }
    char text[32];
    std::snprintf(text, sizeof text, "Unknown(%d)", type);
    return text;
}

std::string RevisionText(const CCCPacket& packet) {
    if (!IsSopKind(packet)) {
        return {};
    }
    const int revision = SpecRevision(packet);
    switch (revision) {
        case 0:
            return "1.0";
        case 1:
            return "2.0";
        case 2:
            return "3.0";
        default: {
            char text[16];
            std::snprintf(text, sizeof text, "Rsv(%d)", revision);
            return text;
        }
    }
}

std::string PowerRoleText(const CCCPacket& packet) {
    if (packet.orderedSetKind != kOsSop) {
        return {};
    }
    return PortPowerRoleIsSource(packet) ? "Source" : "Sink";
}

std::string DataRoleText(const CCCPacket& packet) {
    if (packet.orderedSetKind != kOsSop) {
        return {};
    }
    return PortDataRoleIsDfp(packet) ? "DFP" : "UFP";
}

std::string CablePlugText(const CCCPacket& packet) {
    if (!IsCableKind(packet.orderedSetKind)) {
        return {};
    }
    return CablePlugBit(packet) ? "Cable Plug" : "UFP or DFP";
}

bool HasDataObject(const CCCPacket& packet, int index) {
    if (index < 0 || index >= DataObjectCount(packet)) {
        return false;
    }
    const int end = 2 + 4 * index + 4;
    return end <= packet.messageByteCount && end <= kMaxMessageBytes;
}

uint32_t DataObject(const CCCPacket& packet, int index) {
    if (!HasDataObject(packet, index)) {
        return 0;
    }
    const int offset = 2 + 4 * index;
    return static_cast<uint32_t>(packet.messageBytes[offset]) |
           (static_cast<uint32_t>(packet.messageBytes[offset + 1]) << 8) |
           (static_cast<uint32_t>(packet.messageBytes[offset + 2]) << 16) |
           (static_cast<uint32_t>(packet.messageBytes[offset + 3]) << 24);
}
