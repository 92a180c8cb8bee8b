// Data block tables of the extended messages (except security and firmware update).
#include "pd/field_table_entries.h"
#include "pd/field_tables.h"

namespace {

constexpr ValueDesc kLoadStepValues[] = {
    ValueIs(0, "150mA/us Load Step (default)"),
    ValueIs(1, "500mA/us Load Step"),
};

constexpr ValueDesc kVoltageRegulationIoCValues[] = {
    ValueIs(0, "25%% IoC (default)"),
    ValueIs(1, "90%% IoC"),
};

constexpr ValueDesc kHoldupTimeValues[] = {
    ValueIs(0, "feature not supported"),
};

constexpr ValueDesc kUnits10Percent[] = {
    Always("%d [%%]", 10),
};

constexpr ValueDesc kUnits20ms[] = {
    Always("%d [ms]", 20),
};

constexpr ValueDesc kUnits5Percent[] = {
    Always("%d [%%]", 5),
};

constexpr ValueDesc kTouchTempValues[] = {
    ValueIs(0, "[IEC 60950-1] (default)"),
    ValueIs(1, "[IEC 62368-1] TS1"),
    ValueIs(2, "[IEC 62368-1] TS2"),
};

constexpr ValueDesc kSourceInputsExternalSupplyValues[] = {
    ValueIs(0, "No external supply"),
    ValueIs(1, "External supply present"),
};

constexpr ValueDesc kExternalSupplyConstraintValues[] = {
    ValueIs(0, "External supply is constrained"),
    ValueIs(1, "External supply is unconstrained"),
};

constexpr ValueDesc kSourceInputsInternalBatteryValues[] = {
    ValueIs(0, "No internal Battery"),
    ValueIs(1, "Internal Battery present"),
};

constexpr ValueDesc kSKEDBVersionValues[] = {
    ValueIs(1, "Version 1.0"),
};

constexpr ValueDesc kInternalTempValues[] = {
    ValueIs(0, "feature not supported"),
    ValueIs(1, "temperature is less than 2 degree Celsius"),
    Always("%d [degree Celsius]"),
};

constexpr ValueDesc kExternalPowerKindValues[] = {
    ValueIs(0, "DC"),
    ValueIs(1, "AC"),
};

constexpr ValueDesc kTemperatureStatusTempStatusValues[] = {
    ValueIs(0, "Not Supported"),
    ValueIs(1, "Normal"),
    ValueIs(2, "Warning"),
    ValueIs(3, "Over temperature"),
};

constexpr ValueDesc kNewPowerStateValues[] = {
    ValueIs(0, "Status not supported"),
    ValueIs(1, "S0"),
    ValueIs(2, "Modern Standby"),
    ValueIs(3, "S3"),
    ValueIs(4, "S4"),
    ValueIs(5, "S5 (Off with battery, wake events supported)"),
    ValueIs(6, "S3 (Off with no battery, wake events not supported)"),
};

constexpr ValueDesc kPowerStateIndicatorValues[] = {
    ValueIs(0, "Off LED"),
    ValueIs(1, "On LED"),
    ValueIs(2, "Blinking LED"),
    ValueIs(3, "Breathing LED"),
};

constexpr ValueDesc kBatteryCapacityValues[] = {
    ValueIs(0, "Battery not present"),
    ValueIs(65535, "unknown"),
    Always("%d [mWH]", 100),
};

constexpr ValueDesc kManufacturerInfoTargetValues[] = {
    ValueIs(0, "Port/Cable Plug"),
    ValueIs(1, "Battery"),
};

constexpr ValueDesc kOutputVoltageValues[] = {
    ValueIs(65535, "The Source does not support this filed."),
    Always("Source's output voltage is %d [mV].", 20),
};

constexpr ValueDesc kOutputCurrentValues[] = {
    ValueIs(255, "The Source does not support this filed."),
    Always("Source's output current is %d [mA].", 50),
};

constexpr ValueDesc kTypeValues[] = {
    ValueIs(1, "EPR_GetSource_Cap"),
    ValueIs(2, "EPR_Get_Sink_Cap"),
    ValueIs(3, "EPR_KeepAlive"),
    ValueIs(4, "EPR_KeepAlive_Ack"),
};

// Source_Capabilities_Extended data block
constexpr FieldDesc kScedbBlockFields[] = {
    {0, 16, {}, "VID"},
    {16, 16, {}, "PID"},
    {32, 32, {}, "XID"},
    {64, 8, {}, "FW Version"},
    {72, 8, {}, "HW Version"},
    {80, 2, kLoadStepValues, "Voltage Regulation (Load Step)"},
    {82, 1, kVoltageRegulationIoCValues, "Voltage Regulation (IoC)"},
    {83, 5, {}, "Voltage Regulation (Reserved)"},
    {88, 8, kHoldupTimeValues, "Holdup Time"},
    {96, 1, {}, "Compliance (LPS compliant when set)"},
    {97, 1, {}, "Compliance (PS1 compliant when set)"},
    {98, 1, {}, "Compliance (PS2 compliant when set)"},
    {99, 5, {}, "Compliance (Reserved)"},
    {104, 1, {}, "Touch Current (Low touch Current EPS when set)"},
    {105, 1, {}, "Touch Current (Ground pin supported when set)"},
    {106, 1, {}, "Touch Current (Ground pin intended for protective earth when set)"},
    {107, 5, {}, "Touch Current (Reserved)"},
    {112, 5, kUnits10Percent,
     "Peak Current1 (Percent overload in 10% increments Values higher than 25 (11001b) )are "
     "clipped to 250%)"},
    {117, 6, kUnits20ms, "Peak Current1 (Overload period in 20ms)"},
    {123, 4, kUnits5Percent, "Peak Current1 (Duty cycle in 5% increments)"},
    {127, 1, {}, "Peak Current1 (VBUS Voltage droop)"},
    {128, 5, kUnits10Percent,
     "Peak Current2 (Percent overload in 10% increments Values higher than 25 (11001b) )are "
     "clipped to 250%)"},
    {133, 6, kUnits20ms, "Peak Current2 (Overload period in 20ms)"},
    {139, 4, kUnits5Percent, "Peak Current2 (Duty cycle in 5% increments)"},
    {143, 1, {}, "Peak Current2 (VBUS Voltage droop)"},
    {144, 5, kUnits10Percent,
     "Peak Current3 (Percent overload in 10% increments Values higher than 25 (11001b) )are "
     "clipped to 250%)"},
    {149, 6, kUnits20ms, "Peak Current3 (Overload period in 20ms)"},
    {155, 4, kUnits5Percent, "Peak Current3 (Duty cycle in 5% increments)"},
    {159, 1, {}, "Peak Current3 (VBUS Voltage droop)"},
    {160, 8, kTouchTempValues, "Touch Temp"},
    {168, 1, kSourceInputsExternalSupplyValues, "Source Inputs (External supply)"},
    {169, 1, kExternalSupplyConstraintValues, "Source Inputs (External supply is unconstrained)"},
    {170, 1, kSourceInputsInternalBatteryValues, "Source Inputs (Internal Battery)"},
    {171, 5, {}, "Source Inputs (Reserved)"},
    {176, 4, {}, "Number of Batteries/Battery Slots (Number of Fixed Batteries))"},
    {180, 4, {}, "Number of Batteries/Battery Slots (Number of Hot Swappable Battery Slots)"},
    {184, 7, kUnits1W, "SPR Source PDP Rating"},
    {191, 1, {}, "Source PDP (Reserved)"},
    {192, 8, kUnits1W, "EPR Source PDP Rating"},
};

// Sink_Capabilities_Extended data block
constexpr FieldDesc kSkedbBlockFields[] = {
    {0, 16, {}, "VID"},
    {16, 16, {}, "PID"},
    {32, 32, {}, "XID"},
    {64, 8, {}, "FW Version"},
    {72, 8, {}, "HW Version"},
    {80, 8, kSKEDBVersionValues, "SKEDB Version"},
    {88, 2, kLoadStepValues, "Load Step (Load Step)"},
    {90, 6, {}, "Load Step (Reserved)"},
    {96, 5, kUnits10Percent,
     "Sink Load Characteristics (Percent overload in 10% increments Values higher than 25 (11001b) "
     "are clipped to 250%. 00000b is the default)"},
    {101, 6, kUnits20ms,
     "Sink Load Characteristics (Overload period in 20ms when bits 0-4 non-zero)"},
    {107, 4, kUnits5Percent,
     "Sink Load Characteristics (Duty cycle in 5% increments when bits 0-4 are non-zero)"},
    {111, 1, {}, "Sink Load Characteristics (Can tolerate VBUS Voltage droop)"},
    {112, 1, {}, "Compliance (LPS Source when set)"},
    {113, 1, {}, "Compliance (PS1 Source when set)"},
    {114, 1, {}, "Compliance (PS2 Source when set)"},
    {115, 5, {}, "Compliance (Reserved)"},
    {120, 8, kTouchTempValues, "Touch Temp"},
    {128, 4, {}, "Battery Info (Number of Fixed Batteries)"},
    {132, 4, {}, "Battery Info (Number of Hot Swappable Battery Slots)"},
    {136, 1, {}, "Sink Modes (PPS charging supported)"},
    {137, 1, {}, "Sink Modes (VBUS powered)"},
    {138, 1, {}, "Sink Modes (Mains powered)"},
    {139, 1, {}, "Sink Modes (Battery powered)"},
    {140, 1, {}, "Sink Modes (Battery essentially unlimited)"},
    {141, 1, {}, "Sink Modes (AVS Supported)"},
    {142, 2, {}, "Sink Modes (Reserved)"},
    {144, 7, kUnits1W,
     "Sink Minimum PDP (The Minimum PDP required by the Sink to operate without consuming any "
     "power from its Battery(s) should it have one."},
    {151, 1, {}, "Sink Minimum PDP (Reserved)"},
    {152, 7, kUnits1W,
     "Sink Operational PDP (The PDP the Sink requires to operate normally. For Sinks with a "
     "Battery, it is the PDP Rating of the charger supplied with it or recommended for it.)"},
    // The reserved bit of the operational PDP byte; placed at 160 it would hide the maximum PDP.
    {159, 1, {}, "Sink Operational PDP (Reserved)"},
    {160, 7, kUnits1W,
     "Sink Maximum PDP (The Maximum PDP the Sink can consume to operate and charge its Battery(s) "
     "should it have one.)"},
    {167, 1, {}, "Sink Maximum PDP (Reserved)"},
    {168, 8, kUnits1W, "EPR Sink Minimum PDP"},
    {176, 8, kUnits1W, "EPR Sink Operational PDP"},
    {184, 8, kUnits1W, "EPR Sink Maximum PDP"},
};

// Status data block, SOP
constexpr FieldDesc kStatusBlockSopFields[] = {
    {0, 8, kInternalTempValues, "Internal Temp"},
    {8, 1, {}, "Present Input (Reserved)"},
    {9, 1, {}, "Present Input (External Power when set)"},
    {10, 1, kExternalPowerKindValues, "Present Input (External Power AC/DC (Valid when Bit1 set))"},
    {11, 1, {}, "Present Input (Internal Power from Battery when set)"},
    {12, 1, {}, "Present Input (Internal Power from non-Battery power source when set)"},
    {13, 3, {}, "Present Input (Reserved)"},
    {16, 4, {}, "Present Battery Input (Fixed Battery)"},
    {20, 4, {}, "Present Battery Input (Hot Swappable Battery)"},
    {24, 1, {}, "Event Flags (Reserved)"},
    {25, 1, {}, "Event Flags (OCP event when set)"},
    {26, 1, {}, "Event Flags (OTP event when set)"},
    {27, 1, {}, "Event Flags (OVP event when set)"},
    {28, 1, {}, "Event Flags (CF mode when set, CV mode when cleared)"},
    {29, 3, {}, "Event Flags (Reserved)"},
    {32, 1, {}, "Temperature Status (Reserved)"},
    {33, 2, kTemperatureStatusTempStatusValues, "Temperature Status (Temp Status)"},
    {35, 5, {}, "Temperature Status (Reserved)"},
    {40, 1, {}, "Power Status (Reserved)"},
    {41, 1, {}, "Power Status (Source power limited due to cable supported current)"},
    {42,
     1,
     {},
     "Power Status (Source power limited due to insufficient power available while sourcing other "
     "ports)"},
    {43, 1, {}, "Power Status (Source power limited due to insufficient external power)"},
    {44,
     1,
     {},
     "Power Status (Source power limited due to Event Flags in place (Event Flags must also be "
     "set))"},
    {45, 1, {}, "Power Status (Source power limited due to temperature)"},
    {46, 2, {}, "Power Status (Reserved)"},
    {48, 3, kNewPowerStateValues, "Power Status Change (New Power State)"},
    {51, 3, kPowerStateIndicatorValues, "Power Status Change (New power state indicator)"},
    {54, 2, {}, "Power Status Change (Reserved)"},
};

// Status data block, SOP'/SOP''
constexpr FieldDesc kStatusBlockCableFields[] = {
    {0, 8, kInternalTempValues, "Internal Temp"},
    {8, 1, {}, "Flags (Thermal Shutdown"},
    {9, 7, {}, "Flags (Reserved)"},
};

// Get_Battery_Cap data block
constexpr FieldDesc kGetBatteryCapBlockFields[] = {
    {0, 8, {}, "Battery Cap Ref"},
};

// Get_Battery_Status data block
constexpr FieldDesc kGetBatteryStatusBlockFields[] = {
    {0, 8, {}, "Battery Status Ref"},
};

// Battery_Capabilities data block
constexpr FieldDesc kBatteryCapBlockFields[] = {
    {0, 16, {}, "VID"},
    {16, 16, {}, "PID"},
    {32, 16, kBatteryCapacityValues, "Battery Design Capacity"},
    {48, 16, kBatteryCapacityValues, "Battery Last Full Charge Capacity"},
    {64, 1, {}, "Battery Type (Invalid Battery reference)"},
    {65, 7, {}, "Battery Type (Reserved)"},
};

// Get_Manufacturer_Info data block
constexpr FieldDesc kGetManufacturerInfoBlockFields[] = {
    {0, 8, kManufacturerInfoTargetValues, "Manufacturer Info Target"},
    {8, 8, {}, "Manufacturer Info Ref"},
};

// Manufacturer_Info data block
constexpr FieldDesc kManufacturerInfoBlockFields[] = {
    {0, 16, {}, "VID"},
    {16, 16, {}, "PID"},
    {32, 184, {}, "Manufacturer String"},
};

// PPS_Status data block
constexpr FieldDesc kPpsStatusBlockFields[] = {
    {0, 16, kOutputVoltageValues, "Output Voltage"},
    {16, 8, kOutputCurrentValues, "Output Current"},
    {24, 8, {}, "Real Time Flags"},
};

// Country_Info data block
constexpr FieldDesc kCountryInfoBlockFields[] = {
    {0,
     8,
     {},
     "Country Code (First character of the Alpha-2 Country code received in the corresponding "
     "Get_Country_Info Message.)"},
    {8,
     8,
     {},
     "Country Code (Second character of the Alpha-2 Country code received in the corresponding "
     "Get_Country_Info Message.)"},
    {16, 16, {}, "Reserved"},
    {32, 2048, {}, "Country Specific Data"},
};

// Country_Codes data block
constexpr FieldDesc kCountryCodesBlockFields[] = {
    {0, 8, {}, "Length"},
    {8, 8, {}, "Reserved"},
    {16,
     8,
     {},
     "1st Contry Code (First character of the Alpha-2 Country code defined by [ISO 3166])"},
    {24,
     8,
     {},
     "1st Contry Code (Second character of the Alpha-2 Country code defined by [ISO 3166])"},
    {32,
     8,
     {},
     "2nd Contry Code (First character of the Alpha-2 Country code defined by [ISO 3166])"},
    {40,
     8,
     {},
     "2nd Contry Code (Second character of the Alpha-2 Country code defined by [ISO 3166])"},
    {48,
     8,
     {},
     "3rd Contry Code (First character of the Alpha-2 Country code defined by [ISO 3166])"},
    {56,
     8,
     {},
     "3rd Contry Code (Second character of the Alpha-2 Country code defined by [ISO 3166])"},
    {64,
     8,
     {},
     "4th Contry Code (First character of the Alpha-2 Country code defined by [ISO 3166])"},
    {72,
     8,
     {},
     "4th Contry Code (Second character of the Alpha-2 Country code defined by [ISO 3166])"},
    {80,
     8,
     {},
     "5th Contry Code (First character of the Alpha-2 Country code defined by [ISO 3166])"},
    {88,
     8,
     {},
     "5th Contry Code (Second character of the Alpha-2 Country code defined by [ISO 3166])"},
    {96,
     8,
     {},
     "6th Contry Code (First character of the Alpha-2 Country code defined by [ISO 3166])"},
    {104,
     8,
     {},
     "6th Contry Code (Second character of the Alpha-2 Country code defined by [ISO 3166])"},
    {112,
     8,
     {},
     "7th Contry Code (First character of the Alpha-2 Country code defined by [ISO 3166])"},
    {120,
     8,
     {},
     "7th Contry Code (Second character of the Alpha-2 Country code defined by [ISO 3166])"},
    {128,
     8,
     {},
     "8th Contry Code (First character of the Alpha-2 Country code defined by [ISO 3166])"},
    {136,
     8,
     {},
     "8th Contry Code (Second character of the Alpha-2 Country code defined by [ISO 3166])"},
    {144,
     8,
     {},
     "9th Contry Code (First character of the Alpha-2 Country code defined by [ISO 3166])"},
    {152,
     8,
     {},
     "9th Contry Code (Second character of the Alpha-2 Country code defined by [ISO 3166])"},
    {160,
     8,
     {},
     "10th Contry Code (First character of the Alpha-2 Country code defined by [ISO 3166])"},
    {168,
     8,
     {},
     "10th Contry Code (Second character of the Alpha-2 Country code defined by [ISO 3166])"},
    {176,
     8,
     {},
     "11th Contry Code (First character of the Alpha-2 Country code defined by [ISO 3166])"},
    {184,
     8,
     {},
     "11th Contry Code (Second character of the Alpha-2 Country code defined by [ISO 3166])"},
};

// Extended_Control data block
constexpr FieldDesc kExtendedControlBlockFields[] = {
    {0, 8, kTypeValues, "Type"},
    {8, 8, {}, "Data"},
};

}  // namespace

constinit const FieldTable ScedbBlock = kScedbBlockFields;
constinit const FieldTable SkedbBlock = kSkedbBlockFields;
constinit const FieldTable StatusBlockSop = kStatusBlockSopFields;
constinit const FieldTable StatusBlockCable = kStatusBlockCableFields;
constinit const FieldTable GetBatteryCapBlock = kGetBatteryCapBlockFields;
constinit const FieldTable GetBatteryStatusBlock = kGetBatteryStatusBlockFields;
constinit const FieldTable BatteryCapBlock = kBatteryCapBlockFields;
constinit const FieldTable GetManufacturerInfoBlock = kGetManufacturerInfoBlockFields;
constinit const FieldTable ManufacturerInfoBlock = kManufacturerInfoBlockFields;
constinit const FieldTable PpsStatusBlock = kPpsStatusBlockFields;
constinit const FieldTable CountryInfoBlock = kCountryInfoBlockFields;
constinit const FieldTable CountryCodesBlock = kCountryCodesBlockFields;
constinit const FieldTable ExtendedControlBlock = kExtendedControlBlockFields;
