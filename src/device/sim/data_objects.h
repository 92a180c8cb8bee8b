// Encoders of the 32-bit data objects and the extended data blocks that the synthesizer sends.
// Values are given in natural units (mV, mA, mW, W) and rounded down to the field's unit.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "pd/vdm_constants.h"

// Flag bits of Fixed supply PDOs, ORed into the `flags` argument.
inline constexpr uint32_t kPdoEprCapable = 1u << 23;          // source
inline constexpr uint32_t kPdoUnchunkedSupported = 1u << 24;  // source
inline constexpr uint32_t kPdoDualRoleData = 1u << 25;
inline constexpr uint32_t kPdoUsbCommunications = 1u << 26;
inline constexpr uint32_t kPdoUnconstrainedPower = 1u << 27;
inline constexpr uint32_t kPdoUsbSuspend = 1u << 28;        // source
inline constexpr uint32_t kPdoHigherCapability = 1u << 28;  // sink
inline constexpr uint32_t kPdoDualRolePower = 1u << 29;

// Flag bits of Request Data Objects.
inline constexpr uint32_t kRdoEprCapable = 1u << 22;
inline constexpr uint32_t kRdoUnchunkedSupported = 1u << 23;
inline constexpr uint32_t kRdoNoUsbSuspend = 1u << 24;
inline constexpr uint32_t kRdoUsbCommunications = 1u << 25;
inline constexpr uint32_t kRdoCapabilityMismatch = 1u << 26;
inline constexpr uint32_t kRdoGiveBack = 1u << 27;

// Power Data Objects.
uint32_t FixedSourcePdo(int millivolts, int milliamps, int peakCurrent, uint32_t flags);
uint32_t FixedSinkPdo(int millivolts, int milliamps, int fastSwapCurrent, uint32_t flags);
uint32_t BatteryPdo(int minMillivolts, int maxMillivolts, int milliwatts);
uint32_t VariablePdo(int minMillivolts, int maxMillivolts, int milliamps);
uint32_t PpsApdo(int minMillivolts, int maxMillivolts, int milliamps, bool powerLimited);
uint32_t AvsApdo(int minMillivolts, int maxMillivolts, int pdpWatts, int peakCurrent);

// Request Data Objects; `position` is the 1-based object position of the requested PDO.
uint32_t FixedRequest(int position, int operatingMilliamps, int limitMilliamps, uint32_t flags);
uint32_t BatteryRequest(int position, int operatingMilliwatts, int limitMilliwatts, uint32_t flags);
uint32_t PpsRequest(int position, int millivolts, int milliamps, uint32_t flags);
uint32_t AvsRequest(int position, int millivolts, int milliamps, uint32_t flags);

// Vendor defined message headers and objects.
uint32_t StructuredVdmHeader(uint16_t svid, int command, int commandType, int objectPosition,
                             int versionMajor, int versionMinor);
uint32_t UnstructuredVdmHeader(uint16_t vendorId, uint16_t vendorData);
// ID Header VDO; product types are the 3-bit codes of the UFP/cable and DFP fields.
uint32_t IdHeaderVdo(uint16_t vendorId, int ufpOrCableType, int dfpType, bool modal, bool usbDevice,
                     bool usbHost, int connectorType);
uint32_t ProductVdo(uint16_t productId, uint16_t bcdDevice);
uint32_t PassiveCableVdo(int hwVersion, int fwVersion, int plugType, bool epr, int latency,
                         int termination, int maxVbus, int vbusCurrent, int speed);
uint32_t ActiveCableVdo1(int hwVersion, int fwVersion, int plugType, bool epr, int latency,
                         int termination, int maxVbus, int vbusCurrent, bool sopDoublePrime,
                         int speed);
uint32_t ActiveCableVdo2(int maxTemperature, int shutdownTemperature, bool optical, bool retimer,
                         bool twoLanes, bool usb4);
uint32_t UfpVdo(int version, int deviceCapability, int connectorType, int alternateModes,
                int speed);
uint32_t DfpVdo(int version, int hostCapability, int connectorType, int portNumber);
uint32_t AlternateModeAdapterVdo(int hwVersion, int fwVersion, int vconnPower, bool vconnRequired,
                                 bool vbusRequired, int speed);
uint32_t DpCapabilitiesVdo(int portCapability, int signaling, bool receptacle,
                           int dfpPinAssignments, int ufpPinAssignments);
uint32_t DpStatusVdo(int connected, bool enabled, bool hpdHigh, bool irqHpd);
uint32_t DpConfigureVdo(int select, int signaling, int pinAssignment);

// Other data objects.
uint32_t BistDataObject(int mode, uint16_t data);
uint32_t BatteryStatusDataObject(int capacityTenthWh, bool present, int chargingStatus);
uint32_t AlertDataObject(uint32_t typeBits, int fixedBatteries, int hotSwapBatteries,
                         int extendedEvent);
uint32_t CountryCodeDataObject(std::string_view alpha2);
uint32_t EnterUsbDataObject(int usbMode, bool usb4Drd, bool usb3Drd, int cableSpeed, int cableType,
                            int cableCurrent, uint32_t tunnelFlags);
uint32_t EprModeDataObject(int action, int data);
uint32_t SourceInfoDataObject(bool guaranteed, int maxPdp, int presentPdp, int reportedPdp);
uint32_t RevisionDataObject(int revisionMajor, int revisionMinor, int versionMajor,
                            int versionMinor);

// Extended data blocks.
std::vector<uint8_t> SourceCapsExtendedBlock(uint16_t vendorId, uint16_t productId, int sprPdpWatts,
                                             int eprPdpWatts);
std::vector<uint8_t> SinkCapsExtendedBlock(uint16_t vendorId, uint16_t productId, int minPdp,
                                           int operationalPdp, int maxPdp, int eprMinPdp,
                                           int eprOperationalPdp, int eprMaxPdp);
std::vector<uint8_t> StatusBlock(int temperature, int presentInput, int eventFlags);
std::vector<uint8_t> PpsStatusBlock(int millivolts, int milliamps, int flags);
std::vector<uint8_t> BatteryCapabilitiesBlock(uint16_t vendorId, uint16_t productId,
                                              int designTenthWh, int lastFullTenthWh);
std::vector<uint8_t> ManufacturerInfoBlock(uint16_t vendorId, uint16_t productId,
                                           std::string_view text);
std::vector<uint8_t> CountryCodesBlock(std::string_view alpha2Codes);
std::vector<uint8_t> CountryInfoBlock(std::string_view alpha2, std::string_view data);
std::vector<uint8_t> ExtendedControlBlock(int type, int data);
// PDOs as the little-endian block of EPR_Source_Capabilities / EPR_Sink_Capabilities.
std::vector<uint8_t> PdoBlock(const std::vector<uint32_t>& pdos);
