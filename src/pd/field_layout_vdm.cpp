// Field layout of Vendor_Defined data messages: the VDM header and the VDOs of structured
// commands, including the product-type VDOs of a Discover Identity response.
#include "pd/bit_field.h"
#include "pd/field_layout_builder.h"
#include "pd/message_header.h"
#include "pd/vdm_constants.h"

namespace {

constexpr int32_t kVdmHeaderStart = 16;
constexpr int32_t kFirstVdoStart = 48;     // VDO 1
constexpr int32_t kCertStatStart = 80;     // VDO 2 of Discover Identity
constexpr int32_t kProductStart = 112;     // VDO 3 of Discover Identity
constexpr int32_t kProductTypeVdo1 = 144;  // VDO 4
constexpr int32_t kProductTypeVdo2 = 176;  // VDO 5
constexpr int32_t kProductTypeVdo3 = 208;  // VDO 6
constexpr int kDpCapabilityVdos = 6;

// The fields of a structured VDM header that choose the layout.
struct VdmHeader {
    uint32_t svid;
    uint32_t command;
    bool structured;
    bool version2;  // Structured VDM Version 2.x (field value 1 or more)
};

VdmHeader ReadVdmHeader(uint32_t word) {
    return {BitField(word, 16, 31), BitField(word, 0, 4), BitSet(word, 15),
            BitField(word, 13, 14) >= 1};
}

const FieldTable* VdmHeaderTable(const VdmHeader& header) {
    if (!header.structured) {
        return &UnstructuredVdmHeader;
    }
    if (!header.version2) {
        return &StructuredVdmHeaderV1;
    }
    const bool modeCommand = header.command == kVdmEnterMode || header.command == kVdmExitMode ||
                             header.command == kVdmAttention;
    return modeCommand ? &StructuredVdmHeaderV2Mode : &StructuredVdmHeaderV2;
}

// The version field of a UFP or DFP VDO (bits 29-31).
int ProductVdoVersion(uint32_t vdo) {
    return static_cast<int>(BitField(vdo, 29, 31));
}

const FieldTable* UfpVdoTable(uint32_t vdo) {
    const int version = ProductVdoVersion(vdo);
    if (version == 0) {
        return &UfpVdoV0;
    }
    return version <= 2 ? &UfpVdoV1 : &UfpVdoV3;
}

const FieldTable* DfpVdoTable(uint32_t vdo) {
    const int version = ProductVdoVersion(vdo);
    if (version == 0) {
        return &DfpVdoV0;
    }
    return version == 1 ? &DfpVdoV1 : &DfpVdoV2;
}

// The UFP VDO at VDO 4, followed by its second word while the VDO version is below 3.
void AddUfpVdos(FieldLayoutBuilder& builder) {
    const uint32_t ufpVdo = builder.Word(kProductTypeVdo1);
    builder.Add(kProductTypeVdo1, UfpVdoTable(ufpVdo));
    if (ProductVdoVersion(ufpVdo) < 3) {
        builder.Add(kProductTypeVdo2, &UfpPowerVdo);
    }
}

void AddProductTypeVdos(FieldLayoutBuilder& builder, const CCCPacket& packet,
                        const VdmHeader& header) {
    const uint32_t idHeader = builder.Word(kFirstVdoStart);
    const uint32_t ufpType = BitField(idHeader, 27, 29);
    const uint32_t dfpType = BitField(idHeader, 23, 25);
    const bool ufpHubOrPeripheral = ufpType == 1 || ufpType == 2;
    const bool dfpHubHostOrBrick = dfpType >= 1 && dfpType <= 3;

    if (packet.orderedSetKind == kOsSop) {
        // A dual-role device sends both product-type VDOs: UFP VDO, its second word (a pad
        // when the UFP VDO version is 3 or more), DFP VDO.
        if (DataObjectCount(packet) == 7 && header.version2 && ufpHubOrPeripheral &&
            dfpHubHostOrBrick) {
            AddUfpVdos(builder);
            builder.Add(kProductTypeVdo3, DfpVdoTable(builder.Word(kProductTypeVdo3)));
            return;
        }
        if (!PortDataRoleIsDfp(packet)) {
            if (ufpHubOrPeripheral && header.version2) {
                AddUfpVdos(builder);
            } else if (ufpType == 5) {
                builder.Add(kProductTypeVdo1, header.version2 ? &AmaVdoV2 : &AmaVdoV1);
            } else if (ufpType == 6 && header.version2) {
                builder.Add(kProductTypeVdo1, &VpdVdo);
            }
            return;
        }
        if (dfpHubHostOrBrick && header.version2) {
            builder.Add(kProductTypeVdo1, DfpVdoTable(builder.Word(kProductTypeVdo1)));
        }
        return;
    }
    if (!IsCableKind(packet.orderedSetKind)) {
        return;
    }
    if (ufpType == 3) {
        builder.Add(kProductTypeVdo1, header.version2 ? &PassiveCableVdoV2 : &PassiveCableVdoV1);
    } else if (ufpType == 4) {
        if (header.version2) {
            builder.Add(kProductTypeVdo1, &ActiveCableVdo1);
            builder.Add(kProductTypeVdo2, &ActiveCableVdo2);
        } else {
            builder.Add(kProductTypeVdo1, &ActiveCableVdoV1);
        }
    }
}

void AddDiscoverIdentityVdos(FieldLayoutBuilder& builder, const CCCPacket& packet,
                             const VdmHeader& header) {
    const bool sop = packet.orderedSetKind == kOsSop;
    const FieldTable* idHeader = sop ? (header.version2 ? &IdHeaderSopV2 : &IdHeaderSopV1)
                                     : (header.version2 ? &IdHeaderCableV2 : &IdHeaderCableV1);
    builder.Add(kFirstVdoStart, idHeader);
    builder.Add(kCertStatStart, &CertStatVdo);
    builder.Add(kProductStart, &ProductVdo);
    AddProductTypeVdos(builder, packet, header);
}

void AddDiscoverModesVdos(FieldLayoutBuilder& builder, const CCCPacket& packet,
                          const VdmHeader& header) {
    if (header.svid == kSvidDisplayPort) {
        for (int i = 0; i < kDpCapabilityVdos; ++i) {
            builder.Add(kFirstVdoStart + 32 * i, &DpCapabilitiesVdo);
        }
    } else if (header.svid == kSvidThunderbolt) {
        builder.Add(kFirstVdoStart,
                    packet.orderedSetKind == kOsSop ? &TbtModeVdoSop : &TbtModeVdoCable);
    } else {
        builder.Add(kFirstVdoStart, &DiscoverModesVdos);
    }
}

}  // namespace

