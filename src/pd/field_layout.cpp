// The field layout: which table describes which bits of a message or of a reassembled
// extended data block.
#include "pd/field_layout.h"

#include <algorithm>

#include "pd/bit_field.h"
#include "pd/chunk_assembler.h"
#include "pd/field_layout_builder.h"
#include "pd/message_header.h"

namespace {

constexpr int32_t kDataObjectsStart = 16;   // data objects follow the 16-bit header
constexpr int32_t kExtendedDataStart = 32;  // extended data follows both headers
constexpr int kCapabilityObjects = 7;       // Source/Sink_Capabilities: PDO slots shown
constexpr int kEprCapabilityObjects = 13;   // EPR_Source/Sink_Capabilities: PDO slots shown

const FieldTable* HeaderTable(const CCCPacket& packet) {
    const bool v2 = !HasRevision3Layout(packet);
    switch (packet.orderedSetKind) {
        case kOsSop:
            if (v2) {
                return &SopHeaderV2;
            }
            return IsExtended(packet) ? &SopHeaderV3Ext : &SopHeaderV3;
        case kOsSopPrime:
        case kOsSopDoublePrime:
            if (v2) {
                return &CableHeaderV2;
            }
            return ExtendedBit(packet) ? &CableHeaderV3Ext : &CableHeaderV3;
        default:
            return nullptr;
    }
}

ValueList MessageTypeValues(const CCCPacket& packet) {
    const bool v2 = !HasRevision3Layout(packet);
    if (IsExtended(packet)) {
        return ExtendedTypes;
    }
    if (IsData(packet)) {
        return v2 ? DataTypesV2 : DataTypesV3;
    }
    if (IsControl(packet)) {
        return v2 ? ControlTypesV2 : ControlTypesV3;
    }
    return {};
}

// Security and firmware update messages: a 16-bit header, then a body chosen by its second
// byte (the message type of that protocol).
struct TypedBody {
    uint32_t type;
    const FieldTable* table;
};

constexpr TypedBody kSecurityRequestBodies[] = {
    {0x81, &SecReq81}, {0x82, &SecReq82}, {0x83, &SecReq83}};
constexpr TypedBody kSecurityResponseBodies[] = {
    {1, &SecResp01}, {2, &SecResp02}, {3, &SecResp03}, {127, &SecResp7F}};
constexpr TypedBody kFirmwareRequestBodies[] = {
    {0x82, &FwReq82}, {0x83, &FwReq83}, {0x84, &FwReq84}, {0xFF, &FwReqFF}};
constexpr TypedBody kFirmwareResponseBodies[] = {{1, &FwResp01}, {2, &FwResp02}, {3, &FwResp03},
                                                 {5, &FwResp05}, {7, &FwResp07}, {127, &FwResp7F}};

void AddTypedBody(FieldLayoutBuilder& builder, int32_t start, const FieldTable* header,
                  std::span<const TypedBody> bodies) {
    builder.Add(start, header);
    const uint32_t type = builder.Byte(start + 8);
    for (const TypedBody& body : bodies) {
        if (body.type == type) {
            builder.Add(start + 16, body.table);
            return;
        }
    }
}

// Extended types whose whole data block is one table.
const FieldTable* ExtendedBlockTable(const CCCPacket& packet, int type) {
    switch (type) {
        case kExtSourceCapabilitiesExtended:
            return &ScedbBlock;
        case kExtStatus:
            if (packet.orderedSetKind == kOsSop) {
                return &StatusBlockSop;
            }
            return IsCableKind(packet.orderedSetKind) ? &StatusBlockCable : nullptr;
        case kExtGetBatteryCap:
            return &GetBatteryCapBlock;
        case kExtGetBatteryStatus:
            return &GetBatteryStatusBlock;
        case kExtBatteryCapabilities:
            return &BatteryCapBlock;
        case kExtGetManufacturerInfo:
            return &GetManufacturerInfoBlock;
        case kExtManufacturerInfo:
            return &ManufacturerInfoBlock;
        case kExtPpsStatus:
            return &PpsStatusBlock;
        case kExtCountryInfo:
            return &CountryInfoBlock;
        case kExtCountryCodes:
            return &CountryCodesBlock;
        case kExtSinkCapabilitiesExtended:
            return &SkedbBlock;
        case kExtExtendedControl:
            return &ExtendedControlBlock;
        case kExtVendorDefinedExtended:
            return &UnstructuredVdmHeader;
        default:
            return nullptr;
    }
}

void AddExtendedDataSegments(FieldLayoutBuilder& builder, const CCCPacket& packet, int32_t start) {
    const int type = MessageType(packet);
    switch (type) {
        case kExtSecurityRequest:
            AddTypedBody(builder, start, &SecReqHeader, kSecurityRequestBodies);
            return;
        case kExtSecurityResponse:
            AddTypedBody(builder, start, &SecRespHeader, kSecurityResponseBodies);
            return;
        case kExtFirmwareUpdateRequest:
            AddTypedBody(builder, start, &FwReqHeader, kFirmwareRequestBodies);
            return;
        case kExtFirmwareUpdateResponse:
            AddTypedBody(builder, start, &FwRespHeader, kFirmwareResponseBodies);
            return;
        case kExtEprSourceCapabilities:
        case kExtEprSinkCapabilities:
            for (int i = 0; i < kEprCapabilityObjects; ++i) {
                const int32_t offset = start + 32 * i;
                builder.Add(offset, PdoTable(builder.Word(offset),
                                             type == kExtEprSourceCapabilities, true));
            }
            return;
        default:
            if (const FieldTable* table = ExtendedBlockTable(packet, type)) {
                builder.Add(start, table);
            }
            return;
    }
}

// A Request is broken down only when the Source_Capabilities it answers is still known and
// its Object Position names one of that message's PDOs.
void AddRequestSegment(FieldLayoutBuilder& builder, const CCCPacket& packet) {
    const PacketPtr caps = packet.sourceCapsRef.lock();
    if (!caps) {
        return;
    }
    const uint32_t rdo = builder.Word(kDataObjectsStart);
    const int position = static_cast<int>(BitField(rdo, 28, 31));
    if (position < 1 || position > DataObjectCount(*caps)) {
        return;
    }
    const uint32_t pdo = DataObject(*caps, position - 1);
    builder.Add(kDataObjectsStart, RdoTable(pdo, rdo, HasRevision3Layout(packet)));
}

void AddEprRequestSegments(FieldLayoutBuilder& builder, const CCCPacket& packet) {
    if (DataObjectCount(packet) < 2) {
        builder.Add(kDataObjectsStart, &EprRequestShort);
        return;
    }
    const uint32_t rdo = builder.Word(kDataObjectsStart);
    const uint32_t pdoCopy = builder.Word(kDataObjectsStart + 32);
    builder.Add(kDataObjectsStart, RdoTable(pdoCopy, rdo, true));
    builder.Add(kDataObjectsStart + 32, PdoTable(pdoCopy, true, true));
}

const FieldTable* SingleDataObjectTable(int type) {
    switch (type) {
        case kDataBist:
            return &BistDo;
        case kDataBatteryStatus:
            return &BatteryStatusDo;
        case kDataAlert:
            return &AlertDo;
        case kDataGetCountryInfo:
            return &CountryInfoDo;
        case kDataEnterUsb:
            return &EnterUsbDo;
        case kDataEprMode:
            return &EprModeDo;
        case kDataSourceInfo:
            return &SourceInfoDo;
        case kDataRevision:
            return &RevisionDo;
        default:
            return nullptr;
    }
}

void AddDataMessageSegments(FieldLayoutBuilder& builder, const CCCPacket& packet) {
    const int type = MessageType(packet);
    switch (type) {
        case kDataSourceCapabilities:
        case kDataSinkCapabilities:
            // Always every PDO slot: the rows stop at the end of the message anyway.
            for (int i = 0; i < kCapabilityObjects; ++i) {
                const int32_t offset = kDataObjectsStart + 32 * i;
                builder.Add(offset, PdoTable(builder.Word(offset), type == kDataSourceCapabilities,
                                             HasRevision3Layout(packet)));
            }
            return;
        case kDataRequest:
            AddRequestSegment(builder, packet);
            return;
        case kDataEprRequest:
            AddEprRequestSegments(builder, packet);
            return;
        case kDataVendorDefined:
            AddVdmSegments(builder, packet);
            return;
        default:
            if (const FieldTable* table = SingleDataObjectTable(type)) {
                builder.Add(kDataObjectsStart, table);
            }
            return;
    }
}

}  // namespace

