// Vendor defined message headers and the VDOs of Discover SVIDs, Discover Modes, Enter Mode,
// Attention and the DisplayPort and Thunderbolt alternate modes.
#include "pd/field_table_entries.h"
#include "pd/field_tables.h"

namespace {

constexpr ValueDesc kDpVdmCommands[] = {
    ValueIs(1, "Discover Identity"),
    ValueIs(2, "Discover SVIDs"),
    ValueIs(3, "Discover Modes"),
    ValueIs(4, "Enter Mode"),
    ValueIs(5, "Exit Mode"),
    ValueIs(6, "Attention"),
    ValueIs(16, "DisplayPort Status Update"),
    ValueIs(17, "DisplayPort Configure"),
};

constexpr ValueDesc kVdmTypeValues[] = {
    ValueIs(0, "Unstructured VDM"),
    ValueIs(1, "Structured VDM"),
};

constexpr ValueDesc kVdmCommandValues[] = {
    ValueIs(1, "Discover Identity"), ValueIs(2, "Discover SVIDs"), ValueIs(3, "Discover Modes"),
    ValueIs(4, "Enter Mode"),        ValueIs(5, "Exit Mode"),      ValueIs(6, "Attention"),
};

constexpr ValueDesc kVdmCommandTypeValues[] = {
    ValueIs(0, "REQ (Request from Initiator Port)"),
    ValueIs(1, "ACK (Acknowledge Response from Responder Port)"),
    ValueIs(2, "NAK (Negative Acknowledge Response from Responder Port)"),
    ValueIs(3, "BUSY (Busy Response from Responder Port)"),
};

constexpr ValueDesc kStructuredVDMVersionValues[] = {
    ValueIs(0, "Version 1.0"),
    ValueIs(1, "Version 2.0"),
};

constexpr ValueDesc kSvidValues[] = {
    ValueIs(65280, "Standard ID"),
    ValueIs(65281, "VESA/DisplayPort"),
    ValueIs(32903, "Intel/TBT3"),
};

constexpr ValueDesc kVdmMinorVersionValues[] = {
    ValueIs(0, "Version 2.0"),
    ValueIs(1, "Version 2.1"),
};

constexpr ValueDesc kVdmMajorVersionValues[] = {
    ValueIs(0, "Version 1.0"),
    ValueIs(1, "Version 2.x"),
};

constexpr ValueDesc kObjectPositionValues[] = {
    ValueIs(7, "Exit all Active Modes"),
};

constexpr ValueDesc kPortCapabilityValues[] = {
    ValueIs(1, "UFP_D-cabable"),
    ValueIs(2, "DFP_D-capable"),
    ValueIs(3, "Both DFP_D and UFP_D-capable"),
};

constexpr ValueDesc kDpSignalingSupportValues[] = {
    FlagBit(0, "Supports DP v1.3 signaling rates and electrical specification"),
    FlagBit(1, "Supports USB Gen2 signaling rate and electrical specification"),
};

constexpr ValueDesc kReceptacleIndicationValues[] = {
    ValueIs(0, "DisplayPort interface is presented on a USB Type-C Plug"),
    ValueIs(1, "DisplayPort interface is presented on a USB Type-C Receptacle"),
};

constexpr ValueDesc kUSBR20SignalingNotUsedValues[] = {
    ValueIs(
        0,
        "USB r2.0 signaling may be required on A6-A7 or B6-B7 while in DisplayPort Configuration"),
    ValueIs(
        1,
        "USB r2.0 signaling is not required on A6-A7 or B6-B7 while in DisplayPort Configuration"),
};

constexpr ValueDesc kPinAssignmentAtoFValues[] = {
    ValueIs(0, "Pin Assignments are not supported"),
    FlagBit(0, "Pin Assignment A"),
    FlagBit(1, "Pin Assignment B"),
    FlagBit(2, "Pin Assignment C"),
    FlagBit(3, "Pin Assignment D"),
    FlagBit(4, "Pin Assignment E"),
    FlagBit(5, "Pin Assignment F"),
};

constexpr ValueDesc kUFPDPinAssignmentsSupportedValues[] = {
    ValueIs(0, "Pin Assignments are not supported"),
    FlagBit(0, "Pin Assignment A"),
    FlagBit(1, "Pin Assignment B"),
    FlagBit(2, "Pin Assignment C"),
    FlagBit(3, "Pin Assignment D"),
    FlagBit(4, "Pin Assignment E"),
};

constexpr ValueDesc kTbtModeValues[] = {
    ValueIs(1, "TBT Mode"),
};

constexpr ValueDesc kTbtAdapterValues[] = {
    ValueIs(0, "TBT3 Adapter"),
    ValueIs(1, "TBT2 Legacy Adapter"),
};

constexpr ValueDesc kSupportedValues[] = {
    ValueIs(0, "Not supported"),
    ValueIs(1, "Supported"),
};

constexpr ValueDesc kTbtCableSpeedValues[] = {
    ValueIs(1, "USB3.1 Gen1 Cable (10 Gbps TBT support)"),
    ValueIs(2, "10 Gbps (USB 3.2 Gen1 and Gen2 passive cables)"),
    ValueIs(3, "10 Gbps and 20 Gbps (TBT 3rd Gen active cables and 20 Gbps passive cables)"),
};

constexpr ValueDesc kTbtRoundedValues[] = {
    ValueIs(0, "3rd Gen Non-Rounded TBT"),
    ValueIs(1, "3rd & 4th Gen Rounded and Non-Rounded TBT"),
};

constexpr ValueDesc kTbtCableTypeValues[] = {
    ValueIs(0, "Non-Optical"),
    ValueIs(1, "Optical"),
};

constexpr ValueDesc kTbtRetimerValues[] = {
    ValueIs(0, "Not re-timer"),
    ValueIs(1, "Re-timer"),
};

constexpr ValueDesc kTbtLinkTrainingValues[] = {
    ValueIs(0, "Active with bi-directional LSRX communication or when Passive"),
    ValueIs(1, "Active with uni-directional LSRX communication"),
};

constexpr ValueDesc kTbtActivePassiveValues[] = {
    ValueIs(0, "Passive cable"),
    ValueIs(1, "Active cable"),
};

constexpr ValueDesc kDFPDUFPDConnectedValues[] = {
    ValueIs(0, "Neither DFP_D nor UFP_D is connected, or Adaptor is disabled."),
    ValueIs(1, "DFP_D is connected."),
    ValueIs(2, "UFP_D is connected."),
    ValueIs(3, "Both DFP_D and UFP_D are connected."),
};

constexpr ValueDesc kPowerLowValues[] = {
    ValueIs(0, "Adaptor is functioning normally or is disabled."),
    ValueIs(1, "Adaptor has detected low power and disabled."),
};

constexpr ValueDesc kEnabledValues[] = {
    ValueIs(0, "Adaptor DisplayPort functionality is disabled."),
    ValueIs(1, "Adaptor DisplayPort functionality is enabled and operational."),
};

constexpr ValueDesc kMultiFunctionPreferredValues[] = {
    ValueIs(0, "No preference for Multi-function."),
    ValueIs(1, "Multi-function preferred."),
};

constexpr ValueDesc kUSBConfigurationRequestValues[] = {
    ValueIs(0, "Maintain current configuration."),
    ValueIs(1, "Request switch to USB Configuration."),
};

constexpr ValueDesc kExitDisplayPortModeRequestValues[] = {
    ValueIs(0, "Maintain current mode."),
    ValueIs(1, "Request exit from DisplayPort Mode."),
};

constexpr ValueDesc kHPDStateValues[] = {
    ValueIs(0, "HPD_Low"),
    ValueIs(1, "HPD_High"),
};

constexpr ValueDesc kIRQHPDValues[] = {
    ValueIs(0, "No IRQ_HPD since last status message"),
    ValueIs(1, "IRQ_HPD"),
};

constexpr ValueDesc kSelectConfigurationValues[] = {
    ValueIs(0, "Set configuration for USB"),
    ValueIs(1, "Set configuration for UFP_U as DFP_D"),
    ValueIs(2, "Set configuration for UFP_U as UFP_D"),
};

constexpr ValueDesc kDpSignalingSelectValues[] = {
    ValueIs(0, "Signaling unspecified"),
    ValueIs(1, "Select DP v1.3 signaling rates and electrical settings"),
    ValueIs(2, "Select Gen2 signaling rates and electrical specifications"),
};

// Unstructured VDM header (also Vendor_Defined_Extended header)
constexpr FieldDesc kUnstructuredVdmHeaderFields[] = {
    {0, 15, {}, "Available for Vendor Use"},
    {15, 1, kVdmTypeValues, "VDM Type"},
    {16, 16, {}, "Vendor ID (VID)"},
};

// Structured VDM header, VDM version 1.0
constexpr FieldDesc kStructuredVdmHeaderV1Fields[] = {
    {0, 5, kVdmCommandValues, "Command"},
    {5, 1, {}, "Reserved"},
    {6, 2, kVdmCommandTypeValues, "Command Type"},
    {8, 3, {}, "Object Position"},
    {11, 2, {}, "Reserved"},
    {13, 2, kStructuredVDMVersionValues, "Structured VDM Version"},
    {15, 1, kVdmTypeValues, "VDM Type"},
    {16, 16, kSvidValues, "Standard or Vendor ID (SVID)"},
};

// Structured VDM header, version 2.x, commands other than Enter Mode, Exit Mode, Attention
constexpr FieldDesc kStructuredVdmHeaderV2Fields[] = {
    {0, 5, kVdmCommandValues, "Command"},
    {5, 1, {}, "Reserved"},
    {6, 2, kVdmCommandTypeValues, "Command Type"},
    {8, 3, {}, "Object Position"},
    {11, 2, kVdmMinorVersionValues, "Structured VDM Version (Minor)"},
    {13, 2, kVdmMajorVersionValues, "Structured VDM Version (Major)"},
    {15, 1, kVdmTypeValues, "VDM Type"},
    {16, 16, kSvidValues, "Standard or Vendor ID (SVID)"},
};

// Structured VDM header, version 2.x, Enter Mode, Exit Mode, Attention
constexpr FieldDesc kStructuredVdmHeaderV2ModeFields[] = {
    {0, 5, kVdmCommandValues, "Command"},
    {5, 1, {}, "Reserved"},
    {6, 2, kVdmCommandTypeValues, "Command Type"},
    {8, 3, kObjectPositionValues, "Object Position"},
    {11, 2, kVdmMinorVersionValues, "Structured VDM Version (Minor)"},
    {13, 2, kVdmMajorVersionValues, "Structured VDM Version (Major)"},
    {15, 1, kVdmTypeValues, "VDM Type"},
    {16, 16, kSvidValues, "Standard or Vendor ID (SVID)"},
};

// Discover SVIDs response (12 SVIDs)
constexpr FieldDesc kDiscoverSvidsVdosFields[] = {
    {0, 16, kSvidValues, "SVID1"},    {16, 16, kSvidValues, "SVID0"},
    {32, 16, kSvidValues, "SVID3"},   {48, 16, kSvidValues, "SVID2"},
    {64, 16, kSvidValues, "SVID5"},   {80, 16, kSvidValues, "SVID4"},
    {96, 16, kSvidValues, "SVID7"},   {112, 16, kSvidValues, "SVID6"},
    {128, 16, kSvidValues, "SVID9"},  {144, 16, kSvidValues, "SVID8"},
    {160, 16, kSvidValues, "SVID11"}, {176, 16, kSvidValues, "SVID10"},
};

// Discover Modes response (6 modes)
constexpr FieldDesc kDiscoverModesVdosFields[] = {
    {0, 32, {}, "Mode1"},  {32, 32, {}, "Mode2"},  {64, 32, {}, "Mode3"},
    {96, 32, {}, "Mode4"}, {128, 32, {}, "Mode5"}, {160, 32, {}, "Mode6"},
};

// DisplayPort Capabilities VDO
constexpr FieldDesc kDpCapabilitiesVdoFields[] = {
    {0, 2, kPortCapabilityValues, "Port Capability"},
    {2, 4, kDpSignalingSupportValues, "Signaling for Transport of DisplayPort Protocol"},
    {6, 1, kReceptacleIndicationValues, "Receptacle Indication"},
    {7, 1, kUSBR20SignalingNotUsedValues, "USB r2.0 Signaling Not Used"},
    {8, 8, kPinAssignmentAtoFValues, "DFP_D Pin Assignments Supported"},
    {16, 8, kUFPDPinAssignmentsSupportedValues, "UFP_D Pin Assignments Supported"},
    {24, 16, {}, "Reserved"},
};

// Thunderbolt 3 Discover Modes VDO, SOP
constexpr FieldDesc kTbtModeVdoSopFields[] = {
    {0, 16, kTbtModeValues, "TBT Alternate Mode"},
    {16, 1, kTbtAdapterValues, "TBT Adapter"},
    {17, 9, {}, "Reserved"},
    {26, 1, kSupportedValues, "Intel specific B0"},
    {27, 3, {}, "Reserved"},
    {30, 1, kSupportedValues, "Vendor specific B0"},
    {31, 1, kSupportedValues, "Vendor specific B1"},
};

// Thunderbolt 3 Discover Modes VDO, SOP'/SOP''
constexpr FieldDesc kTbtModeVdoCableFields[] = {
    {0, 16, kTbtModeValues, "TBT Alternate Mode"},
    {16, 3, kTbtCableSpeedValues, "Cable Speed"},
    {19, 2, kTbtRoundedValues, "TBT_Rounded_Support"},
    {21, 1, kTbtCableTypeValues, "Cable Type"},
    {22, 1, kTbtRetimerValues, "Re-timer"},
    {23, 1, kTbtLinkTrainingValues, "Active Cable Plug Link Training"},
    {24, 1, {}, "Reserved"},
    {25, 1, kTbtActivePassiveValues, "Active_Passive"},
    {26, 6, {}, "Reserved"},
};

// Thunderbolt 3 Enter Mode VDO
constexpr FieldDesc kTbtEnterModeVdoFields[] = {
    {0, 16, kTbtModeValues, "TBT Alternate Mode"},
    {16, 3, kTbtCableSpeedValues, "Cable Speed"},
    {19, 2, kTbtRoundedValues, "TBT_Rounded_Support"},
    {21, 1, kTbtCableTypeValues, "Cable Type"},
    {22, 1, kTbtRetimerValues, "Re-timer"},
    {23, 1, kTbtLinkTrainingValues, "Active Cable Plug Link Training"},
    {24, 1, kTbtAdapterValues, "TBT Adapter"},
    {25, 1, kTbtActivePassiveValues, "Active_Passive"},
    {26, 1, kSupportedValues, "Intel specific B0"},
    {27, 3, {}, "Reserved"},
    {30, 1, kSupportedValues, "Vendor specific B0"},
    {31, 1, kSupportedValues, "Vendor specific B1"},
};

// Enter Mode VDOs, other SVIDs
constexpr FieldDesc kEnterModeVdosFields[] = {
    {0, 32, {}, "Mode Specific"},  {32, 32, {}, "Mode Specific"},  {64, 32, {}, "Mode Specific"},
    {96, 32, {}, "Mode Specific"}, {128, 32, {}, "Mode Specific"}, {160, 32, {}, "Mode Specific"},
};

// DisplayPort Status VDO
constexpr FieldDesc kDpStatusVdoFields[] = {
    {0, 2, kDFPDUFPDConnectedValues, "DFP_D/UFP_D Connected"},
    {2, 1, kPowerLowValues, "Power Low"},
    {3, 1, kEnabledValues, "Enabled"},
    {4, 1, kMultiFunctionPreferredValues, "Multi-function Preferred"},
    {5, 1, kUSBConfigurationRequestValues, "USB Configuration Request"},
    {6, 1, kExitDisplayPortModeRequestValues, "Exit DisplayPort Mode Request"},
    {7, 1, kHPDStateValues, "HPD State"},
    {8, 1, kIRQHPDValues, "IRQ_HPD"},
    {9, 16, {}, "Reserved"},
};

// Attention VDOs, other SVIDs
constexpr FieldDesc kAttentionVdosFields[] = {
    {0, 32, {}, "Mode Specific"},  {32, 32, {}, "Mode Specific"},  {64, 32, {}, "Mode Specific"},
    {96, 32, {}, "Mode Specific"}, {128, 32, {}, "Mode Specific"}, {160, 32, {}, "Mode Specific"},
};

// DisplayPort Configurations VDO
constexpr FieldDesc kDpConfigVdoFields[] = {
    {0, 2, kSelectConfigurationValues, "Select Configuration"},
    {2, 4, kDpSignalingSelectValues, "Signaling for Transport of DisplayPort Protocol"},
    {6, 2, {}, "Reserved"},
    {8, 8, kPinAssignmentAtoFValues, "Configure UFP_U Pin Assignment"},
    {16, 16, {}, "Reserved"},
};

}  // namespace

