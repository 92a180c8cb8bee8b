#include "pd/field_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace {

// Field count and total bit length of every table, as its layout defines them.
struct TableShape {
    const char* id;
    size_t fields;
    int32_t bits;
};

constexpr TableShape kShapes[] = {
    {"SopHeaderV2", 15, 240},
    {"SopHeaderV3", 14, 240},
    {"SopHeaderV3Ext", 13, 2112},
    {"CableHeaderV2", 15, 240},
    {"CableHeaderV3", 14, 240},
    {"CableHeaderV3Ext", 13, 2112},
    {"ExtHeaderFields", 4, 15},
    {"SrcFixedPdoV2", 10, 32},
    {"SrcFixedPdoV3", 12, 32},
    {"SrcBatteryPdo", 4, 32},
    {"SrcVariablePdo", 4, 32},
    {"SrcPpsApdo", 9, 32},
    {"SrcAvsApdo", 7, 32},
    {"SrcOtherApdo", 3, 32},
    {"SnkFixedPdoV2", 9, 32},
    {"SnkFixedPdoV3", 10, 32},
    {"SnkBatteryPdo", 4, 32},
    {"SnkVariablePdo", 4, 32},
    {"SnkPpsApdo", 8, 32},
    {"SnkAvsApdo", 7, 32},
    {"SnkOtherApdo", 3, 32},
    {"FixedRdoV2", 9, 32},
    {"FixedRdoV3", 10, 32},
    {"FixedRdoGiveBackV2", 9, 32},
    {"FixedRdoGiveBackV3", 10, 32},
    {"BatteryRdoV2", 9, 32},
    {"BatteryRdoV3", 10, 32},
    {"BatteryRdoGiveBackV2", 9, 32},
    {"BatteryRdoGiveBackV3", 10, 32},
    {"PpsRdo", 11, 32},
    {"AvsRdo", 11, 32},
    {"OtherApdoRdo", 3, 32},
    {"EprRequestShort", 2, 64},
    {"BistDo", 2, 32},
    {"BatteryStatusDo", 6, 32},
    {"AlertDo", 12, 32},
    {"CountryInfoDo", 3, 32},
    {"EnterUsbDo", 14, 32},
    {"EprModeDo", 3, 32},
    {"SourceInfoDo", 5, 32},
    {"RevisionDo", 5, 32},
    {"UnstructuredVdmHeader", 3, 32},
    {"StructuredVdmHeaderV1", 8, 32},
    {"StructuredVdmHeaderV2", 8, 32},
    {"StructuredVdmHeaderV2Mode", 8, 32},
    {"IdHeaderSopV1", 6, 32},
    {"IdHeaderSopV2", 8, 32},
    {"IdHeaderCableV1", 6, 32},
    {"IdHeaderCableV2", 8, 32},
    {"CertStatVdo", 1, 32},
    {"ProductVdo", 2, 32},
    {"UfpVdoV0", 11, 32},
    {"UfpVdoV1", 12, 32},
    {"UfpVdoV3", 15, 32},
    {"UfpPowerVdo", 6, 32},
    {"DfpVdoV0", 7, 32},
    {"DfpVdoV1", 8, 32},
    {"DfpVdoV2", 8, 32},
    {"AmaVdoV1", 11, 32},
    {"AmaVdoV2", 8, 32},
    {"VpdVdo", 10, 32},
    {"PassiveCableVdoV1", 15, 32},
    {"PassiveCableVdoV2", 13, 32},
    {"ActiveCableVdoV1", 15, 32},
    {"ActiveCableVdo1", 15, 32},
    {"ActiveCableVdo2", 15, 32},
    {"DiscoverSvidsVdos", 12, 192},
    {"DiscoverModesVdos", 6, 192},
    {"DpCapabilitiesVdo", 7, 40},
    {"TbtModeVdoSop", 7, 32},
    {"TbtModeVdoCable", 9, 32},
    {"TbtEnterModeVdo", 12, 32},
    {"EnterModeVdos", 6, 192},
    {"DpStatusVdo", 9, 25},
    {"AttentionVdos", 6, 192},
    {"DpConfigVdo", 5, 32},
    {"ScedbBlock", 39, 200},
    {"SkedbBlock", 35, 192},
    {"StatusBlockSop", 28, 56},
    {"StatusBlockCable", 3, 16},
    {"GetBatteryCapBlock", 1, 8},
    {"GetBatteryStatusBlock", 1, 8},
    {"BatteryCapBlock", 6, 72},
    {"GetManufacturerInfoBlock", 2, 16},
    {"ManufacturerInfoBlock", 3, 216},
    {"SecReqHeader", 2, 16},
    {"SecReq81", 2, 16},
    {"SecReq82", 4, 48},
    {"SecReq83", 3, 272},
    {"SecRespHeader", 2, 16},
    {"SecResp01", 10, 2064},
    {"SecResp02", 3, 2064},
    {"SecResp03", 10, 1328},
    {"SecResp7F", 2, 16},
    {"FwReqHeader", 2, 16},
    {"FwReq82", 4, 64},
    {"FwReq83", 2, 2064},
    {"FwReq84", 2, 2064},
    {"FwReqFF", 2, 2064},
    {"FwRespHeader", 2, 16},
    {"FwResp01", 14, 160},
    {"FwResp02", 3, 40},
    {"FwResp03", 4, 40},
    {"FwResp05", 3, 24},
    {"FwResp07", 1, 8},
    {"FwResp7F", 3, 2064},
    {"PpsStatusBlock", 3, 32},
    {"CountryInfoBlock", 4, 2080},
    {"CountryCodesBlock", 24, 192},
    {"ExtendedControlBlock", 2, 16},
};

