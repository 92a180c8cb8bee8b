#include "list/core/find_criteria.h"

namespace {

constexpr std::string_view kGroupChannel = "CH";
constexpr std::string_view kGroupOrderedSet = "Ordered Set";
constexpr std::string_view kGroupPowerRole = "Power Role";
constexpr std::string_view kGroupDataRole = "Data Role";
constexpr std::string_view kGroupMessageType = "Message Type";
constexpr std::string_view kGroupError = "Error Packet";

using MC = MessageClass;

}  // namespace

const std::array<MessageTypeBox, kMessageTypeBoxCount> kMessageTypeBoxes = {{
    {MC::kControl, 1},   {MC::kControl, 2},   {MC::kControl, 3},   {MC::kControl, 4},
    {MC::kControl, 5},   {MC::kControl, 6},   {MC::kControl, 7},   {MC::kControl, 8},
    {MC::kControl, 9},   {MC::kControl, 10},  {MC::kControl, 11},  {MC::kControl, 12},
    {MC::kControl, 13},  {MC::kControl, 14},  {MC::kControl, 15},  {MC::kControl, 16},
    {MC::kControl, 17},  {MC::kControl, 18},  {MC::kControl, 19},  {MC::kControl, 20},
    {MC::kControl, 21},  {MC::kControl, 22},  {MC::kControl, 23},  {MC::kControl, 24},
    {MC::kData, 1},      {MC::kData, 2},      {MC::kData, 3},      {MC::kData, 4},
    {MC::kData, 5},      {MC::kData, 6},      {MC::kData, 7},      {MC::kData, 8},
    {MC::kData, 9},      {MC::kData, 10},     {MC::kData, 11},     {MC::kData, 12},
    {MC::kData, 15},     {MC::kExtended, 1},  {MC::kExtended, 2},  {MC::kExtended, 3},
    {MC::kExtended, 4},  {MC::kExtended, 5},  {MC::kExtended, 6},  {MC::kExtended, 7},
    {MC::kExtended, 8},  {MC::kExtended, 9},  {MC::kExtended, 10}, {MC::kExtended, 11},
    {MC::kExtended, 12}, {MC::kExtended, 13}, {MC::kExtended, 14}, {MC::kExtended, 15},
    {MC::kExtended, 16}, {MC::kExtended, 17}, {MC::kExtended, 18}, {MC::kExtended, 30},
}};