FieldSource MessageFieldSource(const CCCPacket& packet) {
    return {packet.messageBytes.data(),
            std::clamp<int32_t>(packet.messageByteCount, 0,
                                static_cast<int32_t>(packet.messageBytes.size()))};
}

FieldSource ReassembledFieldSource(const CCCPacket& packet) {
    const std::span<const uint8_t> block = ReassembledBytes(packet);
    if (block.empty()) {
        return {};
    }
    return {block.data(), static_cast<int32_t>(block.size())};
}

FieldSource SelectFieldSource(const CCCPacket& packet, bool reassembled) {
    return reassembled ? ReassembledFieldSource(packet) : MessageFieldSource(packet);
}

uint32_t ReadSourceBits(const FieldSource& source, int64_t bitPos, int count) {
    uint32_t value = 0;
    const int64_t bitCount = int64_t{8} * source.byteCount;
    for (int i = 0; i < count && i < 32; ++i) {
        const int64_t x = bitPos + i;
        if (x < 0 || x >= bitCount) {
            continue;
        }
        if ((source.bytes[x / 8] >> (x % 8)) & 1u) {
            value |= 1u << i;
        }
    }
    return value;
}

void FieldLayoutBuilder::Add(int32_t bitOffset, const FieldTable* table, int32_t overrideField,
                             ValueList overrideValues) {
    if (layout.count >= kMaxFieldSegments - 1) {
        return;
    }
    FieldSegment& segment = layout.segments[static_cast<size_t>(layout.count++)];
    segment.bitOffset = bitOffset;
    segment.bitLength = table ? TableBitLength(*table) : 0;
    segment.table = table;
    segment.overrideField = overrideField;
    segment.overrideValues = overrideValues;
}

