// Power Data Object and Request Data Object tables.
#include "pd/field_table_entries.h"
#include "pd/field_tables.h"

namespace {

constexpr ValueDesc kUnits10mA[] = {
    Always("%d [mA]", 10),
};

constexpr ValueDesc kUnits50mV[] = {
    Always("%d [mV]", 50),
};

constexpr ValueDesc kSupplyTypeV2Values[] = {
    ValueIs(0, "Fixed supply (Vmin=Vmax)"),
    ValueIs(1, "Battery"),
    ValueIs(2, "Variable Supply (non-Battery)"),
};

constexpr ValueDesc kSupplyTypeValues[] = {
    ValueIs(0, "Fixed supply (Vmin=Vmax)"),
    ValueIs(1, "Battery"),
    ValueIs(2, "Variable Supply (non-Battery)"),
    ValueIs(3, "Augmented Power Data Object (APDO)"),
};

constexpr ValueDesc kUnits250mW[] = {
    Always("%d [mW]", 250),
};

constexpr ValueDesc kUnits50mA[] = {
    Always("%d [mA]", 50),
};

constexpr ValueDesc kUnits100mV[] = {
    Always("%d [mV]", 100),
};

constexpr ValueDesc kApdoTypeValues[] = {
    ValueIs(0, "SPR Programmable Power Supply"),
    ValueIs(1, "EPR Adjustable Voltage Supply"),
};

constexpr ValueDesc kFastRoleSwapCurrentValues[] = {
    ValueIs(0, "Fast Swap not supported"),
    ValueIs(1, "Default USB Power"),
    ValueIs(2, "1.5A @ 5V"),
    ValueIs(3, "3.0A @ 5V"),
};

constexpr ValueDesc kUnits20mV[] = {
    Always("%d [mV]", 20),
};

constexpr ValueDesc kUnits25mV[] = {
    Always("%d [mV]", 25),
};

// Source Fixed Supply PDO, revision 1.0/2.0
constexpr FieldDesc kSrcFixedPdoV2Fields[] = {
    {0, 10, kUnits10mA, "Maximum Current in 10mA units"},
    {10, 10, kUnits50mV, "Voltage in 50mV units"},
    {20, 2, {}, "Peak Current"},
    {22, 3, {}, "Reserved"},
    {25, 1, {}, "Dual-Role Data"},
    {26, 1, {}, "USB Communications Capable"},
    {27, 1, {}, "Unconstrained Powered"},
    {28, 1, {}, "USB Suspend Supported"},
    {29, 1, {}, "Dual-Role Power"},
    {30, 2, kSupplyTypeV2Values, "Fixed supply"},
};

// Source Fixed Supply PDO, revision 3.0
constexpr FieldDesc kSrcFixedPdoV3Fields[] = {
    {0, 10, kUnits10mA, "Maximum Current in 10mA units"},
    {10, 10, kUnits50mV, "Voltage in 50mV units"},
    {20, 2, {}, "Peak Current"},
    {22, 1, {}, "Reserved"},
    {23, 1, {}, "EPR Mode Capable"},
    {24, 1, {}, "Unchunked Extended Messages Supported"},
    {25, 1, {}, "Dual-Role Data"},
    {26, 1, {}, "USB Communications Capable"},
    {27, 1, {}, "Unconstrained Powered"},
    {28, 1, {}, "USB Suspend Supported"},
    {29, 1, {}, "Dual-Role Power"},
    {30, 2, kSupplyTypeValues, "Fixed supply"},
};

// Source Battery PDO
constexpr FieldDesc kSrcBatteryPdoFields[] = {
    {0, 10, kUnits250mW, "Maximum Allowable Power in 250mW units"},
    {10, 10, kUnits50mV, "Minimum Voltage in 50mV units"},
    {20, 10, kUnits50mV, "Maximum Voltage in 50mV units"},
    {30, 2, kSupplyTypeValues, "Battery"},
};

// Source Variable Supply PDO
constexpr FieldDesc kSrcVariablePdoFields[] = {
    {0, 10, kUnits10mA, "Maximum Current in 10mA units"},
    {10, 10, kUnits50mV, "Minimum Voltage in 50mV units"},
    {20, 10, kUnits50mV, "Maximum Voltage in 50mV units"},
    {30, 2, kSupplyTypeValues, "Variable Supply (non-Battery)"},
};

// Source APDO, SPR Programmable Power Supply
constexpr FieldDesc kSrcPpsApdoFields[] = {
    {0, 7, kUnits50mA, "Maximum Current in 50mA increments"},
    {7, 1, {}, "Reserved"},
    {8, 8, kUnits100mV, "Minimum Voltage in 100mV increments"},
    {16, 1, {}, "Reserved"},
    {17, 8, kUnits100mV, "Maximum Voltage in 100mV increments"},
    {25, 2, {}, "Reserved"},
    {27, 1, {}, "PPS Power Limited"},
    {28, 2, kApdoTypeValues, "SPR Programmable Power Supply"},
    {30, 2, kSupplyTypeValues, "Augmented Power Data Object (APDO)"},
};

// Source APDO, EPR Adjustable Voltage Supply
constexpr FieldDesc kSrcAvsApdoFields[] = {
    {0, 8, kUnits1W, "PDP in 1W increments"},
    {8, 8, kUnits100mV, "Minimum Voltage in 100mV increments"},
    {16, 1, {}, "Reserved"},
    {17, 9, kUnits100mV, "Maximum Voltage in 100mV increments"},
    {26, 2, {}, "Peak Current"},
    {28, 2, kApdoTypeValues, "EPR Adjustable Voltage Supply"},
    {30, 2, kSupplyTypeValues, "Augmented Power Data Object (APDO)"},
};

// Source APDO, other kinds
constexpr FieldDesc kSrcOtherApdoFields[] = {
    {0, 28, {}, "Reserved"},
    {28, 2, kApdoTypeValues, "Unknown APDO"},
    {30, 2, kSupplyTypeValues, "Augmented Power Data Object (APDO)"},
};

// Sink Fixed Supply PDO, revision 1.0/2.0
constexpr FieldDesc kSnkFixedPdoV2Fields[] = {
    {0, 10, kUnits10mA, "Operational Current in 10mA units"},
    {10, 10, kUnits50mV, "Voltage in 50mV units"},
    {20, 5, {}, "Reserved"},
    {25, 1, {}, "Dual-Role Data"},
    {26, 1, {}, "USB Communications Capable"},
    {27, 1, {}, "Unconstrained Powered"},
    {28, 1, {}, "Higher Capability"},
    {29, 1, {}, "Dual-Role Power"},
    {30, 2, kSupplyTypeV2Values, "Fixed supply"},
};

// Sink Fixed Supply PDO, revision 3.0
constexpr FieldDesc kSnkFixedPdoV3Fields[] = {
    {0, 10, kUnits10mA, "Operational Current in 10mA units"},
    {10, 10, kUnits50mV, "Voltage in 50mV units"},
    {20, 3, {}, "Reserved"},
    {23, 2, kFastRoleSwapCurrentValues, "Fast Role Swap required USB Type-C Current"},
    {25, 1, {}, "Dual-Role Data"},
    {26, 1, {}, "USB Communications Capable"},
    {27, 1, {}, "Unconstrained Powered"},
    {28, 1, {}, "Higher Capability"},
    {29, 1, {}, "Dual-Role Power"},
    {30, 2, kSupplyTypeValues, "Fixed supply"},
};

// Sink Battery PDO
constexpr FieldDesc kSnkBatteryPdoFields[] = {
    {0, 10, kUnits250mW, "Operational Power in 250mW units"},
    {10, 10, kUnits50mV, "Minimum Voltage in 50mV units"},
    {20, 10, kUnits50mV, "Maximum Voltage in 50mV units"},
    {30, 2, kSupplyTypeValues, "Battery"},
};

// Sink Variable Supply PDO
constexpr FieldDesc kSnkVariablePdoFields[] = {
    {0, 10, kUnits10mA, "Operational Current in 10mA units"},
    {10, 10, kUnits50mV, "Minimum Voltage in 50mV units"},
    {20, 10, kUnits50mV, "Maximum Voltage in 50mV units"},
    {30, 2, kSupplyTypeValues, "Variable Supply (non-Battery)"},
};

// Sink APDO, SPR Programmable Power Supply
constexpr FieldDesc kSnkPpsApdoFields[] = {
    {0, 7, kUnits50mA, "Maximum Current in 50mA increments"},
    {7, 1, {}, "Reserved"},
    {8, 8, kUnits100mV, "Minimum Voltage in 100mV increments"},
    {16, 1, {}, "Reserved"},
    {17, 8, kUnits100mV, "Maximum Voltage in 100mV increments"},
    {25, 3, {}, "Reserved"},
    {28, 2, kApdoTypeValues, "SPR Programmable Power Supply"},
    {30, 2, kSupplyTypeValues, "Augmented Power Data Object (APDO)"},
};

// Sink APDO, EPR Adjustable Voltage Supply
constexpr FieldDesc kSnkAvsApdoFields[] = {
    {0, 8, kUnits1W, "PDP in 1W increments"},
    {8, 8, kUnits100mV, "Minimum Voltage in 100mV increments"},
    {16, 1, {}, "Reserved"},
    {17, 9, kUnits100mV, "Maximum Voltage in 100mV increments"},
    {26, 2, {}, "Reserved"},
    {28, 2, kApdoTypeValues, "EPR Adjustable Voltage Supply"},
    {30, 2, kSupplyTypeValues, "Augmented Power Data Object (APDO)"},
};

// Sink APDO, other kinds
constexpr FieldDesc kSnkOtherApdoFields[] = {
    {0, 28, {}, "Reserved"},
    {28, 2, kApdoTypeValues, "Unknown APDO"},
    {30, 2, kSupplyTypeValues, "Augmented Power Data Object (APDO)"},
};

// Fixed/Variable RDO, GiveBack clear, revision 1.0/2.0
constexpr FieldDesc kFixedRdoV2Fields[] = {
    {0, 10, kUnits10mA, "Maximum Operating Current 10mA units"},
    {10, 10, kUnits10mA, "Operating current in 10mA units"},
    {20, 4, {}, "Reserved"},
    {24, 1, {}, "No USB Suspend"},
    {25, 1, {}, "USB Communications Capable"},
    {26, 1, {}, "Capability Mismatch"},
    {27, 1, {}, "GiveBack flag=0"},
    {28, 3, {}, "Object position"},
    {31, 1, {}, "Reserved"},
};

// Fixed/Variable RDO, GiveBack clear, revision 3.0
constexpr FieldDesc kFixedRdoV3Fields[] = {
    {0, 10, kUnits10mA, "Maximum Operating Current 10mA units"},
    {10, 10, kUnits10mA, "Operating current in 10mA units"},
    {20, 2, {}, "Reserved"},
    {22, 1, {}, "EPR Mode Capable"},
    {23, 1, {}, "Unchunked Extended Messages Supported"},
    {24, 1, {}, "No USB Suspend"},
    {25, 1, {}, "USB Communications Capable"},
    {26, 1, {}, "Capability Mismatch"},
    {27, 1, {}, "GiveBack flag=0"},
    {28, 4, {}, "Object position"},
};

// Fixed/Variable RDO, GiveBack set, revision 1.0/2.0
constexpr FieldDesc kFixedRdoGiveBackV2Fields[] = {
    {0, 10, kUnits10mA, "Minimum Operating Current 10mA units"},
    {10, 10, kUnits10mA, "Operating current in 10mA units"},
    {20, 4, {}, "Reserved"},
    {24, 1, {}, "No USB Suspend"},
    {25, 1, {}, "USB Communications Capable"},
    {26, 1, {}, "Capability Mismatch"},
    {27, 1, {}, "GiveBack flag=1"},
    {28, 3, {}, "Object position"},
    {31, 1, {}, "Reserved"},
};

// Fixed/Variable RDO, GiveBack set, revision 3.0
constexpr FieldDesc kFixedRdoGiveBackV3Fields[] = {
    {0, 10, kUnits10mA, "Minimum Operating Current 10mA units"},
    {10, 10, kUnits10mA, "Operating current in 10mA units"},
    {20, 2, {}, "Reserved"},
    {22, 1, {}, "EPR Mode Capable"},
    {23, 1, {}, "Unchunked Extended Messages Supported"},
    {24, 1, {}, "No USB Suspend"},
    {25, 1, {}, "USB Communications Capable"},
    {26, 1, {}, "Capability Mismatch"},
    {27, 1, {}, "GiveBack flag=1"},
    {28, 4, {}, "Object position"},
};

// Battery RDO, GiveBack clear, revision 1.0/2.0
constexpr FieldDesc kBatteryRdoV2Fields[] = {
    {0, 10, kUnits250mW, "Maximum Operating Power in 250mW units"},
    {10, 10, kUnits250mW, "Operating Power in 250mW units"},
    {20, 4, {}, "Reserved"},
    {24, 1, {}, "No USB Suspend"},
    {25, 1, {}, "USB Communications Capable"},
    {26, 1, {}, "Capability Mismatch"},
    {27, 1, {}, "GiveBack flag=0"},
    {28, 3, {}, "Object position"},
    {31, 1, {}, "Reserved"},
};

// Battery RDO, GiveBack clear, revision 3.0
constexpr FieldDesc kBatteryRdoV3Fields[] = {
    {0, 10, kUnits250mW, "Maximum Operating Power in 250mW units"},
    {10, 10, kUnits250mW, "Operating Power in 250mW units"},
    {20, 2, {}, "Reserved"},
    {22, 1, {}, "EPR Mode Capable"},
    {23, 1, {}, "Unchunked Extended Messages Supported"},
    {24, 1, {}, "No USB Suspend"},
    {25, 1, {}, "USB Communications Capable"},
    {26, 1, {}, "Capability Mismatch"},
    {27, 1, {}, "GiveBack flag=0"},
    {28, 4, {}, "Object position"},
};

// Battery RDO, GiveBack set, revision 1.0/2.0
constexpr FieldDesc kBatteryRdoGiveBackV2Fields[] = {
    {0, 10, kUnits250mW, "Minimum Operating Power in 250mW units"},
    {10, 10, kUnits250mW, "Operating Power in 250mW units"},
    {20, 4, {}, "Reserved"},
    {24, 1, {}, "No USB Suspend"},
    {25, 1, {}, "USB Communications Capable"},
    {26, 1, {}, "Capability Mismatch"},
    {27, 1, {}, "GiveBack flag=1"},
    {28, 3, {}, "Object position"},
    {31, 1, {}, "Reserved"},
};

// Battery RDO, GiveBack set, revision 3.0
constexpr FieldDesc kBatteryRdoGiveBackV3Fields[] = {
    {0, 10, kUnits250mW, "Minimum Operating Power in 250mW units"},
    {10, 10, kUnits250mW, "Operating Power in 250mW units"},
    {20, 2, {}, "Reserved"},
    {22, 1, {}, "EPR Mode Capable"},
    {23, 1, {}, "Unchunked Extended Messages Supported"},
    {24, 1, {}, "No USB Suspend"},
    {25, 1, {}, "USB Communications Capable"},
    {26, 1, {}, "Capability Mismatch"},
    {27, 1, {}, "GiveBack flag=1"},
    {28, 4, {}, "Object position"},
};

// PPS RDO
constexpr FieldDesc kPpsRdoFields[] = {
    {0, 7, kUnits50mA, "Operating Current 50mA units"},
    {7, 2, {}, "Reserved"},
    {9, 11, kUnits20mV, "Output Voltage in 20mV units"},
    {20, 2, {}, "Reserved"},
    {22, 1, {}, "EPR Mode Capable"},
    {23, 1, {}, "Unchunked Extended Messages Supported"},
    {24, 1, {}, "No USB Suspend"},
    {25, 1, {}, "USB Communications Capable"},
    {26, 1, {}, "Capability Mismatch"},
    {27, 1, {}, "Reserved"},
    {28, 4, {}, "Object position"},
};

// AVS RDO
constexpr FieldDesc kAvsRdoFields[] = {
    {0, 7, kUnits50mA, "Operating Current 50mA units"},
    {7, 2, {}, "Reserved"},
    {9, 12, kUnits25mV, "Output Voltage in 25mV units"},
    {21, 1, {}, "Reserved"},
    {22, 1, {}, "EPR Mode Capable"},
    {23, 1, {}, "Unchunked Extended Messages Supported"},
    {24, 1, {}, "No USB Suspend"},
    {25, 1, {}, "USB Communications Capable"},
    {26, 1, {}, "Capability Mismatch"},
    {27, 1, {}, "Reserved"},
    {28, 4, {}, "Object position"},
};

// RDO for other APDO kinds
constexpr FieldDesc kOtherApdoRdoFields[] = {
    {0, 28, {}, "Reserved"},
    {28, 3, {}, "Object position"},
    {31, 1, {}, "Reserved"},
};

// EPR_Request with fewer than two data objects
constexpr FieldDesc kEprRequestShortFields[] = {
    {0, 32, {}, "RDO"},
    {32, 32, {}, "Copy of PDO"},
};

}  // namespace

