// Message header and extended message header tables, and the "Message Type" value lists.
#include "pd/field_table_entries.h"
#include "pd/field_tables.h"

namespace {

// Revision 3.0 control types; the first 13 are those of revisions 1.0 and 2.0.
constexpr ValueDesc kControlTypes[] = {
    ValueIs(1, "GoodCRC"),
    ValueIs(2, "GotoMin"),
    ValueIs(3, "Accept"),
    ValueIs(4, "Reject"),
    ValueIs(5, "Ping"),
    ValueIs(6, "PS_RDY"),
    ValueIs(7, "Get_Source_Cap"),
    ValueIs(8, "Get_Sink_Cap"),
    ValueIs(9, "DR_Swap"),
    ValueIs(10, "PR_Swap"),
    ValueIs(11, "VCONN_Swap"),
    ValueIs(12, "Wait"),
    ValueIs(13, "Soft_Reset"),
    ValueIs(14, "Data_Reset"),
    ValueIs(15, "Data_Reset_Complete"),
    ValueIs(16, "Not_Supported"),
    ValueIs(17, "Get_Source_Cap_Extended"),
    ValueIs(18, "Get_Status"),
    ValueIs(19, "FR_Swap"),
    ValueIs(20, "Get_PPS_Status"),
    ValueIs(21, "Get_Country_Codes"),
    ValueIs(22, "Get_Sink_Cap_Extended"),
    ValueIs(23, "Get_Source_Info"),
    ValueIs(24, "Get_Revision"),
};

// Data types with the five of revisions 1.0 and 2.0 first, so that both lists share one array.
constexpr ValueDesc kDataTypes[] = {
    ValueIs(1, "Source_Capabilities"),
    ValueIs(2, "Request"),
    ValueIs(3, "BIST"),
    ValueIs(4, "Sink_Capabilities"),
    ValueIs(15, "Vendor_Defined"),
    ValueIs(5, "Battery_Status"),
    ValueIs(6, "Alert"),
    ValueIs(7, "Get_Country_Info"),
    ValueIs(8, "Enter_USB"),
    ValueIs(9, "EPR_Request"),
    ValueIs(10, "EPR_Mode"),
    ValueIs(11, "Source_Info"),
    ValueIs(12, "Revision"),
};

constexpr ValueDesc kExtendedTypes[] = {
    ValueIs(1, "Source_Capabilities_Extended"),
    ValueIs(2, "Status"),
    ValueIs(3, "Get_Battery_Cap"),
    ValueIs(4, "Get_Battery_Status"),
    ValueIs(5, "Battery_Capabilities"),
    ValueIs(6, "Get_Manufacturer_Info"),
    ValueIs(7, "Manufacturer_Info"),
    ValueIs(8, "Security_Request"),
    ValueIs(9, "Security_Response"),
    ValueIs(10, "Firmware_Update_Request"),
    ValueIs(11, "Firmware_Update_Response"),
    ValueIs(12, "PPS_Status"),
    ValueIs(13, "Country_Info"),
    ValueIs(14, "Country_Codes"),
    ValueIs(15, "Sink_Capabilities_Extended"),
    ValueIs(16, "Extended_Control"),
    ValueIs(17, "EPR_Source_Capabilities"),
    ValueIs(18, "EPR_Sink_Capabilities"),
    ValueIs(30, "Vendor_Defined_Extended"),
};

constexpr ValueDesc kPortDataRoleValues[] = {
    ValueIs(0, "UFP"),
    ValueIs(1, "DFP"),
};

constexpr ValueDesc kSpecRevisionValues[] = {
    ValueIs(0, "Revision 1.0"),
    ValueIs(1, "Revision 2.0"),
    ValueIs(2, "Revision 3.0"),
    ValueIs(3, "Reserved"),
};

constexpr ValueDesc kPortPowerRoleValues[] = {
    ValueIs(0, "Sink"),
    ValueIs(1, "Source"),
};

constexpr ValueDesc kExtendedBitValues[] = {
    ValueIs(0, "Control or Data Message"),
    ValueIs(1, "Extended Message"),
};

constexpr ValueDesc kCablePlugValues[] = {
    ValueIs(0, "Message originated from a DFP or UFP"),
    ValueIs(1, "Message originated from a Cable Plug"),
};

// SOP header, revision 1.0/2.0
constexpr FieldDesc kSopHeaderV2Fields[] = {
    {0, 4, {}, "Message Type"},
    {4, 1, {}, "Reserved"},
    {5, 1, kPortDataRoleValues, "Port Data Role"},
    {6, 2, kSpecRevisionValues, "Specification Revision"},
    {8, 1, kPortPowerRoleValues, "Port Power Role"},
    {9, 3, {}, "MessageID"},
    {12, 3, {}, "Number of Data Objects"},
    {15, 1, {}, "Reserved"},
    {16, 32, {}, "Data Object #1"},
    {48, 32, {}, "Data Object #2"},
    {80, 32, {}, "Data Object #3"},
    {112, 32, {}, "Data Object #4"},
    {144, 32, {}, "Data Object #5"},
    {176, 32, {}, "Data Object #6"},
    {208, 32, {}, "Data Object #7"},
};

// SOP header, revision 3.0, not extended
constexpr FieldDesc kSopHeaderV3Fields[] = {
    {0, 5, {}, "Message Type"},
    {5, 1, kPortDataRoleValues, "Port Data Role"},
    {6, 2, kSpecRevisionValues, "Specification Revision"},
    {8, 1, kPortPowerRoleValues, "Port Power Role"},
    {9, 3, {}, "MessageID"},
    {12, 3, {}, "Number of Data Objects"},
    {15, 1, kExtendedBitValues, "Extended"},
    {16, 32, {}, "Data Object #1"},
    {48, 32, {}, "Data Object #2"},
    {80, 32, {}, "Data Object #3"},
    {112, 32, {}, "Data Object #4"},
    {144, 32, {}, "Data Object #5"},
    {176, 32, {}, "Data Object #6"},
    {208, 32, {}, "Data Object #7"},
};

// SOP header, revision 3.0, extended
constexpr FieldDesc kSopHeaderV3ExtFields[] = {
    {0, 5, {}, "Message Type"},
    {5, 1, kPortDataRoleValues, "Port Data Role"},
    {6, 2, kSpecRevisionValues, "Specification Revision"},
    {8, 1, kPortPowerRoleValues, "Port Power Role"},
    {9, 3, {}, "MessageID"},
    {12, 3, {}, "Number of Data Objects"},
    {15, 1, kExtendedBitValues, "Extended"},
    {16, 9, {}, "Data Size"},
    {25, 1, {}, "Reserved"},
    {26, 1, {}, "Request Chunk"},
    {27, 4, {}, "Chunk Number"},
    {31, 1, {}, "Chunked"},
    {32, 2080, {}, "Extended Data"},
};

// SOP'/SOP'' header, revision 1.0/2.0
constexpr FieldDesc kCableHeaderV2Fields[] = {
    {0, 4, {}, "Message Type"},
    {4, 1, {}, "Reserved"},
    {5, 1, {}, "Reserved"},
    {6, 2, kSpecRevisionValues, "Specification Revision"},
    {8, 1, kCablePlugValues, "Cable Plug"},
    {9, 3, {}, "MessageID"},
    {12, 3, {}, "Number of Data Objects"},
    {15, 1, {}, "Reserved"},
    {16, 32, {}, "Data Object #1"},
    {48, 32, {}, "Data Object #2"},
    {80, 32, {}, "Data Object #3"},
    {112, 32, {}, "Data Object #4"},
    {144, 32, {}, "Data Object #5"},
    {176, 32, {}, "Data Object #6"},
    {208, 32, {}, "Data Object #7"},
};

// SOP'/SOP'' header, revision 3.0, Extended bit clear
constexpr FieldDesc kCableHeaderV3Fields[] = {
    {0, 5, {}, "Message Type"},
    {5, 1, {}, "Reserved"},
    {6, 2, kSpecRevisionValues, "Specification Revision"},
    {8, 1, kCablePlugValues, "Cable Plug"},
    {9, 3, {}, "MessageID"},
    {12, 3, {}, "Number of Data Objects"},
    {15, 1, kExtendedBitValues, "Extended"},
    {16, 32, {}, "Data Object #1"},
    {48, 32, {}, "Data Object #2"},
    {80, 32, {}, "Data Object #3"},
    {112, 32, {}, "Data Object #4"},
    {144, 32, {}, "Data Object #5"},
    {176, 32, {}, "Data Object #6"},
    {208, 32, {}, "Data Object #7"},
};

// SOP'/SOP'' header, revision 3.0, Extended bit set
constexpr FieldDesc kCableHeaderV3ExtFields[] = {
    {0, 5, {}, "Message Type"},
    {5, 1, {}, "Reserved"},
    {6, 2, kSpecRevisionValues, "Specification Revision"},
    {8, 1, kCablePlugValues, "Cable Plug"},
    {9, 3, {}, "MessageID"},
    {12, 3, {}, "Number of Data Objects"},
    {15, 1, kExtendedBitValues, "Extended"},
    {16, 9, {}, "Data Size"},
    {25, 1, {}, "Reserved"},
    {26, 1, {}, "Request Chunk"},
    {27, 4, {}, "Chunk Number"},
    {31, 1, {}, "Chunked"},
    {32, 2080, {}, "Extended Data"},
};

// Extended message header
constexpr FieldDesc kExtHeaderFieldsFields[] = {
    {0, 9, {}, "Data Size"},
    {10, 1, {}, "Request Chunk"},
    {11, 4, {}, "Chunk Number"},
    {15, 1, {}, "Chunked"},
};

}  // namespace

constinit const FieldTable SopHeaderV2 = kSopHeaderV2Fields;
constinit const FieldTable SopHeaderV3 = kSopHeaderV3Fields;
constinit const FieldTable SopHeaderV3Ext = kSopHeaderV3ExtFields;
constinit const FieldTable CableHeaderV2 = kCableHeaderV2Fields;
constinit const FieldTable CableHeaderV3 = kCableHeaderV3Fields;
constinit const FieldTable CableHeaderV3Ext = kCableHeaderV3ExtFields;
constinit const FieldTable ExtHeaderFields = kExtHeaderFieldsFields;

constinit const ValueList ControlTypesV2 = std::span(kControlTypes).first(13);
constinit const ValueList ControlTypesV3 = kControlTypes;
constinit const ValueList DataTypesV2 = std::span(kDataTypes).first(5);
constinit const ValueList DataTypesV3 = kDataTypes;
constinit const ValueList ExtendedTypes = kExtendedTypes;
