// Value descriptions and the index of all field tables.
#include "pd/field_tables.h"

namespace {

// Formats a value-description text: "%d" takes the value, "%%" is a percent sign; any other
// character is copied. The expansion is done here rather than by printf so that no text can be
// read as a conversion that takes a different argument.
std::string ExpandValueText(const char* text, int32_t value) {
    std::string out;
    for (const char* c = text; *c != '\0'; ++c) {
        if (c[0] == '%' && c[1] == 'd') {
            out += std::to_string(value);
            ++c;
        } else if (c[0] == '%' && c[1] == '%') {
            out += '%';
            ++c;
        } else {
            out += *c;
        }
    }
    return out;
}

constexpr NamedFieldTable kAllTables[] = {
    {"SopHeaderV2", &SopHeaderV2},
    {"SopHeaderV3", &SopHeaderV3},
    {"SopHeaderV3Ext", &SopHeaderV3Ext},
    {"CableHeaderV2", &CableHeaderV2},
    {"CableHeaderV3", &CableHeaderV3},
    {"CableHeaderV3Ext", &CableHeaderV3Ext},
    {"ExtHeaderFields", &ExtHeaderFields},
    {"SrcFixedPdoV2", &SrcFixedPdoV2},
    {"SrcFixedPdoV3", &SrcFixedPdoV3},
    {"SrcBatteryPdo", &SrcBatteryPdo},
    {"SrcVariablePdo", &SrcVariablePdo},
    {"SrcPpsApdo", &SrcPpsApdo},
    {"SrcAvsApdo", &SrcAvsApdo},
    {"SrcOtherApdo", &SrcOtherApdo},
    {"SnkFixedPdoV2", &SnkFixedPdoV2},
    {"SnkFixedPdoV3", &SnkFixedPdoV3},
    {"SnkBatteryPdo", &SnkBatteryPdo},
    {"SnkVariablePdo", &SnkVariablePdo},
    {"SnkPpsApdo", &SnkPpsApdo},
    {"SnkAvsApdo", &SnkAvsApdo},
    {"SnkOtherApdo", &SnkOtherApdo},
    {"FixedRdoV2", &FixedRdoV2},
    {"FixedRdoV3", &FixedRdoV3},
    {"FixedRdoGiveBackV2", &FixedRdoGiveBackV2},
    {"FixedRdoGiveBackV3", &FixedRdoGiveBackV3},
    {"BatteryRdoV2", &BatteryRdoV2},
    {"BatteryRdoV3", &BatteryRdoV3},
    {"BatteryRdoGiveBackV2", &BatteryRdoGiveBackV2},
    {"BatteryRdoGiveBackV3", &BatteryRdoGiveBackV3},
    {"PpsRdo", &PpsRdo},
    {"AvsRdo", &AvsRdo},
    {"OtherApdoRdo", &OtherApdoRdo},
    {"EprRequestShort", &EprRequestShort},
    {"BistDo", &BistDo},
    {"BatteryStatusDo", &BatteryStatusDo},
    {"AlertDo", &AlertDo},
    {"CountryInfoDo", &CountryInfoDo},
    {"EnterUsbDo", &EnterUsbDo},
    {"EprModeDo", &EprModeDo},
    {"SourceInfoDo", &SourceInfoDo},
    {"RevisionDo", &RevisionDo},
    {"UnstructuredVdmHeader", &UnstructuredVdmHeader},
    {"StructuredVdmHeaderV1", &StructuredVdmHeaderV1},
    {"StructuredVdmHeaderV2", &StructuredVdmHeaderV2},
    {"StructuredVdmHeaderV2Mode", &StructuredVdmHeaderV2Mode},
    {"IdHeaderSopV1", &IdHeaderSopV1},
    {"IdHeaderSopV2", &IdHeaderSopV2},
    {"IdHeaderCableV1", &IdHeaderCableV1},
    {"IdHeaderCableV2", &IdHeaderCableV2},
    {"CertStatVdo", &CertStatVdo},
    {"ProductVdo", &ProductVdo},
    {"UfpVdoV0", &UfpVdoV0},
    {"UfpVdoV1", &UfpVdoV1},
    {"UfpVdoV3", &UfpVdoV3},
    {"UfpPowerVdo", &UfpPowerVdo},
    {"DfpVdoV0", &DfpVdoV0},
    {"DfpVdoV1", &DfpVdoV1},
    {"DfpVdoV2", &DfpVdoV2},
    {"AmaVdoV1", &AmaVdoV1},
    {"AmaVdoV2", &AmaVdoV2},
    {"VpdVdo", &VpdVdo},
    {"PassiveCableVdoV1", &PassiveCableVdoV1},
    {"PassiveCableVdoV2", &PassiveCableVdoV2},
    {"ActiveCableVdoV1", &ActiveCableVdoV1},
    {"ActiveCableVdo1", &ActiveCableVdo1},
    {"ActiveCableVdo2", &ActiveCableVdo2},
    {"DiscoverSvidsVdos", &DiscoverSvidsVdos},
    {"DiscoverModesVdos", &DiscoverModesVdos},
    {"DpCapabilitiesVdo", &DpCapabilitiesVdo},
    {"TbtModeVdoSop", &TbtModeVdoSop},
    {"TbtModeVdoCable", &TbtModeVdoCable},
    {"TbtEnterModeVdo", &TbtEnterModeVdo},
    {"EnterModeVdos", &EnterModeVdos},
    {"DpStatusVdo", &DpStatusVdo},
    {"AttentionVdos", &AttentionVdos},
    {"DpConfigVdo", &DpConfigVdo},
    {"ScedbBlock", &ScedbBlock},
    {"SkedbBlock", &SkedbBlock},
    {"StatusBlockSop", &StatusBlockSop},
    {"StatusBlockCable", &StatusBlockCable},
    {"GetBatteryCapBlock", &GetBatteryCapBlock},
    {"GetBatteryStatusBlock", &GetBatteryStatusBlock},
    {"BatteryCapBlock", &BatteryCapBlock},
    {"GetManufacturerInfoBlock", &GetManufacturerInfoBlock},
    {"ManufacturerInfoBlock", &ManufacturerInfoBlock},
    {"SecReqHeader", &SecReqHeader},
    {"SecReq81", &SecReq81},
    {"SecReq82", &SecReq82},
    {"SecReq83", &SecReq83},
    {"SecRespHeader", &SecRespHeader},
    {"SecResp01", &SecResp01},
    {"SecResp02", &SecResp02},
    {"SecResp03", &SecResp03},
    {"SecResp7F", &SecResp7F},
    {"FwReqHeader", &FwReqHeader},
    {"FwReq82", &FwReq82},
    {"FwReq83", &FwReq83},
    {"FwReq84", &FwReq84},
    {"FwReqFF", &FwReqFF},
    {"FwRespHeader", &FwRespHeader},
    {"FwResp01", &FwResp01},
    {"FwResp02", &FwResp02},
    {"FwResp03", &FwResp03},
    {"FwResp05", &FwResp05},
    {"FwResp07", &FwResp07},
    {"FwResp7F", &FwResp7F},
    {"PpsStatusBlock", &PpsStatusBlock},
    {"CountryInfoBlock", &CountryInfoBlock},
    {"CountryCodesBlock", &CountryCodesBlock},
    {"ExtendedControlBlock", &ExtendedControlBlock},
};

}  // namespace

std::string DescribeValue(ValueList values, uint32_t value) {
    std::string out;
    for (const ValueDesc& entry : values) {
        if ((value & entry.mask) != entry.value) {
            continue;
        }
        if (!out.empty()) {
            out += ", ";
        }
        // The scaled value is shown as a signed 32-bit number, wrapping as the C formatting of
        // the unsigned product does.
        const auto scaled = static_cast<int32_t>(value * static_cast<uint32_t>(entry.multiplier));
        out += ExpandValueText(entry.text, scaled);
    }
    return out;
}

std::string DescribeValue(const FieldDesc& field, uint32_t value) {
    return DescribeValue(field.valueTable, value);
}

int32_t TableBitLength(FieldTable table) {
    int32_t total = 0;
    for (const FieldDesc& field : table) {
        total += field.bitLength;
    }
    return total;
}

std::span<const NamedFieldTable> AllFieldTables() {
    return kAllTables;
}