constinit const FieldTable SrcFixedPdoV2 = kSrcFixedPdoV2Fields;
constinit const FieldTable SrcFixedPdoV3 = kSrcFixedPdoV3Fields;
constinit const FieldTable SrcBatteryPdo = kSrcBatteryPdoFields;
constinit const FieldTable SrcVariablePdo = kSrcVariablePdoFields;
constinit const FieldTable SrcPpsApdo = kSrcPpsApdoFields;
constinit const FieldTable SrcAvsApdo = kSrcAvsApdoFields;
constinit const FieldTable SrcOtherApdo = kSrcOtherApdoFields;
constinit const FieldTable SnkFixedPdoV2 = kSnkFixedPdoV2Fields;
constinit const FieldTable SnkFixedPdoV3 = kSnkFixedPdoV3Fields;
constinit const FieldTable SnkBatteryPdo = kSnkBatteryPdoFields;
constinit const FieldTable SnkVariablePdo = kSnkVariablePdoFields;
constinit const FieldTable SnkPpsApdo = kSnkPpsApdoFields;
constinit const FieldTable SnkAvsApdo = kSnkAvsApdoFields;
constinit const FieldTable SnkOtherApdo = kSnkOtherApdoFields;
constinit const FieldTable FixedRdoV2 = kFixedRdoV2Fields;
constinit const FieldTable FixedRdoV3 = kFixedRdoV3Fields;
constinit const FieldTable FixedRdoGiveBackV2 = kFixedRdoGiveBackV2Fields;
constinit const FieldTable FixedRdoGiveBackV3 = kFixedRdoGiveBackV3Fields;
constinit const FieldTable BatteryRdoV2 = kBatteryRdoV2Fields;
constinit const FieldTable BatteryRdoV3 = kBatteryRdoV3Fields;
constinit const FieldTable BatteryRdoGiveBackV2 = kBatteryRdoGiveBackV2Fields;
constinit const FieldTable BatteryRdoGiveBackV3 = kBatteryRdoGiveBackV3Fields;
constinit const FieldTable PpsRdo = kPpsRdoFields;
constinit const FieldTable AvsRdo = kAvsRdoFields;
constinit const FieldTable OtherApdoRdo = kOtherApdoRdoFields;
constinit const FieldTable EprRequestShort = kEprRequestShortFields;
