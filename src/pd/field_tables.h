// Constant descriptions of the bit fields of every PD message part: message headers, power and
// request data objects, vendor defined objects and extended message data blocks. The field table
// of the packet detail views is driven entirely by these tables.
#pragma once

#include <cstdint>
#include <span>
#include <string>

// One entry of a value-description list. It matches a field value v when (v & mask) == value:
// a mask of all ones names one code, a single-bit mask equal to value names a flag bit, and mask
// 0 with value 0 always matches and renders the value scaled by multiplier (e.g. "%d [mV]" x 50).
// The text is a format text whose only conversion is "%d" (and "%%" for a percent sign).
struct ValueDesc {
    uint32_t mask = 0;
    uint32_t value = 0;
    const char* text = "";
    int32_t multiplier = 1;
};
using ValueList = std::span<const ValueDesc>;

// One bit field of a table; bitOffset counts from the start of the segment the table describes.
struct FieldDesc {
    int32_t bitOffset = 0;
    int32_t bitLength = 0;
    ValueList valueTable;  // empty when the field has no named values or unit
    const char* name = "";
};
// The fields of one message part in ascending bit order.
using FieldTable = std::span<const FieldDesc>;

// The texts of every entry of `values` that matches `value`, each formatted with
// value x multiplier and joined by ", "; empty when nothing matches.
std::string DescribeValue(ValueList values, uint32_t value);
// DescribeValue with the field's own value list.
std::string DescribeValue(const FieldDesc& field, uint32_t value);

// Sum of the field lengths of a table: the bit length of a segment that uses it.
int32_t TableBitLength(FieldTable table);

// A table with its identifier, for listings and checks over all tables.
struct NamedFieldTable {
    const char* id;
    const FieldTable* table;
};
// Every table below, in the order they are declared.
std::span<const NamedFieldTable> AllFieldTables();

// "Message Type" value lists; the header tables leave that field's list open because it depends
// on the message class and revision of each packet.
extern const ValueList ControlTypesV2;  // control types 1-13
extern const ValueList ControlTypesV3;  // control types 1-24
extern const ValueList DataTypesV2;     // data types of revisions 1.0 and 2.0
extern const ValueList DataTypesV3;     // data types 1-12 and 15
extern const ValueList ExtendedTypes;   // extended types 1-18 and 30
// "Command" list of structured VDMs with the DisplayPort SVID 0xFF01: the standard commands
// plus 16 "DisplayPort Status Update" and 17 "DisplayPort Configure".
extern const ValueList DpVdmCommands;

// --- Field tables by message part -------------------------------------------------------------

// Message headers

// SOP header, revision 1.0/2.0
extern const FieldTable SopHeaderV2;
// SOP header, revision 3.0, not extended
extern const FieldTable SopHeaderV3;
// SOP header, revision 3.0, extended
extern const FieldTable SopHeaderV3Ext;
// SOP'/SOP'' header, revision 1.0/2.0
extern const FieldTable CableHeaderV2;
// SOP'/SOP'' header, revision 3.0, Extended bit clear
extern const FieldTable CableHeaderV3;
// SOP'/SOP'' header, revision 3.0, Extended bit set
extern const FieldTable CableHeaderV3Ext;
// Extended message header
extern const FieldTable ExtHeaderFields;

// Power Data Objects

// Source Fixed Supply PDO, revision 1.0/2.0
extern const FieldTable SrcFixedPdoV2;
// Source Fixed Supply PDO, revision 3.0
extern const FieldTable SrcFixedPdoV3;
// Source Battery PDO
extern const FieldTable SrcBatteryPdo;
// Source Variable Supply PDO
extern const FieldTable SrcVariablePdo;
// Source APDO, SPR Programmable Power Supply
extern const FieldTable SrcPpsApdo;
// Source APDO, EPR Adjustable Voltage Supply
extern const FieldTable SrcAvsApdo;
// Source APDO, other kinds
extern const FieldTable SrcOtherApdo;
// Sink Fixed Supply PDO, revision 1.0/2.0
extern const FieldTable SnkFixedPdoV2;
// Sink Fixed Supply PDO, revision 3.0
extern const FieldTable SnkFixedPdoV3;
// Sink Battery PDO
extern const FieldTable SnkBatteryPdo;
// Sink Variable Supply PDO
extern const FieldTable SnkVariablePdo;
// Sink APDO, SPR Programmable Power Supply
extern const FieldTable SnkPpsApdo;
// Sink APDO, EPR Adjustable Voltage Supply
extern const FieldTable SnkAvsApdo;
// Sink APDO, other kinds
extern const FieldTable SnkOtherApdo;