const std::array<CriterionBox, kCriterionCount> kCriterionBoxes = {{
    {"CC1", 1027, kGroupChannel},
    {"CC2", 1028, kGroupChannel},
    {"SOP", 1020, kGroupOrderedSet},
    {"SOP'", 1023, kGroupOrderedSet},
    {"SOP''", 1024, kGroupOrderedSet},
    {"Hard Reset", 1021, kGroupOrderedSet},
    {"Cable Reset", 1022, kGroupOrderedSet},
    {"SOP' Debug", 1025, kGroupOrderedSet},
    {"SOP'' Debug", 1026, kGroupOrderedSet},
    {"Source", 1029, kGroupPowerRole},
    {"Sink", 1030, kGroupPowerRole},
    {"DFP", 1031, kGroupDataRole},
    {"UFP", 1032, kGroupDataRole},
    // Control messages 1-24.
    {"GoodCRC", 1033, kGroupMessageType},
    {"GotoMin", 1034, kGroupMessageType},
    {"Accept", 1035, kGroupMessageType},
    {"Reject", 1036, kGroupMessageType},
    {"Ping", 1037, kGroupMessageType},
    {"PS_RDY", 1038, kGroupMessageType},
    {"Get_Source_Cap", 1039, kGroupMessageType},
    {"Get_Sink_Cap", 1040, kGroupMessageType},
    {"DR_Swap", 1041, kGroupMessageType},
    {"PR_Swap", 1042, kGroupMessageType},
    {"VCONN_Swap", 1043, kGroupMessageType},
    {"Wait", 1044, kGroupMessageType},
    {"Soft_Reset", 1045, kGroupMessageType},
    {"Data_Reset", 1089, kGroupMessageType},
    {"Data_Reset_Complete", 1090, kGroupMessageType},
    {"Not_Supported", 1046, kGroupMessageType},
    {"Get_Source_Cap_Extended", 1047, kGroupMessageType},
    {"Get_Status", 1048, kGroupMessageType},
    {"FR_Swap", 1049, kGroupMessageType},
    {"Get_PPS_Status", 1079, kGroupMessageType},
    {"Get_Country_Codes", 1080, kGroupMessageType},
    {"Get_Sink_Cap_Extended", 1085, kGroupMessageType},
    {"Get_Source_Info", 1092, kGroupMessageType},
    {"Get_Revision", 1093, kGroupMessageType},
    // Data messages.
    {"Source_Capabilities", 1050, kGroupMessageType},
    {"Request", 1051, kGroupMessageType},
    {"BIST", 1052, kGroupMessageType},
    {"Sink_Capabilities", 1053, kGroupMessageType},
    {"Battery_Status", 1054, kGroupMessageType},
    {"Alert", 1055, kGroupMessageType},
    {"Get_Country_Info", 1084, kGroupMessageType},
    {"Enter_USB", 1091, kGroupMessageType},
    {"EPR_Request", 1094, kGroupMessageType},
    {"EPR_Mode", 1095, kGroupMessageType},
    {"Source_Info", 1096, kGroupMessageType},
    {"Revision", 1097, kGroupMessageType},
    {"Vendor_Defined", 1056, kGroupMessageType},
    // Extended messages.
    {"Source_Capabilities_Extended", 1057, kGroupMessageType},
    {"Status", 1058, kGroupMessageType},
    {"Get_Battery_Cap", 1059, kGroupMessageType},
    {"Get_Battery_Status", 1060, kGroupMessageType},
    {"Battery_Capabilities", 1061, kGroupMessageType},
    {"Get_Manufacturer_Info", 1062, kGroupMessageType},
    {"Manufacturer_Info", 1063, kGroupMessageType},
    {"Security_Request", 1064, kGroupMessageType},
    {"Security_Response", 1065, kGroupMessageType},
    {"Firmware_Update_Request", 1066, kGroupMessageType},
    {"Firmware_Update_Response", 1067, kGroupMessageType},
    {"PPS_Status", 1081, kGroupMessageType},
    {"Country_Info", 1082, kGroupMessageType},
    {"Country_Codes", 1083, kGroupMessageType},
    {"Sink_Capabilities_Extended", 1088, kGroupMessageType},
    {"Extended_Control", 1098, kGroupMessageType},
    {"EPR_Source_Capabilities", 1099, kGroupMessageType},
    {"EPR_Sink_Capabilities", 1100, kGroupMessageType},
    {"Vendor_Defined_Extended", 1101, kGroupMessageType},
    {"Invalid Packet", 1072, kGroupError},
    {"CRC Error", 1073, kGroupError},
    {"No Errors", 1078, kGroupError},
}};

std::optional<Criterion> CriterionByLabel(std::string_view label) {
    for (int i = 0; i < kCriterionCount; ++i) {
        if (kCriterionBoxes[static_cast<size_t>(i)].label == label) {
            return static_cast<Criterion>(i);
        }
    }
    return std::nullopt;
}

std::optional<Criterion> MessageTypeCriterion(MessageClass messageClass, int type) {
    // Type numbers are five bits; one slot per class and type, -1 where no box is.
    static const std::array<std::array<int8_t, 32>, 3> boxIndex = [] {
        std::array<std::array<int8_t, 32>, 3> index{};
        for (auto& slots : index) {
            slots.fill(-1);
        }
        for (size_t i = 0; i < kMessageTypeBoxes.size(); ++i) {
            const MessageTypeBox& box = kMessageTypeBoxes[i];
            index[static_cast<size_t>(box.messageClass)][static_cast<size_t>(box.type)] =
                static_cast<int8_t>(i);
        }
        return index;
    }();
    if (type < 0 || type >= 32) {
        return std::nullopt;
    }
    const int slot = boxIndex[static_cast<size_t>(messageClass)][static_cast<size_t>(type)];
    if (slot < 0) {
        return std::nullopt;
    }
    return static_cast<Criterion>(kFirstMessageType + slot);
}

FindCriteria FindDefaults() {
    FindCriteria criteria;
    for (const Criterion on : {kCritCc1, kCritCc2, kCritSop, kCritSopPrime, kCritSopDoublePrime,
                               kCritSource, kCritSink, kCritDfp, kCritUfp, kCritNoErrors}) {
        criteria.on[on] = true;
    }
    return criteria;
}

FindCriteria FilterStartValues() {
    FindCriteria criteria = FindDefaults();
    criteria.mode = CriteriaMode::kFilter;
    SetAllCriteria(criteria, true);
    return criteria;
}

void SetAllMessageTypes(FindCriteria& criteria, bool on) {
    for (int i = 0; i < kMessageTypeBoxCount; ++i) {
        criteria.on[static_cast<size_t>(kFirstMessageType + i)] = on;
    }
}

void SetAllCriteria(FindCriteria& criteria, bool on) {
    criteria.on.fill(on);
}

std::string ContainingText(const FindCriteria& criteria) {
    return criteria.textEnabled ? criteria.text : std::string();
}