// Bits of a table that no field covers; every other table is contiguous from bit 0.
const std::set<int> UncoveredBits(const std::string& id) {
    if (id == "ExtHeaderFields") {
        return {9};  // reserved bit of the extended message header
    }
    return {};
}

const FieldTable* FindTable(const std::string& id) {
    for (const NamedFieldTable& named : AllFieldTables()) {
        if (id == named.id) {
            return named.table;
        }
    }
    return nullptr;
}

const FieldDesc* FieldAt(FieldTable table, int32_t bitOffset) {
    for (const FieldDesc& field : table) {
        if (field.bitOffset == bitOffset) {
            return &field;
        }
    }
    return nullptr;
}

TEST(FieldTables, EveryTableHasItsFieldCountAndBitLength) {
    ASSERT_EQ(AllFieldTables().size(), std::size(kShapes));
    for (const TableShape& shape : kShapes) {
        SCOPED_TRACE(shape.id);
        const FieldTable* table = FindTable(shape.id);
        ASSERT_NE(table, nullptr);
        EXPECT_EQ(table->size(), shape.fields);
        EXPECT_EQ(TableBitLength(*table), shape.bits);
    }
}

TEST(FieldTables, FieldsAreContiguousExceptUncoveredBits) {
    for (const NamedFieldTable& named : AllFieldTables()) {
        SCOPED_TRACE(named.id);
        std::vector<FieldDesc> fields(named.table->begin(), named.table->end());
        std::sort(fields.begin(), fields.end(),
                  [](const FieldDesc& a, const FieldDesc& b) { return a.bitOffset < b.bitOffset; });
        std::set<int> gaps;
        int32_t next = 0;
        for (const FieldDesc& field : fields) {
            EXPECT_GE(field.bitOffset, next) << field.name << " overlaps the field before it";
            for (int32_t bit = next; bit < field.bitOffset; ++bit) {
                gaps.insert(bit);
            }
            EXPECT_GE(field.bitLength, 1);
            EXPECT_LE(field.bitLength, 2080);
            EXPECT_STRNE(field.name, "");
            next = field.bitOffset + field.bitLength;
        }
        EXPECT_EQ(gaps, UncoveredBits(named.id));
    }
}