// Request Data Objects

// Fixed/Variable RDO, GiveBack clear, revision 1.0/2.0
extern const FieldTable FixedRdoV2;
// Fixed/Variable RDO, GiveBack clear, revision 3.0
extern const FieldTable FixedRdoV3;
// Fixed/Variable RDO, GiveBack set, revision 1.0/2.0
extern const FieldTable FixedRdoGiveBackV2;
// Fixed/Variable RDO, GiveBack set, revision 3.0
extern const FieldTable FixedRdoGiveBackV3;
// Battery RDO, GiveBack clear, revision 1.0/2.0
extern const FieldTable BatteryRdoV2;
// Battery RDO, GiveBack clear, revision 3.0
extern const FieldTable BatteryRdoV3;
// Battery RDO, GiveBack set, revision 1.0/2.0
extern const FieldTable BatteryRdoGiveBackV2;
// Battery RDO, GiveBack set, revision 3.0
extern const FieldTable BatteryRdoGiveBackV3;
// PPS RDO
extern const FieldTable PpsRdo;
// AVS RDO
extern const FieldTable AvsRdo;
// RDO for other APDO kinds
extern const FieldTable OtherApdoRdo;
// EPR_Request with fewer than two data objects
extern const FieldTable EprRequestShort;

// Other data messages

// BIST Data Object
extern const FieldTable BistDo;
// Battery Status Data Object
extern const FieldTable BatteryStatusDo;
// Alert Data Object
extern const FieldTable AlertDo;
// Get_Country_Info Data Object
extern const FieldTable CountryInfoDo;
// Enter_USB Data Object
extern const FieldTable EnterUsbDo;
// EPR_Mode Data Object
extern const FieldTable EprModeDo;
// Source_Info Data Object
extern const FieldTable SourceInfoDo;
// Revision Data Object
extern const FieldTable RevisionDo;

// Vendor Defined Messages

// Unstructured VDM header (also Vendor_Defined_Extended header)
extern const FieldTable UnstructuredVdmHeader;
// Structured VDM header, VDM version 1.0
extern const FieldTable StructuredVdmHeaderV1;
// Structured VDM header, version 2.x, commands other than Enter Mode, Exit Mode, Attention
extern const FieldTable StructuredVdmHeaderV2;
// Structured VDM header, version 2.x, Enter Mode, Exit Mode, Attention
extern const FieldTable StructuredVdmHeaderV2Mode;
// ID Header VDO, SOP, VDM version 1.0
extern const FieldTable IdHeaderSopV1;
// ID Header VDO, SOP, VDM version 2.x
extern const FieldTable IdHeaderSopV2;
// ID Header VDO, SOP'/SOP'', VDM version 1.0
extern const FieldTable IdHeaderCableV1;
// ID Header VDO, SOP'/SOP'', VDM version 2.x
extern const FieldTable IdHeaderCableV2;
// Cert Stat VDO
extern const FieldTable CertStatVdo;
// Product VDO
extern const FieldTable ProductVdo;
// UFP VDO, UFP VDO version 0
extern const FieldTable UfpVdoV0;
// UFP VDO, UFP VDO version 1 or 2
extern const FieldTable UfpVdoV1;
// UFP VDO, UFP VDO version 3 or higher
extern const FieldTable UfpVdoV3;
// Second UFP VDO word (USB3/USB4 power), UFP VDO version below 3
extern const FieldTable UfpPowerVdo;
// DFP VDO, DFP VDO version 0
extern const FieldTable DfpVdoV0;
// DFP VDO, DFP VDO version 1
extern const FieldTable DfpVdoV1;
// DFP VDO, DFP VDO version 2 or higher
extern const FieldTable DfpVdoV2;
// Alternate Mode Adapter VDO, VDM version 1.0
extern const FieldTable AmaVdoV1;
// Alternate Mode Adapter VDO, VDM version 2.x
extern const FieldTable AmaVdoV2;
// VCONN Powered USB Device VDO
extern const FieldTable VpdVdo;
// Passive Cable VDO, VDM version 1.0
extern const FieldTable PassiveCableVdoV1;
// Passive Cable VDO, VDM version 2.x
extern const FieldTable PassiveCableVdoV2;
// Active Cable VDO, VDM version 1.0
extern const FieldTable ActiveCableVdoV1;
// Active Cable VDO 1, VDM version 2.x
extern const FieldTable ActiveCableVdo1;
// Active Cable VDO 2, VDM version 2.x
extern const FieldTable ActiveCableVdo2;
// Discover SVIDs response (12 SVIDs)
extern const FieldTable DiscoverSvidsVdos;
// Discover Modes response (6 modes)
extern const FieldTable DiscoverModesVdos;
// DisplayPort Capabilities VDO
extern const FieldTable DpCapabilitiesVdo;
// Thunderbolt 3 Discover Modes VDO, SOP
extern const FieldTable TbtModeVdoSop;
// Thunderbolt 3 Discover Modes VDO, SOP'/SOP''
extern const FieldTable TbtModeVdoCable;
// Thunderbolt 3 Enter Mode VDO
extern const FieldTable TbtEnterModeVdo;
// Enter Mode VDOs, other SVIDs
extern const FieldTable EnterModeVdos;
// DisplayPort Status VDO
extern const FieldTable DpStatusVdo;
// Attention VDOs, other SVIDs
extern const FieldTable AttentionVdos;
// DisplayPort Configurations VDO
extern const FieldTable DpConfigVdo;

