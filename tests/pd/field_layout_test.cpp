#include "pd/field_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pd/chunk_assembler.h"
#include "pd/field_rows.h"
#include "pd/field_test_util.h"
#include "pd/hand_packets.h"
#include "pd/message_header.h"

namespace {

using fields::Names;
using fields::RowNamed;

// The table of every segment, in layout order.
std::vector<const FieldTable*> Tables(const FieldLayout& layout) {
    std::vector<const FieldTable*> tables;
    for (int i = 0; i < layout.count; ++i) {
        tables.push_back(layout.segments[static_cast<size_t>(i)].table);
    }
    return tables;
}

std::vector<int32_t> Offsets(const FieldLayout& layout) {
    std::vector<int32_t> offsets;
    for (int i = 0; i < layout.count; ++i) {
        offsets.push_back(layout.segments[static_cast<size_t>(i)].bitOffset);
    }
    return offsets;
}

// First field name shown under data object `index`.
std::string FirstFieldOf(const CCCPacket& packet, int index) {
    const auto rows = FieldRowsForNode(packet, 0x04000000 + 0x10000 * static_cast<uint32_t>(index));
    return rows.empty() ? std::string() : rows[0].name;
}

TEST(FieldLayout, SegmentsEndWithTheTerminatorAndCarryTableLengths) {
    const auto caps = hand::Data(kDataSourceCapabilities, true, true, {0x0001912C});
    const FieldLayout layout = BuildFieldLayout(*caps, false);
    // The header and always seven PDO slots.
    EXPECT_EQ(Offsets(layout), (std::vector<int32_t>{0, 16, 48, 80, 112, 144, 176, 208}));
    EXPECT_EQ(layout.segments[0].bitLength, 240);
    EXPECT_EQ(layout.segments[1].bitLength, 32);
    EXPECT_EQ(layout.segments[8].bitOffset, -1);
    EXPECT_EQ(layout.segments[8].table, nullptr);
}

TEST(FieldLayout, HeaderTableFollowsKindRevisionAndExtendedBit) {
    auto header = [](int32_t kind, int revision, bool extended) {
        const auto packet =
            hand::Message(kind, {.type = 1, .revision = revision, .extended = extended});
        return BuildFieldLayout(*packet, false).segments[0].table;
    };
    EXPECT_EQ(header(kOsSop, 1, false), &SopHeaderV2);
    EXPECT_EQ(header(kOsSop, 1, true), &SopHeaderV2);  // bit 15 does not count before 3.0
    EXPECT_EQ(header(kOsSop, 2, false), &SopHeaderV3);
    EXPECT_EQ(header(kOsSop, 3, true), &SopHeaderV3Ext);
    EXPECT_EQ(header(kOsSopPrime, 0, false), &CableHeaderV2);
    EXPECT_EQ(header(kOsSopDoublePrime, 2, false), &CableHeaderV3);
    EXPECT_EQ(header(kOsSopPrime, 2, true), &CableHeaderV3Ext);
    EXPECT_EQ(header(kOsSopPrimeDebug, 2, false), nullptr);
}

TEST(FieldLayout, MessageTypeIsNamedByClassAndRevision) {
    auto typeText = [](const PacketPtr& packet) {
        return FieldRowsForNode(*packet, 0x02000000)[0];
    };
    // Revision 2.0: a four-bit type, bit 4 is reserved.
    const auto accept = hand::Message(kOsSop, {.type = 0x13, .revision = 1});
    EXPECT_EQ(typeText(accept).description, "Accept");
    EXPECT_EQ(typeText(accept).offset, "0..3");
    EXPECT_EQ(RowNamed(FieldRowsForNode(*accept, 0x02000000), "Reserved").value, "1h (1)");
    EXPECT_EQ(typeText(hand::Message(kOsSop, {.type = 0x13, .revision = 2})).description,
              "FR_Swap");
    EXPECT_EQ(typeText(hand::Message(kOsSop, {.type = 9, .revision = 1}, {0})).description, "");
    EXPECT_EQ(typeText(hand::Message(kOsSop, {.type = 9, .revision = 2}, {0})).description,
              "EPR_Request");
    EXPECT_EQ(typeText(hand::Extended(kOsSop, {.type = kExtEprSinkCapabilities}, {})).description,
              "EPR_Sink_Capabilities");
    EXPECT_EQ(typeText(hand::Message(kOsSopPrime, {.type = 15, .revision = 2}, {0})).description,
              "Vendor_Defined");
}

TEST(FieldLayout, PdoTablesFollowTheSupplyKind) {
    const auto caps =
        hand::Data(kDataSinkCapabilities, false, false,
                   {0x0001912C, 0x4A0D2064, 0x8A0D2064, 0xC8DC213C, 0xD0DC213C, 0xE0000000});
    EXPECT_EQ(Tables(BuildFieldLayout(*caps, false)),
              (std::vector<const FieldTable*>{&SopHeaderV3, &SnkFixedPdoV3, &SnkBatteryPdo,
                                              &SnkVariablePdo, &SnkPpsApdo, &SnkAvsApdo,
                                              &SnkOtherApdo, &SnkFixedPdoV3}));
    const auto old =
        hand::Message(kOsSop, {.type = kDataSourceCapabilities, .revision = 1}, {0x0001912C});
    EXPECT_EQ(BuildFieldLayout(*old, false).segments[1].table, &SrcFixedPdoV2);
}

TEST(FieldLayout, RdoTablesFollowTheRequestedPdo) {
    const auto caps = hand::Data(kDataSourceCapabilities, true, true,
                                 {0x0001912C, 0x4A0D2064, 0xC8DC213C, 0xD0DC213C, 0xE0000000});
    auto table = [&](uint32_t rdo, int revision) {
        auto request = hand::Message(kOsSop, {.type = kDataRequest, .revision = revision}, {rdo});
        request->sourceCapsRef = caps;
        const FieldLayout layout = BuildFieldLayout(*request, false);
        return layout.count > 1 ? layout.segments[1].table : nullptr;
    };
    EXPECT_EQ(table(0x10000000, 2), &FixedRdoV3);
    EXPECT_EQ(table(0x10000000, 1), &FixedRdoV2);
    EXPECT_EQ(table(0x18000000, 1), &FixedRdoGiveBackV2);
    EXPECT_EQ(table(0x20000000, 2), &BatteryRdoV3);
    EXPECT_EQ(table(0x28000000, 2), &BatteryRdoGiveBackV3);
    EXPECT_EQ(table(0x30000000, 2), &PpsRdo);
    EXPECT_EQ(table(0x40000000, 2), &AvsRdo);
    EXPECT_EQ(table(0x50000000, 2), &OtherApdoRdo);
    EXPECT_EQ(table(0x00000000, 2), nullptr);  // Object Position 0
    EXPECT_EQ(table(0x60000000, 2), nullptr);  // beyond the five PDOs
}

TEST(FieldLayout, EprRequestCarriesItsPdoCopy) {
    const auto shortRequest = hand::Data(kDataEprRequest, false, false, {0x10000000});
    EXPECT_EQ(Tables(BuildFieldLayout(*shortRequest, false))[1], &EprRequestShort);
    const auto request = hand::Data(kDataEprRequest, false, false, {0x1004B12C, 0xD0DC213C});
    EXPECT_EQ(Tables(BuildFieldLayout(*request, false)),
              (std::vector<const FieldTable*>{&SopHeaderV3, &AvsRdo, &SrcAvsApdo}));
    EXPECT_EQ(FirstFieldOf(*request, 1), "PDP in 1W increments");
}

TEST(FieldLayout, SingleObjectDataMessages) {
    auto second = [](int type) {
        const auto packet = hand::Data(type, true, true, {0x50000000});
        return BuildFieldLayout(*packet, false).segments[1].table;
    };
    EXPECT_EQ(second(kDataBist), &BistDo);
    EXPECT_EQ(second(kDataBatteryStatus), &BatteryStatusDo);
    EXPECT_EQ(second(kDataAlert), &AlertDo);
    EXPECT_EQ(second(kDataGetCountryInfo), &CountryInfoDo);
    EXPECT_EQ(second(kDataEnterUsb), &EnterUsbDo);
    EXPECT_EQ(second(kDataEprMode), &EprModeDo);
    EXPECT_EQ(second(kDataSourceInfo), &SourceInfoDo);
    EXPECT_EQ(second(kDataRevision), &RevisionDo);
    const auto other = hand::Data(13, true, true, {0});
    EXPECT_EQ(BuildFieldLayout(*other, false).count, 1);
    const auto bist = hand::Data(kDataBist, true, true, {0x50000000});
    EXPECT_EQ(RowNamed(FieldRowsForNode(*bist, 0x04000000), "Mode").description,
              "BIST Carrier Mode");
}

// A Discover Identity ACK (structured VDM version 2.x by default) with the given VDOs after
// the VDM header, sent as a Source with the given data role.
PacketPtr DiscoverIdentity(int32_t kind, bool dfp, std::initializer_list<uint32_t> vdos,
                           uint32_t vdmHeader = 0xFF00A041) {
    const uint16_t header = hand::HeaderValue({.type = kDataVendorDefined,
                                               .objects = static_cast<int>(vdos.size()) + 1,
                                               .revision = 2,
                                               .bit5 = dfp,
                                               .bit8 = true});
    std::vector<uint8_t> bytes = {static_cast<uint8_t>(header), static_cast<uint8_t>(header >> 8)};
    const auto headerBytes = fields::WordBytes({vdmHeader});
    bytes.insert(bytes.end(), headerBytes.begin(), headerBytes.end());
    for (const uint32_t word : vdos) {
        const auto wordBytes = fields::WordBytes({word});
        bytes.insert(bytes.end(), wordBytes.begin(), wordBytes.end());
    }
    return hand::Raw(kind, bytes);
}

constexpr uint32_t kDrdIdHeader = 0x11001234;     // UFP: PDUSB Peripheral, DFP: PDUSB Host
constexpr uint32_t kUfpVdoVersion1 = 0x20000001;  // UFP VDO version 1 (1.1), USB 3.2 Gen1
constexpr uint32_t kDfpVdoVersion1 = 0x20000001;  // DFP VDO version 1 (1.1), port 1

TEST(DiscoverIdentity, DualRoleDeviceWithSevenObjectsShowsUfpAndDfpVdos) {
    const auto packet = DiscoverIdentity(
        kOsSop, false, {kDrdIdHeader, 0, 0x56780100, kUfpVdoVersion1, 0x00000000, kDfpVdoVersion1});
    EXPECT_EQ(Tables(BuildFieldLayout(*packet, false)),
              (std::vector<const FieldTable*>{&SopHeaderV3, &StructuredVdmHeaderV2, &IdHeaderSopV2,
                                              &CertStatVdo, &ProductVdo, &UfpVdoV1, &UfpPowerVdo,
                                              &DfpVdoV1}));
    EXPECT_EQ(FirstFieldOf(*packet, 1), "USB Vendor ID");
    EXPECT_EQ(FirstFieldOf(*packet, 2), "XID");
    EXPECT_EQ(FirstFieldOf(*packet, 3), "bcdDevice");
    EXPECT_EQ(FirstFieldOf(*packet, 4), "USB Highest Speed");
    EXPECT_EQ(FirstFieldOf(*packet, 5), "USB3 Max Power");
    EXPECT_EQ(FirstFieldOf(*packet, 6), "Port Number");
    const auto idRows = FieldRowsForNode(*packet, 0x04010000);
    EXPECT_EQ(RowNamed(idRows, "Product Type (UFP)").description, "PDUSB Peripheral");
    EXPECT_EQ(RowNamed(idRows, "Product Type (DFP)").description, "PDUSB Host");
}

TEST(DiscoverIdentity, SixObjectsShowOnlyTheVdosOfTheDataRole) {
    const std::initializer_list<uint32_t> vdos = {kDrdIdHeader, 0, 0x56780100, kUfpVdoVersion1,
                                                  0x00000000};
    const auto asUfp = DiscoverIdentity(kOsSop, false, vdos);
    EXPECT_EQ(FirstFieldOf(*asUfp, 4), "USB Highest Speed");
    EXPECT_EQ(FirstFieldOf(*asUfp, 5), "USB3 Max Power");

    const auto asDfp = DiscoverIdentity(kOsSop, true, vdos);
    EXPECT_EQ(FirstFieldOf(*asDfp, 4), "Port Number");
    // No table for VDO 5: the header's own data object field.
    EXPECT_EQ(FirstFieldOf(*asDfp, 5), "Data Object #6");
}

TEST(DiscoverIdentity, ProductVdoVersionSelectsTheUfpAndDfpTables) {
    auto ufpTables = [](uint32_t ufpVdo) {
        const auto packet =
            DiscoverIdentity(kOsSop, false, {kDrdIdHeader, 0, 0, ufpVdo, 0, 0x40000000});
        return Tables(BuildFieldLayout(*packet, false));
    };
    // Version field (bits 29-31) 0, 2 and 3.
    EXPECT_EQ(ufpTables(0x00000000)[5], &UfpVdoV0);
    EXPECT_EQ(ufpTables(0x40000000)[5], &UfpVdoV1);
    EXPECT_EQ(ufpTables(0x40000000)[6], &UfpPowerVdo);
    const auto v3 = ufpTables(0x60000000);
    EXPECT_EQ(v3,
              (std::vector<const FieldTable*>{&SopHeaderV3, &StructuredVdmHeaderV2, &IdHeaderSopV2,
                                              &CertStatVdo, &ProductVdo, &UfpVdoV3, &DfpVdoV2}));
    // The reserved bit 28 does not change the version.
    EXPECT_EQ(ufpTables(0x10000000)[5], &UfpVdoV0);
}

TEST(DiscoverIdentity, ProductTypesOfUfpsAndCables) {
    // Alternate Mode Adapter, by VDM version.
    const auto ama = DiscoverIdentity(kOsSop, false, {0x28000000, 0, 0, 0});
    EXPECT_EQ(FirstFieldOf(*ama, 4), "USB Highest Speed");
    EXPECT_EQ(Tables(BuildFieldLayout(*ama, false))[5], &AmaVdoV2);
    const auto amaV1 = DiscoverIdentity(kOsSop, false, {0x28000000, 0, 0, 0}, 0xFF008041);
    EXPECT_EQ(Tables(BuildFieldLayout(*amaV1, false))[2], &IdHeaderSopV1);
    EXPECT_EQ(Tables(BuildFieldLayout(*amaV1, false))[5], &AmaVdoV1);
    // VCONN-powered USB device.
    const auto vpd = DiscoverIdentity(kOsSop, false, {0x30000000, 0, 0, 1});
    EXPECT_EQ(FirstFieldOf(*vpd, 4), "Charge Through Support");

    // Cables: passive, active (two VDOs), active with VDM version 1.0.
    const auto passive = DiscoverIdentity(kOsSopPrime, false, {0x18000000, 0, 0, 0});
    EXPECT_EQ(Tables(BuildFieldLayout(*passive, false))[2], &IdHeaderCableV2);
    EXPECT_EQ(Tables(BuildFieldLayout(*passive, false))[5], &PassiveCableVdoV2);
    const auto active = DiscoverIdentity(kOsSopDoublePrime, false, {0x20000000, 0, 0, 0, 0});
    EXPECT_EQ(RowNamed(FieldRowsForNode(*active, 0x04040000), "SOP\" Controller Present").offset,
              "3");
    EXPECT_EQ(FirstFieldOf(*active, 5), "USB Gen");
    const auto activeV1 = DiscoverIdentity(kOsSopPrime, false, {0x20000000, 0, 0, 0}, 0xFF008041);
    EXPECT_EQ(Tables(BuildFieldLayout(*activeV1, false))[5], &ActiveCableVdoV1);
    const auto activeV1Rows = FieldRowsForNode(*activeV1, 0x04040000);
    ASSERT_GE(activeV1Rows.size(), 2u);
    EXPECT_EQ(activeV1Rows[1].offset, "3");
    EXPECT_EQ(activeV1Rows[1].name, "SOP\xE2\x80\x9D Controller Present");
}

TEST(VdmLayout, HeaderTablesAndDisplayPortCommands) {
    auto tables = [](std::initializer_list<uint32_t> objects) {
        const auto packet = hand::Data(kDataVendorDefined, true, true, objects);
        return Tables(BuildFieldLayout(*packet, false));
    };
    using TableList = std::vector<const FieldTable*>;
    EXPECT_EQ(tables({0x12340001}), (TableList{&SopHeaderV3, &UnstructuredVdmHeader}));
    EXPECT_EQ(tables({0xFF018045}), (TableList{&SopHeaderV3, &StructuredVdmHeaderV1}));
    EXPECT_EQ(tables({0xFF01A044, 1}),
              (TableList{&SopHeaderV3, &StructuredVdmHeaderV2Mode, &EnterModeVdos}));
    EXPECT_EQ(tables({0xFF01A004}), (TableList{&SopHeaderV3, &StructuredVdmHeaderV2Mode}));
    EXPECT_EQ(tables({0x8087A044, 1}),
              (TableList{&SopHeaderV3, &StructuredVdmHeaderV2Mode, &TbtEnterModeVdo}));
    EXPECT_EQ(tables({0xFF01A045}), (TableList{&SopHeaderV3, &StructuredVdmHeaderV2Mode}));
    EXPECT_EQ(tables({0xFF01A046, 0x9A}),
              (TableList{&SopHeaderV3, &StructuredVdmHeaderV2Mode, &DpStatusVdo}));
    EXPECT_EQ(tables({0x1234A046, 0x9A}),
              (TableList{&SopHeaderV3, &StructuredVdmHeaderV2Mode, &AttentionVdos}));
    EXPECT_EQ(tables({0xFF01A050, 0x9A}),
              (TableList{&SopHeaderV3, &StructuredVdmHeaderV2, &DpStatusVdo}));
    EXPECT_EQ(tables({0xFF01A051, 0x0C05}),
              (TableList{&SopHeaderV3, &StructuredVdmHeaderV2, &DpConfigVdo}));
    EXPECT_EQ(tables({0x1234A051, 0x0C05}), (TableList{&SopHeaderV3, &StructuredVdmHeaderV2}));
    EXPECT_EQ(tables({0xFF00A042, 0xFF018087}),
              (TableList{&SopHeaderV3, &StructuredVdmHeaderV2, &DiscoverSvidsVdos}));
    EXPECT_EQ(tables({0x8087A043, 1}),
              (TableList{&SopHeaderV3, &StructuredVdmHeaderV2, &TbtModeVdoSop}));
    EXPECT_EQ(tables({0x1234A043, 1}),
              (TableList{&SopHeaderV3, &StructuredVdmHeaderV2, &DiscoverModesVdos}));

    // The Command field names the DisplayPort commands only under the DisplayPort SVID.
    const auto status = hand::Data(kDataVendorDefined, true, true, {0xFF01A050, 0x9A});
    const auto header = FieldRowsForNode(*status, 0x04000000);
    EXPECT_EQ(header[0].name, "Command");
    EXPECT_EQ(header[0].description, "DisplayPort Status Update");
    EXPECT_EQ(RowNamed(header, "Standard or Vendor ID (SVID)").description, "VESA/DisplayPort");
    const auto dpStatus = FieldRowsForNode(*status, 0x04010000);
    EXPECT_EQ(Names(dpStatus).size(), 9u);
    EXPECT_EQ(RowNamed(dpStatus, "DFP_D/UFP_D Connected").description, "UFP_D is connected.");
    EXPECT_EQ(dpStatus.back().offset, "9..24");
    const auto other = hand::Data(kDataVendorDefined, true, true, {0x1234A050, 0x9A});
    EXPECT_EQ(FieldRowsForNode(*other, 0x04000000)[0].description, "");
    // Unstructured VDMs keep their vendor bits, even with the DisplayPort id.
    const auto unstructured = hand::Data(kDataVendorDefined, true, true, {0xFF010010});
    EXPECT_EQ(FieldRowsForNode(*unstructured, 0x04000000)[0].description, "");

    // SOP' Thunderbolt modes use the cable table.
    const auto cable =
        hand::Message(kOsSopPrime, {.type = kDataVendorDefined, .revision = 2}, {0x8087A043, 1});
    EXPECT_EQ(Tables(BuildFieldLayout(*cable, false))[2], &TbtModeVdoCable);
}

TEST(ExtendedLayout, DataBlockTablesByType) {
    auto blockTables = [](int type, std::vector<uint8_t> data, int32_t kind = kOsSop) {
        ChunkAssembler assembler;
        const int size = static_cast<int>(data.size());
        auto packet =
            hand::Extended(kind, {.type = type, .dataSize = size, .chunked = false}, data);
        AssembleChunks(assembler, *packet);
        return Tables(BuildFieldLayout(*packet, true));
    };
    using TableList = std::vector<const FieldTable*>;
    EXPECT_EQ(blockTables(kExtSourceCapabilitiesExtended, std::vector<uint8_t>(25)),
              TableList{&ScedbBlock});
    EXPECT_EQ(blockTables(kExtStatus, std::vector<uint8_t>(7)), TableList{&StatusBlockSop});
    EXPECT_EQ(blockTables(kExtStatus, std::vector<uint8_t>(2), kOsSopPrime),
              TableList{&StatusBlockCable});
    EXPECT_EQ(blockTables(kExtStatus, std::vector<uint8_t>(2), kOsSopPrimeDebug), TableList{});
    EXPECT_EQ(blockTables(kExtGetBatteryCap, {0}), TableList{&GetBatteryCapBlock});
    EXPECT_EQ(blockTables(kExtGetBatteryStatus, {0}), TableList{&GetBatteryStatusBlock});
    EXPECT_EQ(blockTables(kExtBatteryCapabilities, std::vector<uint8_t>(9)),
              TableList{&BatteryCapBlock});
    EXPECT_EQ(blockTables(kExtGetManufacturerInfo, {0, 0}), TableList{&GetManufacturerInfoBlock});
    EXPECT_EQ(blockTables(kExtManufacturerInfo, {1, 2, 3, 4}), TableList{&ManufacturerInfoBlock});
    EXPECT_EQ(blockTables(kExtPpsStatus, {0, 0, 0, 0}), TableList{&PpsStatusBlock});
    EXPECT_EQ(blockTables(kExtCountryInfo, {'D', 'E', 0, 0}), TableList{&CountryInfoBlock});
    EXPECT_EQ(blockTables(kExtCountryCodes, {1, 0, 'D', 'E'}), TableList{&CountryCodesBlock});
    EXPECT_EQ(blockTables(kExtSinkCapabilitiesExtended, std::vector<uint8_t>(24)),
              TableList{&SkedbBlock});
    EXPECT_EQ(blockTables(kExtExtendedControl, {3, 0}), TableList{&ExtendedControlBlock});
    EXPECT_EQ(blockTables(kExtVendorDefinedExtended, {0, 0, 0x34, 0x12}),
              TableList{&UnstructuredVdmHeader});
    EXPECT_EQ(blockTables(19, {1, 2}), TableList{});

    // Security and firmware update: a header, then a body chosen by the second byte.
    EXPECT_EQ(blockTables(kExtSecurityRequest, {1, 0x83, 0, 0}),
              (TableList{&SecReqHeader, &SecReq83}));
    EXPECT_EQ(blockTables(kExtSecurityResponse, {1, 127, 3, 0}),
              (TableList{&SecRespHeader, &SecResp7F}));
    EXPECT_EQ(blockTables(kExtSecurityResponse, {1, 4, 3, 0}), (TableList{&SecRespHeader}));
    EXPECT_EQ(blockTables(kExtFirmwareUpdateRequest, {1, 0x82, 0, 0}),
              (TableList{&FwReqHeader, &FwReq82}));
    EXPECT_EQ(blockTables(kExtFirmwareUpdateResponse, {1, 5, 0, 0}),
              (TableList{&FwRespHeader, &FwResp05}));
}

TEST(ExtendedLayout, SecurityResponseRowsNameTheError) {
    ChunkAssembler assembler;
    auto packet = hand::Extended(
        kOsSop, {.type = kExtSecurityResponse, .dataSize = 4, .chunked = false}, {1, 127, 3, 0});
    AssembleChunks(assembler, *packet);
    const auto rows = FieldRowsForNode(*packet, 0x20000000);
    EXPECT_EQ(Names(rows),
              (std::vector<std::string>{"ProtocolVersion", "MessageType", "Param1", "Param2"}));
    EXPECT_EQ(rows[1].description, "ERROR");
    EXPECT_EQ(rows[2].description, "BUSY");
    EXPECT_EQ(rows[2].offset, "16..23");
}

TEST(ExtendedLayout, MessageLayoutOfAChunkWithoutBlockHasItsOwnData) {
    const auto chunk = hand::Extended(kOsSop, {.type = kExtEprSourceCapabilities, .dataSize = 40},
                                      std::vector<uint8_t>(26));
    const FieldLayout layout = BuildFieldLayout(*chunk, false);
    ASSERT_EQ(layout.count, 2 + 13);
    EXPECT_EQ(layout.segments[1].table, &ExtHeaderFields);
    EXPECT_EQ(layout.segments[2].bitOffset, 32);
    EXPECT_EQ(layout.segments[14].bitOffset, 32 + 384);
    EXPECT_EQ(layout.segments[2].table, &SrcFixedPdoV3);
}

}  // namespace