TEST(FieldTables, TablesAreListedOnceEach) {
    std::set<std::string> ids;
    std::set<const FieldTable*> tables;
    for (const NamedFieldTable& named : AllFieldTables()) {
        EXPECT_TRUE(ids.insert(named.id).second) << named.id;
        EXPECT_TRUE(tables.insert(named.table).second) << named.id;
    }
}

TEST(FieldTables, ControllerPresentNamesKeepTheirDifferentQuotes) {
    const FieldDesc* typographic = FieldAt(ActiveCableVdoV1, 3);
    const FieldDesc* straight = FieldAt(ActiveCableVdo1, 3);
    ASSERT_NE(typographic, nullptr);
    ASSERT_NE(straight, nullptr);
    EXPECT_STREQ(typographic->name, "SOP\xE2\x80\x9D Controller Present");
    EXPECT_STREQ(straight->name, "SOP\" Controller Present");
}

TEST(FieldTables, NamesKeepTheirOriginalSpelling) {
    EXPECT_STREQ(FieldAt(BatteryStatusDo, 8)->name, "Battert Info (Invalid Battery reference)");
    EXPECT_STREQ(FieldAt(StatusBlockCable, 8)->name, "Flags (Thermal Shutdown");
    EXPECT_STREQ(FieldAt(CountryCodesBlock, 16)->name,
                 "1st Contry Code (First character of the Alpha-2 Country code defined by [ISO "
                 "3166])");
    EXPECT_STREQ(FieldAt(ScedbBlock, 112)->name,
                 "Peak Current1 (Percent overload in 10% increments Values higher than 25 "
                 "(11001b) )are clipped to 250%)");
    EXPECT_EQ(DescribeValue(*FieldAt(SourceInfoDo, 31), 1), "Guranteed Capability Port");
    EXPECT_EQ(DescribeValue(*FieldAt(DpCapabilitiesVdo, 0), 1), "UFP_D-cabable");
    EXPECT_EQ(DescribeValue(*FieldAt(SecReqHeader, 0), 1),
              "USB Type-C Authentication  Protocol Version 1.0");
}

// The reserved bit after the operational PDP byte sits at bit 159, so that the maximum PDP
// (bits 160-166) keeps its own row.
TEST(FieldTables, SinkCapsExtendedReservedBitPrecedesMaximumPdp) {
    const FieldDesc* reserved = FieldAt(SkedbBlock, 159);
    const FieldDesc* maximum = FieldAt(SkedbBlock, 160);
    ASSERT_NE(reserved, nullptr);
    ASSERT_NE(maximum, nullptr);
    EXPECT_STREQ(reserved->name, "Sink Operational PDP (Reserved)");
    EXPECT_EQ(reserved->bitLength, 1);
    EXPECT_EQ(maximum->bitLength, 7);
    EXPECT_EQ(DescribeValue(*maximum, 100), "100 [W]");
}