// Extended messages

// Source_Capabilities_Extended data block
extern const FieldTable ScedbBlock;
// Sink_Capabilities_Extended data block
extern const FieldTable SkedbBlock;
// Status data block, SOP
extern const FieldTable StatusBlockSop;
// Status data block, SOP'/SOP''
extern const FieldTable StatusBlockCable;
// Get_Battery_Cap data block
extern const FieldTable GetBatteryCapBlock;
// Get_Battery_Status data block
extern const FieldTable GetBatteryStatusBlock;
// Battery_Capabilities data block
extern const FieldTable BatteryCapBlock;
// Get_Manufacturer_Info data block
extern const FieldTable GetManufacturerInfoBlock;
// Manufacturer_Info data block
extern const FieldTable ManufacturerInfoBlock;
// Security_Request header
extern const FieldTable SecReqHeader;
// Security_Request, message type 0x81
extern const FieldTable SecReq81;
// Security_Request, message type 0x82
extern const FieldTable SecReq82;
// Security_Request, message type 0x83
extern const FieldTable SecReq83;
// Security_Response header
extern const FieldTable SecRespHeader;
// Security_Response, message type 1
extern const FieldTable SecResp01;
// Security_Response, message type 2
extern const FieldTable SecResp02;
// Security_Response, message type 3
extern const FieldTable SecResp03;
// Security_Response, message type 127
extern const FieldTable SecResp7F;
// Firmware_Update_Request header
extern const FieldTable FwReqHeader;
// Firmware_Update_Request, message type 0x82
extern const FieldTable FwReq82;
// Firmware_Update_Request, message type 0x83
extern const FieldTable FwReq83;
// Firmware_Update_Request, message type 0x84
extern const FieldTable FwReq84;
// Firmware_Update_Request, message type 0xFF
extern const FieldTable FwReqFF;
// Firmware_Update_Response header
extern const FieldTable FwRespHeader;
// Firmware_Update_Response, message type 1
extern const FieldTable FwResp01;
// Firmware_Update_Response, message type 2
extern const FieldTable FwResp02;
// Firmware_Update_Response, message type 3
extern const FieldTable FwResp03;
// Firmware_Update_Response, message type 5
extern const FieldTable FwResp05;
// Firmware_Update_Response, message type 7
extern const FieldTable FwResp07;
// Firmware_Update_Response, message type 127
extern const FieldTable FwResp7F;
// PPS_Status data block
extern const FieldTable PpsStatusBlock;
// Country_Info data block
extern const FieldTable CountryInfoBlock;
// Country_Codes data block
extern const FieldTable CountryCodesBlock;
// Extended_Control data block
extern const FieldTable ExtendedControlBlock;