constinit const FieldTable UnstructuredVdmHeader = kUnstructuredVdmHeaderFields;
constinit const FieldTable StructuredVdmHeaderV1 = kStructuredVdmHeaderV1Fields;
constinit const FieldTable StructuredVdmHeaderV2 = kStructuredVdmHeaderV2Fields;
constinit const FieldTable StructuredVdmHeaderV2Mode = kStructuredVdmHeaderV2ModeFields;
constinit const FieldTable DiscoverSvidsVdos = kDiscoverSvidsVdosFields;
constinit const FieldTable DiscoverModesVdos = kDiscoverModesVdosFields;
constinit const FieldTable DpCapabilitiesVdo = kDpCapabilitiesVdoFields;
constinit const FieldTable TbtModeVdoSop = kTbtModeVdoSopFields;
constinit const FieldTable TbtModeVdoCable = kTbtModeVdoCableFields;
constinit const FieldTable TbtEnterModeVdo = kTbtEnterModeVdoFields;
constinit const FieldTable EnterModeVdos = kEnterModeVdosFields;
constinit const FieldTable DpStatusVdo = kDpStatusVdoFields;
constinit const FieldTable AttentionVdos = kAttentionVdosFields;
constinit const FieldTable DpConfigVdo = kDpConfigVdoFields;

constinit const ValueList DpVdmCommands = kDpVdmCommands;
