// VDOs of a Discover Identity response: ID Header, Cert Stat, Product and product-type VDOs.
#include "pd/field_table_entries.h"
#include "pd/field_tables.h"

namespace {

constexpr ValueDesc kIdHeaderSopV1ProductTypeUFPValues[] = {
    ValueIs(0, "Undefined"),
    ValueIs(1, "PDUSB Hub"),
    ValueIs(2, "PDUSB Peripheral"),
    ValueIs(5, "Alternate Mode Adapter (AMA)"),
};

constexpr ValueDesc kIdConnectorTypeValues[] = {
    ValueIs(0, "Reserved, for compatibility with legacy systems"),
    ValueIs(2, "USB Type-C Receptacle"),
    ValueIs(3, "USB Type-C Plug"),
};

constexpr ValueDesc kDfpProductTypeValues[] = {
    ValueIs(0, "Not a DFP"),
    ValueIs(1, "PDUSB Hub"),
    ValueIs(2, "PDUSB Host"),
    ValueIs(3, "Power Brick"),
};

constexpr ValueDesc kIdHeaderSopV2ProductTypeUFPValues[] = {
    ValueIs(0, "Not a UFP"),
    ValueIs(1, "PDUSB Hub"),
    ValueIs(2, "PDUSB Peripheral"),
    ValueIs(3, "PSD"),
};

constexpr ValueDesc kIdHeaderCableV1ProductTypeCablePlugValues[] = {
    ValueIs(0, "Undefined"),
    ValueIs(3, "Passive Cable"),
    ValueIs(4, "Active Cable"),
};

constexpr ValueDesc kIdHeaderCableV2ProductTypeCablePlugValues[] = {
    ValueIs(0, "Not a Cable Plug/VPD"),
    ValueIs(3, "Passive Cable"),
    ValueIs(4, "Active Cable"),
    ValueIs(6, "VCONN-Powered USSB Device(VPD)"),
};

constexpr ValueDesc kUsbHighestSpeedValues[] = {
    ValueIs(0, "USB 2.0 only, no SuperSpeed support"),
    ValueIs(1, "USB 3.2 Gen1"),
    ValueIs(2, "USB 3.2 / USB4 Gen2"),
    ValueIs(3, "USB4 Gen3"),
    ValueIs(4, "USB4 Gen4"),
};

constexpr ValueDesc kVdoVersion13Values[] = {
    ValueIs(0, "Version 1.0"),
    ValueIs(1, "Version 1.1"),
    ValueIs(2, "Version 1.2"),
    ValueIs(3, "Version 1.3"),
};

constexpr ValueDesc kVdoConnectorTypeValues[] = {
    ValueIs(2, "USB Type-C Receptacle"),
    ValueIs(3, "USB Type-C Captive Plug"),
};

constexpr ValueDesc kVBUSRequiredValues[] = {
    ValueIs(0, "Yes"),
    ValueIs(1, "No"),
};

constexpr ValueDesc kNoYesValues[] = {
    ValueIs(0, "No"),
    ValueIs(1, "Yes"),
};

constexpr ValueDesc kVconnPowerValues[] = {
    ValueIs(0, "1W"), ValueIs(1, "1.5W"), ValueIs(2, "2W"), ValueIs(3, "3W"),
    ValueIs(4, "4W"), ValueIs(5, "5W"),   ValueIs(6, "6W"),
};

constexpr ValueDesc kVdoVersion12Values[] = {
    ValueIs(0, "Version 1.0"),
    ValueIs(1, "Version 1.1"),
    ValueIs(2, "Version 1.2"),
};

constexpr ValueDesc kAmaSpeedValues[] = {
    ValueIs(0, "USB 2.0 only"),
    ValueIs(1, "USB 3.2 Gen1 and USB 2.0"),
    ValueIs(2, "USB 3.2 Gen1, Gen2 and USB 2.0"),
    ValueIs(3, "USB 2.0 billboard only"),
};

constexpr ValueDesc kDirectionalityValues[] = {
    ValueIs(0, "Fixed"),
    ValueIs(1, "Configurable"),
};

constexpr ValueDesc kChargeThroughSupportValues[] = {
    ValueIs(0, "the VPD does not support Charge Through"),
    ValueIs(1, "the VPD supports Charge Through"),
};

constexpr ValueDesc kChargeThroughCurrentSupportValues[] = {
    ValueIs(0, "3A capable (Charge Through Support bit = 0b: Reserved, Shall be set to zero)"),
    ValueIs(1, "5A capable (Charge Through Support bit = 0b: Reserved, Shall be set to zero)"),
};

constexpr ValueDesc kMaxVbusVoltageValues[] = {
    ValueIs(0, "20V"),
    ValueIs(1, "30V (Deprecated)"),
    ValueIs(2, "40V (Deprecated)"),
    ValueIs(3, "50V"),
};

constexpr ValueDesc kCableSpeedV1Values[] = {
    ValueIs(0, "USB 2.0 only, no SuperSpeed support"),
    ValueIs(1, "USB 3.2 Gen1"),
    ValueIs(2, "USB 3.2 Gen1 and Gen2"),
};

constexpr ValueDesc kCableCurrentValues[] = {
    ValueIs(1, "3A"),
    ValueIs(2, "5A"),
};

constexpr ValueDesc kPassiveTerminationValues[] = {
    ValueIs(0, "VCONN not required"),
    ValueIs(1, "VCONN required"),
};

constexpr ValueDesc kPassiveLatencyValues[] = {
    ValueIs(1, "<10ns (-1m)"),        ValueIs(2, "10ns to 20ns (-2m)"),
    ValueIs(3, "20ns to 30ns (-3m)"), ValueIs(4, "30ns to 40ns (-4m)"),
    ValueIs(5, "40ns to 50ns (-5m)"), ValueIs(6, "50ns to 60ns (-6m)"),
    ValueIs(7, "60ns to 70ns (-7m)"), ValueIs(8, "> 70ns (>-7m)"),
};

constexpr ValueDesc kPlugTypeAbcValues[] = {
    ValueIs(0, "USB Type-A"),
    ValueIs(1, "USB Type-B"),
    ValueIs(2, "USB Type-C"),
    ValueIs(3, "Captive"),
};

constexpr ValueDesc kCableEprValues[] = {
    ValueIs(0, "Cable is not EPR Mode Capable"),
    ValueIs(1, "Cable is EPR Mode Capable"),
};

constexpr ValueDesc kPlugTypeCValues[] = {
    ValueIs(2, "USB Type-C"),
    ValueIs(3, "Captive"),
};

constexpr ValueDesc kActiveTerminationValues[] = {
    ValueIs(2, "One end Active, one end passive, VCONN required"),
    ValueIs(3, "Both ends Active, VCONN required"),
};

constexpr ValueDesc kActiveLatencyValues[] = {
    ValueIs(1, "<10ns (-1m)"),        ValueIs(2, "10ns to 20ns (-2m)"),
    ValueIs(3, "20ns to 30ns (-3m)"), ValueIs(4, "30ns to 40ns (-4m)"),
    ValueIs(5, "40ns to 50ns (-5m)"), ValueIs(6, "50ns to 60ns (-6m)"),
    ValueIs(7, "60ns to 70ns (-7m)"), ValueIs(8, "1000ns (-100m)"),
    ValueIs(9, "2000ns (-200m)"),     ValueIs(10, "3000ns (-300m)"),
};

constexpr ValueDesc kSBUTypeValues[] = {
    ValueIs(0, "SBU is passive"),
    ValueIs(1, "SBU is active"),
};

constexpr ValueDesc kUSBGenValues[] = {
    ValueIs(0, "Gen 1"),
    ValueIs(1, "Gen 2 or higher"),
};

constexpr ValueDesc kUSBLanesSupportedValues[] = {
    ValueIs(0, "One lane"),
    ValueIs(1, "Two lanes"),
};

constexpr ValueDesc kUSB32SupportedValues[] = {
    ValueIs(0, "USB 3.2 SuperSpeed supported"),
    ValueIs(1, "USB 3.2 SuperSpeed not supported"),
};

constexpr ValueDesc kUSB20SupportedValues[] = {
    ValueIs(0, "USB 2.0 supported"),
    ValueIs(1, "USB 2.0 not supported"),
};

constexpr ValueDesc kUSB4SupportedOrReservedValues[] = {
    ValueIs(0, "USB4 supported"),
    ValueIs(1, "USB4 not supported"),
};

constexpr ValueDesc kActiveElementOrReservedValues[] = {
    ValueIs(0, "Active Redriver"),
    ValueIs(1, "Active Retimer"),
};

constexpr ValueDesc kPhysicalConnectionOrReservedValues[] = {
    ValueIs(0, "Copper"),
    ValueIs(1, "Optical"),
};

constexpr ValueDesc kU3ToU0TransitionModeValues[] = {
    ValueIs(0, "U3 to U0 direct"),
    ValueIs(1, "U3 to U0 through U3S"),
};

constexpr ValueDesc kU3CLdPowerValues[] = {
    ValueIs(0, ">10mW"),      ValueIs(1, "5-10mW"),    ValueIs(2, "1-5mW"), ValueIs(3, "0.5-1mW"),
    ValueIs(4, ">0.2-0.5mW"), ValueIs(5, ">50-200uW"), ValueIs(6, "<50uW"),
};

// ID Header VDO, SOP, VDM version 1.0
constexpr FieldDesc kIdHeaderSopV1Fields[] = {
    {0, 16, {}, "USB Vendor ID"},
    {16, 10, {}, "Reserved"},
    {26, 1, {}, "Modal Operation Supported"},
    {27, 3, kIdHeaderSopV1ProductTypeUFPValues, "Product Type (UFP)"},
    {30, 1, {}, "USB Communications Capable as a USB Device"},
    {31, 1, {}, "USB Communications Capable as USB Host"},
};

// ID Header VDO, SOP, VDM version 2.x
constexpr FieldDesc kIdHeaderSopV2Fields[] = {
    {0, 16, {}, "USB Vendor ID"},
    {16, 5, {}, "Reserved"},
    {21, 2, kIdConnectorTypeValues, "Connector Type"},
    {23, 3, kDfpProductTypeValues, "Product Type (DFP)"},
    {26, 1, {}, "Modal Operation Supported"},
    {27, 3, kIdHeaderSopV2ProductTypeUFPValues, "Product Type (UFP)"},
    {30, 1, {}, "USB Communications Capable as a USB Device"},
    {31, 1, {}, "USB Communications Capable as USB Host"},
};

// ID Header VDO, SOP'/SOP'', VDM version 1.0
constexpr FieldDesc kIdHeaderCableV1Fields[] = {
    {0, 16, {}, "USB Vendor ID"},
    {16, 10, {}, "Reserved"},
    {26, 1, {}, "Modal Operation Supported"},
    {27, 3, kIdHeaderCableV1ProductTypeCablePlugValues, "Product Type (Cable Plug)"},
    {30, 1, {}, "USB Communications Capable as a USB Device"},
    {31, 1, {}, "USB Communications Capable as USB Host"},
};

// ID Header VDO, SOP'/SOP'', VDM version 2.x
constexpr FieldDesc kIdHeaderCableV2Fields[] = {
    {0, 16, {}, "USB Vendor ID"},
    {16, 5, {}, "Reserved"},
    {21, 2, kIdConnectorTypeValues, "Connector Type"},
    {23, 3, kDfpProductTypeValues, "Product Type (DFP)"},
    {26, 1, {}, "Modal Operation Supported"},
    {27, 3, kIdHeaderCableV2ProductTypeCablePlugValues, "Product Type (Cable Plug)"},
    {30, 1, {}, "USB Communications Capable as a USB Device"},
    {31, 1, {}, "USB Communications Capable as USB Host"},
};

// Cert Stat VDO
constexpr FieldDesc kCertStatVdoFields[] = {
    {0, 32, {}, "XID"},
};

// Product VDO
constexpr FieldDesc kProductVdoFields[] = {
    {0, 16, {}, "bcdDevice"},
    {16, 16, {}, "USB Product ID"},
};

// UFP VDO, UFP VDO version 0
constexpr FieldDesc kUfpVdoV0Fields[] = {
    {0, 3, kUsbHighestSpeedValues, "USB Highest Speed"},
    {3, 1, {}, "Alternate Modes (Supports TBT3 Alternate Mode)"},
    {4,
     1,
     {},
     "Alternate Modes (Supports Alternate Modes that reconfigure the signals on the USB Type-C "
     "connector except for TBT3)"},
    {5,
     1,
     {},
     "Alternate Modes (Supports Alternate Modes that do not reconfigure the signals on the USB "
     "Type-C connector)"},
    {6, 18, {}, "Reserved"},
    {24, 1, {}, "Device Capability (USB 2.0 Device Capable)"},
    {25, 1, {}, "Device Capability (USB 2.0 Device Capable (Billboard only))"},
    {26, 1, {}, "Device Capability (USB 3.2 Device Capable)"},
    {27, 1, {}, "Device Capability (USB4 Device Capable)"},
    {28, 1, {}, "Reserved"},
    {29, 3, kVdoVersion13Values, "UFP VDO Version"},
};

// UFP VDO, UFP VDO version 1 or 2
constexpr FieldDesc kUfpVdoV1Fields[] = {
    {0, 3, kUsbHighestSpeedValues, "USB Highest Speed"},
    {3, 1, {}, "Alternate Modes (Supports TBT3 Alternate Mode)"},
    {4,
     1,
     {},
     "Alternate Modes (Supports Alternate Modes that reconfigure the signals on the USB Type-C "
     "connector except for TBT3)"},
    {5,
     1,
     {},
     "Alternate Modes (Supports Alternate Modes that do not reconfigure the signals on the USB "
     "Type-C connector)"},
    {6, 16, {}, "Reserved"},
    {22, 2, kVdoConnectorTypeValues, "Connector Type"},
    {24, 1, {}, "Device Capability (USB 2.0 Device Capable)"},
    {25, 1, {}, "Device Capability (USB 2.0 Device Capable (Billboard only))"},
    {26, 1, {}, "Device Capability (USB 3.2 Device Capable)"},
    {27, 1, {}, "Device Capability (USB4 Device Capable)"},
    {28, 1, {}, "Reserved"},
    {29, 3, kVdoVersion13Values, "UFP VDO Version"},
};

// UFP VDO, UFP VDO version 3 or higher
constexpr FieldDesc kUfpVdoV3Fields[] = {
    {0, 3, kUsbHighestSpeedValues, "USB Highest Speed"},
    {3, 1, {}, "Alternate Modes (Supports TBT3 Alternate Mode)"},
    {4,
     1,
     {},
     "Alternate Modes (Supports Alternate Modes that reconfigure the signals on the USB Type-C "
     "connector except for TBT3)"},
    {5,
     1,
     {},
     "Alternate Modes (Supports Alternate Modes that do not reconfigure the signals on the USB "
     "Type-C connector)"},
    {6, 1, kVBUSRequiredValues, "VBUS Required"},
    {7, 1, kNoYesValues, "VCONN Required"},
    {8, 3, kVconnPowerValues, "VCONN Power"},
    {11, 11, {}, "Reserved"},
    {22, 2, {}, "Connector Type (Legacy)"},
    {24, 1, {}, "Device Capability (USB 2.0 Device Capable)"},
    {25, 1, {}, "Device Capability (USB 2.0 Device Capable (Billboard only))"},
    {26, 1, {}, "Device Capability (USB 3.2 Device Capable)"},
    {27, 1, {}, "Device Capability (USB4 Device Capable)"},
    {28, 1, {}, "Reserved"},
    {29, 3, kVdoVersion13Values, "UFP VDO Version"},
};

// Second UFP VDO word (USB3/USB4 power), UFP VDO version below 3
constexpr FieldDesc kUfpPowerVdoFields[] = {
    {0, 7, kUnits1W, "USB3 Max Power"},
    {7, 7, kUnits1W, "USB3 Min Power"},
    {14, 2, {}, "Reserved"},
    {16, 7, kUnits1W, "USB4 Max Power"},
    {23, 7, kUnits1W, "USB4 Min Power"},
    {30, 2, {}, "Reserved"},
};

// DFP VDO, DFP VDO version 0
constexpr FieldDesc kDfpVdoV0Fields[] = {
    {0, 5, {}, "Port Number"},
    {5, 19, {}, "Reserved"},
    {24, 1, {}, "Host Capability (USB2.0 Host Capable)"},
    {25, 1, {}, "Host Capability (USB3.2 Host Capable)"},
    {26, 1, {}, "Host Capability (USB4 Host Capable)"},
    {27, 2, {}, "Reserved"},
    {29, 3, kVdoVersion12Values, "DFP VDO Version"},
};

// DFP VDO, DFP VDO version 1
constexpr FieldDesc kDfpVdoV1Fields[] = {
    {0, 5, {}, "Port Number"},
    {5, 17, {}, "Reserved"},
    {22, 2, kVdoConnectorTypeValues, "Connector Type"},
    {24, 1, {}, "Host Capability (USB2.0 Host Capable)"},
    {25, 1, {}, "Host Capability (USB3.2 Host Capable)"},
    {26, 1, {}, "Host Capability (USB4 Host Capable)"},
    {27, 2, {}, "Reserved"},
    {29, 3, kVdoVersion12Values, "DFP VDO Version"},
};

// DFP VDO, DFP VDO version 2 or higher
constexpr FieldDesc kDfpVdoV2Fields[] = {
    {0, 5, {}, "Port Number"},
    {5, 17, {}, "Reserved"},
    {22, 2, {}, "Connector Type (Legacy)"},
    {24, 1, {}, "Host Capability (USB2.0 Host Capable)"},
    {25, 1, {}, "Host Capability (USB3.2 Host Capable)"},
    {26, 1, {}, "Host Capability (USB4 Host Capable)"},
    {27, 2, {}, "Reserved"},
    {29, 3, kVdoVersion12Values, "DFP VDO Version"},
};

// Alternate Mode Adapter VDO, VDM version 1.0
constexpr FieldDesc kAmaVdoV1Fields[] = {
    {0, 3, kAmaSpeedValues, "USB SuperSpeed Signaling Support"},
    {3, 1, {}, "VBUS required"},
    {4, 1, {}, "VCONN required"},
    {5, 3, kVconnPowerValues, "VCONN power"},
    {8, 1, kDirectionalityValues, "SSRX2 Directionality Support"},
    {9, 1, kDirectionalityValues, "SSRX1 Directionality Support"},
    {10, 1, kDirectionalityValues, "SSTX2 Directionality Support"},
    {11, 1, kDirectionalityValues, "SSTX1 Directionality Support"},
    {12, 12, {}, "Reserved"},
    {24, 4, {}, "Firmware Version"},
    {28, 4, {}, "HW Version"},
};

// Alternate Mode Adapter VDO, VDM version 2.x
constexpr FieldDesc kAmaVdoV2Fields[] = {
    {0, 3, kAmaSpeedValues, "USB Highest Speed"},
    {3, 1, {}, "VBUS required"},
    {4, 1, {}, "VCONN required"},
    {5, 3, kVconnPowerValues, "VCONN power"},
    {8, 13, {}, "Reserved"},
    {21, 3, kVdoVersion13Values, "VDO Version"},
    {24, 4, {}, "Firmware Version"},
    {28, 4, {}, "HW Version"},
};

// VCONN Powered USB Device VDO
constexpr FieldDesc kVpdVdoFields[] = {
    {0, 1, kChargeThroughSupportValues, "Charge Through Support"},
    {1, 6, {}, "Ground Impedance"},
    {7, 6, {}, "VBUS Impedance"},
    {13, 1, {}, "Reserved"},
    {14, 1, kChargeThroughCurrentSupportValues, "Charge Through Current Support"},
    {15, 2, kMaxVbusVoltageValues, "Maximum VBUS Voltage"},
    {17, 4, {}, "Reserved"},
    {21, 3, kVdoVersion13Values, "VDO Version"},
    {24, 4, {}, "Firmware Version"},
    {28, 4, {}, "HW Version"},
};

// Passive Cable VDO, VDM version 1.0
constexpr FieldDesc kPassiveCableVdoV1Fields[] = {
    {0, 3, kCableSpeedV1Values, "USB SuperSpeed Signaling Support"},
    {3, 1, {}, "Reserved"},
    {4, 1, {}, "VBUS through cable"},
    {5, 2, kCableCurrentValues, "VBUS Current Handling Capability"},
    {7, 1, kDirectionalityValues, "SSRX2 Directionality Support"},
    {8, 1, kDirectionalityValues, "SSRX1 Directionality Support"},
    {9, 1, kDirectionalityValues, "SSTX2 Directionality Support"},
    {10, 1, kDirectionalityValues, "SSTX1 Directionality Support"},
    {11, 2, kPassiveTerminationValues, "Cable Termination Type"},
    {13, 4, kPassiveLatencyValues, "Cable Latency"},
    {17, 1, {}, "Reserved"},
    {18, 2, kPlugTypeAbcValues, "USB Type-C plug to USB Type-A/B/C/Captive"},
    {20, 4, {}, "Reserved"},
    {24, 4, {}, "Firmware Version"},
    {28, 4, {}, "HW Version"},
};

// Passive Cable VDO, VDM version 2.x
constexpr FieldDesc kPassiveCableVdoV2Fields[] = {
    {0, 3, kUsbHighestSpeedValues, "USB Highest Speed"},
    {3, 2, {}, "Reserved"},
    {5, 2, kCableCurrentValues, "VBUS Current Handling Capability"},
    {7, 2, {}, "Reserved"},
    {9, 2, kMaxVbusVoltageValues, "Maximum VBUS Voltage"},
    {11, 2, kPassiveTerminationValues, "Cable Termination Type"},
    {13, 4, kPassiveLatencyValues, "Cable Latency"},
    {17, 1, kCableEprValues, "EPR Mode Capable"},
    {18, 2, kPlugTypeCValues, "USB Type-C plug to USB Type-C/Captive"},
    {20, 1, {}, "Reserved"},
    {21, 3, kVdoVersion13Values, "VDO Version"},
    {24, 4, {}, "Firmware Version"},
    {28, 4, {}, "HW Version"},
};

// Active Cable VDO, VDM version 1.0
constexpr FieldDesc kActiveCableVdoV1Fields[] = {
    {0, 3, kCableSpeedV1Values, "USB SuperSpeed Signaling Support"},
    {3, 1, {}, "SOP\u201D Controller Present"},
    {4, 1, {}, "VBUS Through Cable"},
    {5, 2, kCableCurrentValues, "VBUS Current Handling Capability"},
    {7, 1, kDirectionalityValues, "SSRX2 Directionality Support"},
    {8, 1, kDirectionalityValues, "SSRX1 Directionality Support"},
    {9, 1, kDirectionalityValues, "SSTX2 Directionality Support"},
    {10, 1, kDirectionalityValues, "SSTX1 Directionality Support"},
    {11, 2, kActiveTerminationValues, "Cable Termination Type"},
    {13, 4, kActiveLatencyValues, "Cable Latency"},
    {17, 1, {}, "Reserved"},
    {18, 2, kPlugTypeAbcValues, "USB Type-C plug to USB Type-A/B/C/Captive"},
    {20, 4, {}, "Reserved"},
    {24, 4, {}, "Firmware Version"},
    {28, 4, {}, "HW Version"},
};

// Active Cable VDO 1, VDM version 2.x
constexpr FieldDesc kActiveCableVdo1Fields[] = {
    {0, 3, kUsbHighestSpeedValues, "USB Highest Speed (or Reserved)"},
    {3, 1, {}, "SOP\" Controller Present"},
    {4, 1, {}, "VBUS Through Cable"},
    {5, 2, kCableCurrentValues, "VBUS Current Handling Capability"},
    {7, 1, kSBUTypeValues, "SBU Type"},
    {8, 1, {}, "SBU Supported"},
    {9, 2, kMaxVbusVoltageValues, "Maximum VBUS Voltage"},
    {11, 2, kActiveTerminationValues, "Cable Termination Type"},
    {13, 4, kActiveLatencyValues, "Cable Latency"},
    {17, 1, kCableEprValues, "EPR Mode Capable"},
    {18, 2, kPlugTypeCValues, "Connector Type"},
    {20, 1, {}, "Reserved"},
    {21, 3, kVdoVersion13Values, "VDO Version"},
    {24, 4, {}, "Firmware Version"},
    {28, 4, {}, "HW Version"},
};

// Active Cable VDO 2, VDM version 2.x
constexpr FieldDesc kActiveCableVdo2Fields[] = {
    {0, 1, kUSBGenValues, "USB Gen"},
    {1, 1, {}, "USB4 Asymmetric Mode Supported"},
    {2, 1, kNoYesValues, "Optically Isolated Active Cable (or Reserved)"},
    {3, 1, kUSBLanesSupportedValues, "USB Lanes Supported"},
    {4, 1, kUSB32SupportedValues, "USB 3.2 Supported"},
    {5, 1, kUSB20SupportedValues, "USB 2.0 Supported"},
    {6, 2, {}, "USB 2.0 Hub Hops Consumed"},
    {8, 1, kUSB4SupportedOrReservedValues, "USB4 Supported (or Reserved)"},
    {9, 1, kActiveElementOrReservedValues, "Active element (or Reserved)"},
    {10, 1, kPhysicalConnectionOrReservedValues, "Physical connection (or Reserved)"},
    {11, 1, kU3ToU0TransitionModeValues, "U3 to U0 transition mode"},
    {12, 3, kU3CLdPowerValues, "U3/CLd Power"},
    {15, 1, {}, "Reserved"},
    {16, 8, {}, "Shutdown Temperature"},
    {24, 8, {}, "Maximum Operating Temperature"},
};

}  // namespace