uint32_t FieldLayoutBuilder::Word(int32_t bitOffset) const {
    return ReadSourceBits(source, bitOffset, 32);
}

uint32_t FieldLayoutBuilder::Byte(int32_t bitOffset) const {
    return ReadSourceBits(source, bitOffset, 8);
}

const FieldTable* PdoTable(uint32_t pdo, bool source, bool revision3) {
    switch (BitField(pdo, 30, 31)) {
        case 0:
            if (source) {
                return revision3 ? &SrcFixedPdoV3 : &SrcFixedPdoV2;
            }
            return revision3 ? &SnkFixedPdoV3 : &SnkFixedPdoV2;
        case 1:
            return source ? &SrcBatteryPdo : &SnkBatteryPdo;
        case 2:
            return source ? &SrcVariablePdo : &SnkVariablePdo;
        default:
            switch (BitField(pdo, 28, 29)) {
                case 0:
                    return source ? &SrcPpsApdo : &SnkPpsApdo;
                case 1:
                    return source ? &SrcAvsApdo : &SnkAvsApdo;
                default:
                    return source ? &SrcOtherApdo : &SnkOtherApdo;
            }
    }
}

const FieldTable* RdoTable(uint32_t pdo, uint32_t rdo, bool revision3) {
    const bool giveBack = BitSet(rdo, 27);
    switch (BitField(pdo, 30, 31)) {
        case 0:
        case 2:
            if (giveBack) {
                return revision3 ? &FixedRdoGiveBackV3 : &FixedRdoGiveBackV2;
            }
            return revision3 ? &FixedRdoV3 : &FixedRdoV2;
        case 1:
            if (giveBack) {
                return revision3 ? &BatteryRdoGiveBackV3 : &BatteryRdoGiveBackV2;
            }
            return revision3 ? &BatteryRdoV3 : &BatteryRdoV2;
        default:
            switch (BitField(pdo, 28, 29)) {
                case 0:
                    return &PpsRdo;
                case 1:
                    return &AvsRdo;
                default:
                    return &OtherApdoRdo;
            }
    }
}

FieldLayout BuildFieldLayout(const CCCPacket& packet, bool reassembled) {
    FieldLayout layout;
    FieldLayoutBuilder builder{layout, SelectFieldSource(packet, reassembled)};
    if (!reassembled) {
        // The "Message Type" field is the first field of every header table.
        builder.Add(0, HeaderTable(packet), 0, MessageTypeValues(packet));
        if (IsExtended(packet)) {
            builder.Add(16, &ExtHeaderFields);
        }
    }
    if (IsExtended(packet)) {
        const bool contributedToBlock = packet.chunkBuffer && packet.chunkLength > 0;
        if (reassembled) {
            AddExtendedDataSegments(builder, packet, 0);
        } else if (!contributedToBlock) {
            AddExtendedDataSegments(builder, packet, kExtendedDataStart);
        }
    } else if (!reassembled && IsData(packet)) {
        AddDataMessageSegments(builder, packet);
    }
    return layout;
}

ValueList SegmentFieldValues(const FieldSegment& segment, const FieldDesc& field) {
    if (segment.overrideField >= 0 && field.bitOffset == segment.overrideField) {
        return segment.overrideValues;
    }
    return field.valueTable;
}
