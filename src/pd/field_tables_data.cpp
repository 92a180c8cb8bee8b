// Data object tables of BIST, Battery_Status, Alert, Get_Country_Info, Enter_USB, EPR_Mode,
// Source_Info and Revision.
#include "pd/field_table_entries.h"
#include "pd/field_tables.h"

namespace {

constexpr ValueDesc kModeValues[] = {
    ValueIs(5, "BIST Carrier Mode"),
    ValueIs(8, "BIST Test Data"),
    ValueIs(9, "BIST Shared Test Mode Entry"),
    ValueIs(10, "BIST Shared Test Mode Exit"),
};

constexpr ValueDesc kChargingStatusValues[] = {
    ValueIs(0, "Battery is Charging"),
    ValueIs(1, "Battery is Discharging"),
    ValueIs(2, "Battery is Idle"),
};

constexpr ValueDesc kBatteryPresentCapacityValues[] = {
    ValueIs(65535, "Battery's SoC unknown"),
    Always("Battery's SoC %d [mWH] increments", 100),
};

constexpr ValueDesc kExtendedAlertEventTypeValues[] = {
    ValueIs(1, "Power state change (DFP only)"),
    ValueIs(2, "Power button press (UFP only)"),
    ValueIs(3, "Power button release (UFP only)"),
    ValueIs(4, "Controller initiated wake (UFP only)"),
};

constexpr ValueDesc kTBTSupportValues[] = {
    ValueIs(1, "TBT3 is supported by the host's USB4 Connection Manager"),
};

constexpr ValueDesc kDPSupportValues[] = {
    ValueIs(1, "USB4 DP tunneling supported by the host"),
};

constexpr ValueDesc kPCIeSupportValues[] = {
    ValueIs(1, "USB4 PCIe tunneling supported by the host"),
};

constexpr ValueDesc kEnterUsbDoCableCurrentValues[] = {
    ValueIs(0, "VBUS is not supported"),
    ValueIs(2, "3A"),
    ValueIs(3, "5A"),
};

constexpr ValueDesc kCableTypeValues[] = {
    ValueIs(0, "Passive"),
    ValueIs(1, "Active Re-timer"),
    ValueIs(2, "Active Re-driver"),
    ValueIs(3, "Optically Isolated"),
};

constexpr ValueDesc kCableSpeedValues[] = {
    ValueIs(0, "USB 2.0 only, no SuperSpeed support"),
    ValueIs(1, "USB 3.2 Gen1"),
    ValueIs(2, "USB 3.2 Gen2 and USB4 Gen2"),
    ValueIs(3, "USB4 Gen3"),
    ValueIs(4, "USB4 Gen4"),
};

constexpr ValueDesc kUSB3DRDValues[] = {
    ValueIs(0, "Not capable of operating as a USB 3.2 Device"),
    ValueIs(1, "Capable of operating as a USB 3.2 Device"),
};

constexpr ValueDesc kUSB4DRDValues[] = {
    ValueIs(0, "Not capable of operating as a USB4 Device"),
    ValueIs(1, "Capable of operating as a USB4 Device"),
};

constexpr ValueDesc kUSBModeValues[] = {
    ValueIs(0, "USB 2.0"),
    ValueIs(1, "USB 3.2"),
    ValueIs(2, "USB4"),
};

constexpr ValueDesc kActionValues[] = {
    ValueIs(1, "Enter"),
    ValueIs(2, "Enter Acknowledged"),
    ValueIs(3, "Enter Succeeded"),
    ValueIs(4, "Enter Failed"),
    ValueIs(5, "Exit"),
};

constexpr ValueDesc kPortTypeValues[] = {
    ValueIs(0, "Managed Capability Port"),
    ValueIs(1, "Guranteed Capability Port"),
};

// BIST Data Object
constexpr FieldDesc kBistDoFields[] = {
    {0, 28, {}, "Reserved"},
    {28, 4, kModeValues, "Mode"},
};

// Battery Status Data Object
constexpr FieldDesc kBatteryStatusDoFields[] = {
    {0, 8, {}, "Reserved"},
    {8, 1, {}, "Battert Info (Invalid Battery reference)"},
    {9, 1, {}, "Battert Info (Battery is present)"},
    {10, 2, kChargingStatusValues, "Battert Info (Battery charging status)"},
    {12, 4, {}, "Battert Info (Reserved)"},
    {16, 16, kBatteryPresentCapacityValues, "Battery Present Capacity"},
};

// Alert Data Object
constexpr FieldDesc kAlertDoFields[] = {
    {0, 4, kExtendedAlertEventTypeValues, "Extended Alert Event Type"},
    {4, 12, {}, "Reserved"},
    {16, 4, {}, "Hot Swappable Batteries"},
    {20, 4, {}, "Fixed Batteries"},
    {24, 1, {}, "Type of Alert (Reserved)"},
    {25, 1, {}, "Type of Alert (Battery Status Change Event)"},
    {26, 1, {}, "Type of Alert (OCP event)"},
    {27, 1, {}, "Type of Alert (OTP event)"},
    {28, 1, {}, "Type of Alert (Operating Condition Change)"},
    {29, 1, {}, "Type of Alert (Source Input Change Event)"},
    {30, 1, {}, "Type of Alert (OVP event)"},
    {31, 1, {}, "Type of Alert (Extended Alert Event)"},
};

// Get_Country_Info Data Object
constexpr FieldDesc kCountryInfoDoFields[] = {
    {0, 16, {}, "Reserved"},
    {16, 8, {}, "Second Caracter of the Alpha-2 Country Code defined by [ISO 3166]"},
    {24, 8, {}, "First Caracter of the Alpha-2 Country Code defined by [ISO 3166]"},
};

// Enter_USB Data Object
constexpr FieldDesc kEnterUsbDoFields[] = {
    {0, 13, {}, "Reserved"},
    {13, 1, {}, "Host Present"},
    {14, 1, kTBTSupportValues, "TBT Support"},
    {15, 1, kDPSupportValues, "DP Support"},
    {16, 1, kPCIeSupportValues, "PCIe Support"},
    {17, 2, kEnterUsbDoCableCurrentValues, "Cable Current"},
    {19, 2, kCableTypeValues, "Cable Type"},
    {21, 3, kCableSpeedValues, "Cable Speed"},
    {24, 1, {}, "Reserved"},
    {25, 1, kUSB3DRDValues, "USB3 DRD"},
    {26, 1, kUSB4DRDValues, "USB4 DRD"},
    {27, 1, {}, "Reserved"},
    {28, 3, kUSBModeValues, "USB Mode"},
    {31, 1, {}, "Reserved"},
};

// EPR_Mode Data Object
constexpr FieldDesc kEprModeDoFields[] = {
    {0, 16, {}, "Reserved"},
    {16, 8, {}, "Data"},
    {24, 8, kActionValues, "Action"},
};

// Source_Info Data Object
constexpr FieldDesc kSourceInfoDoFields[] = {
    {0, 8, kUnits1W, "Port Reported PDP"}, {8, 8, kUnits1W, "Port Present PDP"},
    {16, 8, kUnits1W, "Port Maximum PDP"}, {24, 7, {}, "Reserved"},
    {31, 1, kPortTypeValues, "Port Type"},
};

// Revision Data Object
constexpr FieldDesc kRevisionDoFields[] = {
    {0, 16, {}, "Reserved"},       {16, 4, {}, "Version.minor"},  {20, 4, {}, "Version.major"},
    {24, 4, {}, "Revision.minor"}, {28, 4, {}, "Revision.major"},
};

}  // namespace

constinit const FieldTable BistDo = kBistDoFields;
constinit const FieldTable BatteryStatusDo = kBatteryStatusDoFields;
constinit const FieldTable AlertDo = kAlertDoFields;
constinit const FieldTable CountryInfoDo = kCountryInfoDoFields;
constinit const FieldTable EnterUsbDo = kEnterUsbDoFields;
constinit const FieldTable EprModeDo = kEprModeDoFields;
constinit const FieldTable SourceInfoDo = kSourceInfoDoFields;
constinit const FieldTable RevisionDo = kRevisionDoFields;