constinit const FieldTable IdHeaderSopV1 = kIdHeaderSopV1Fields;
constinit const FieldTable IdHeaderSopV2 = kIdHeaderSopV2Fields;
constinit const FieldTable IdHeaderCableV1 = kIdHeaderCableV1Fields;
constinit const FieldTable IdHeaderCableV2 = kIdHeaderCableV2Fields;
constinit const FieldTable CertStatVdo = kCertStatVdoFields;
constinit const FieldTable ProductVdo = kProductVdoFields;
constinit const FieldTable UfpVdoV0 = kUfpVdoV0Fields;
constinit const FieldTable UfpVdoV1 = kUfpVdoV1Fields;
constinit const FieldTable UfpVdoV3 = kUfpVdoV3Fields;
constinit const FieldTable UfpPowerVdo = kUfpPowerVdoFields;
constinit const FieldTable DfpVdoV0 = kDfpVdoV0Fields;
constinit const FieldTable DfpVdoV1 = kDfpVdoV1Fields;
constinit const FieldTable DfpVdoV2 = kDfpVdoV2Fields;
constinit const FieldTable AmaVdoV1 = kAmaVdoV1Fields;
constinit const FieldTable AmaVdoV2 = kAmaVdoV2Fields;
constinit const FieldTable VpdVdo = kVpdVdoFields;
constinit const FieldTable PassiveCableVdoV1 = kPassiveCableVdoV1Fields;
constinit const FieldTable PassiveCableVdoV2 = kPassiveCableVdoV2Fields;
constinit const FieldTable ActiveCableVdoV1 = kActiveCableVdoV1Fields;
constinit const FieldTable ActiveCableVdo1 = kActiveCableVdo1Fields;
constinit const FieldTable ActiveCableVdo2 = kActiveCableVdo2Fields;