TEST(DescribeValue, CodesFlagsAndScaledQuantities) {
    // One code.
    EXPECT_EQ(DescribeValue(*FieldAt(SrcFixedPdoV3, 30), 3), "Augmented Power Data Object (APDO)");
    // No match gives the empty text.
    EXPECT_EQ(DescribeValue(*FieldAt(SrcFixedPdoV2, 30), 3), "");
    EXPECT_EQ(DescribeValue(*FieldAt(SrcFixedPdoV3, 20), 3), "");
    // Scaled quantities.
    EXPECT_EQ(DescribeValue(*FieldAt(SrcFixedPdoV3, 10), 100), "5000 [mV]");
    EXPECT_EQ(DescribeValue(*FieldAt(SrcFixedPdoV3, 0), 300), "3000 [mA]");
    EXPECT_EQ(DescribeValue(*FieldAt(SrcAvsApdo, 0), 140), "140 [W]");
    EXPECT_EQ(DescribeValue(*FieldAt(ScedbBlock, 112), 5), "50 [%]");
    EXPECT_EQ(DescribeValue(*FieldAt(ScedbBlock, 82), 1), "90% IoC");
    // Flag bits: every set flag is named, in list order.
    const FieldDesc& pins = *FieldAt(DpCapabilitiesVdo, 8);
    EXPECT_EQ(DescribeValue(pins, 0x0C), "Pin Assignment C, Pin Assignment D");
    EXPECT_EQ(DescribeValue(pins, 0), "Pin Assignments are not supported");
    const FieldDesc& signaling = *FieldAt(DpCapabilitiesVdo, 2);
    EXPECT_EQ(DescribeValue(signaling, 3),
              "Supports DP v1.3 signaling rates and electrical specification, Supports USB Gen2 "
              "signaling rate and electrical specification");
    // A code and the always-matching entry both apply.
    EXPECT_EQ(DescribeValue(*FieldAt(BatteryStatusDo, 16), 65535),
              "Battery's SoC unknown, Battery's SoC 6553500 [mWH] increments");
    EXPECT_EQ(DescribeValue(*FieldAt(PpsStatusBlock, 0), 250),
              "Source's output voltage is 5000 [mV].");
    // A text without a conversion ignores the value.
    EXPECT_EQ(DescribeValue(*FieldAt(SecReq82, 0), 3),
              "Slot number of the target Certificate Chain to read from.");
}

TEST(DescribeValue, ScaledValueWrapsAsSigned32Bit) {
    constexpr ValueDesc kScaled[] = {{0, 0, "%d [mA]", 10}};
    EXPECT_EQ(DescribeValue(kScaled, 0x10000000u), "-1610612736 [mA]");
}

TEST(MessageTypeLists, NamesPerClassAndRevision) {
    EXPECT_EQ(ControlTypesV2.size(), 13u);
    EXPECT_EQ(ControlTypesV3.size(), 24u);
    EXPECT_EQ(DataTypesV2.size(), 5u);
    EXPECT_EQ(DataTypesV3.size(), 13u);
    EXPECT_EQ(ExtendedTypes.size(), 19u);
    EXPECT_EQ(DescribeValue(ControlTypesV2, 13), "Soft_Reset");
    EXPECT_EQ(DescribeValue(ControlTypesV2, 19), "");
    EXPECT_EQ(DescribeValue(ControlTypesV3, 19), "FR_Swap");
    EXPECT_EQ(DescribeValue(ControlTypesV3, 24), "Get_Revision");
    EXPECT_EQ(DescribeValue(DataTypesV2, 15), "Vendor_Defined");
    EXPECT_EQ(DescribeValue(DataTypesV2, 5), "");
    EXPECT_EQ(DescribeValue(DataTypesV3, 12), "Revision");
    EXPECT_EQ(DescribeValue(DataTypesV3, 13), "");
    EXPECT_EQ(DescribeValue(ExtendedTypes, 18), "EPR_Sink_Capabilities");
    EXPECT_EQ(DescribeValue(ExtendedTypes, 30), "Vendor_Defined_Extended");
    EXPECT_EQ(DescribeValue(ExtendedTypes, 19), "");
}

TEST(MessageTypeLists, DisplayPortCommandsAddStatusUpdateAndConfigure) {
    EXPECT_EQ(DpVdmCommands.size(), 8u);
    EXPECT_EQ(DescribeValue(DpVdmCommands, 1), "Discover Identity");
    EXPECT_EQ(DescribeValue(DpVdmCommands, 16), "DisplayPort Status Update");
    EXPECT_EQ(DescribeValue(DpVdmCommands, 17), "DisplayPort Configure");
    EXPECT_EQ(DescribeValue(*FieldAt(StructuredVdmHeaderV2, 0), 16), "");
}

}  // namespace