void AddVdmSegments(FieldLayoutBuilder& builder, const CCCPacket& packet) {
    const VdmHeader header = ReadVdmHeader(builder.Word(kVdmHeaderStart));
    const bool displayPort = header.svid == kSvidDisplayPort;
    if (header.structured && displayPort) {
        // The "Command" field (bits 0-4) then also names the DisplayPort commands.
        builder.Add(kVdmHeaderStart, VdmHeaderTable(header), 0, DpVdmCommands);
    } else {
        builder.Add(kVdmHeaderStart, VdmHeaderTable(header));
    }
    if (!header.structured) {
        return;
    }
    const bool hasVdo = DataObjectCount(packet) >= 2;
    switch (header.command) {
        case kVdmDiscoverIdentity:
            AddDiscoverIdentityVdos(builder, packet, header);
            break;
        case kVdmDiscoverSvids:
            builder.Add(kFirstVdoStart, &DiscoverSvidsVdos);
            break;
        case kVdmDiscoverModes:
            AddDiscoverModesVdos(builder, packet, header);
            break;
        case kVdmEnterMode:
            if (hasVdo) {
                builder.Add(kFirstVdoStart,
                            header.svid == kSvidThunderbolt ? &TbtEnterModeVdo : &EnterModeVdos);
            }
            break;
        case kVdmExitMode:
            break;
        case kVdmAttention:
            if (hasVdo) {
                builder.Add(kFirstVdoStart, displayPort ? &DpStatusVdo : &AttentionVdos);
            }
            break;
        case kVdmDpStatusUpdate:
            if (displayPort && hasVdo) {
                builder.Add(kFirstVdoStart, &DpStatusVdo);
            }
            break;
        case kVdmDpConfigure:
            if (displayPort && hasVdo) {
                builder.Add(kFirstVdoStart, &DpConfigVdo);
            }
            break;
        default:
            break;
    }
}
