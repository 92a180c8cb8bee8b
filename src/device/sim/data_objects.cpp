#include "device/sim/data_objects.h"

#include <algorithm>

#include "device/sim/message_builder.h"

namespace {

// Places `value` in `width` bits from bit `low`; out-of-range values are cut to the field.
constexpr uint32_t Field(int64_t value, int low, int width) {
    uint64_t mask = (uint64_t{1} << width) - 1;
    return static_cast<uint32_t>((static_cast<uint64_t>(value) & mask) << low);
}

constexpr uint32_t Flag(bool set, int bit) {
    return set ? (1u << bit) : 0u;
}

// Object position and the flag bits 22-27.
uint32_t Rdo(int position, uint32_t flags) {
    return Field(position, 28, 4) | (flags & 0x0FC00000u);
}

void AppendPadded(std::vector<uint8_t>& out, std::string_view text, size_t size) {
    for (size_t i = 0; i < size; ++i) {
        out.push_back(i < text.size() ? static_cast<uint8_t>(text[i]) : 0);
    }
}

}  // namespace

uint32_t FixedSourcePdo(int millivolts, int milliamps, int peakCurrent, uint32_t flags) {
    return Field(milliamps / 10, 0, 10) | Field(millivolts / 50, 10, 10) |
           Field(peakCurrent, 20, 2) | (flags & 0x3F800000u);
}

uint32_t FixedSinkPdo(int millivolts, int milliamps, int fastSwapCurrent, uint32_t flags) {
    return Field(milliamps / 10, 0, 10) | Field(millivolts / 50, 10, 10) |
           Field(fastSwapCurrent, 23, 2) | (flags & 0x3E000000u);
}

uint32_t BatteryPdo(int minMillivolts, int maxMillivolts, int milliwatts) {
    return Field(milliwatts / 250, 0, 10) | Field(minMillivolts / 50, 10, 10) |
           Field(maxMillivolts / 50, 20, 10) | Field(1, 30, 2);
}

uint32_t VariablePdo(int minMillivolts, int maxMillivolts, int milliamps) {
    return Field(milliamps / 10, 0, 10) | Field(minMillivolts / 50, 10, 10) |
           Field(maxMillivolts / 50, 20, 10) | Field(2, 30, 2);
}

uint32_t PpsApdo(int minMillivolts, int maxMillivolts, int milliamps, bool powerLimited) {
    return Field(milliamps / 50, 0, 7) | Field(minMillivolts / 100, 8, 8) |
           Field(maxMillivolts / 100, 17, 8) | Flag(powerLimited, 27) | Field(0, 28, 2) |
           Field(3, 30, 2);
}

uint32_t AvsApdo(int minMillivolts, int maxMillivolts, int pdpWatts, int peakCurrent) {
    return Field(pdpWatts, 0, 8) | Field(minMillivolts / 100, 8, 8) |
           Field(maxMillivolts / 100, 17, 9) | Field(peakCurrent, 26, 2) | Field(1, 28, 2) |
           Field(3, 30, 2);
}

uint32_t FixedRequest(int position, int operatingMilliamps, int limitMilliamps, uint32_t flags) {
    return Field(limitMilliamps / 10, 0, 10) | Field(operatingMilliamps / 10, 10, 10) |
           Rdo(position, flags);
}

uint32_t BatteryRequest(int position, int operatingMilliwatts, int limitMilliwatts,
                        uint32_t flags) {
    return Field(limitMilliwatts / 250, 0, 10) | Field(operatingMilliwatts / 250, 10, 10) |
           Rdo(position, flags);
}

uint32_t PpsRequest(int position, int millivolts, int milliamps, uint32_t flags) {
    return Field(milliamps / 50, 0, 7) | Field(millivolts / 20, 9, 11) |
           Rdo(position, flags & ~kRdoGiveBack);
}

uint32_t AvsRequest(int position, int millivolts, int milliamps, uint32_t flags) {
    // The output voltage moves in 100 mV steps: the two low bits of the 25 mV field stay 0.
    return Field(milliamps / 50, 0, 7) | Field(millivolts / 100 * 4, 9, 12) |
           Rdo(position, flags & ~kRdoGiveBack);
}

uint32_t StructuredVdmHeader(uint16_t svid, int command, int commandType, int objectPosition,
                             int versionMajor, int versionMinor) {
    return Field(command, 0, 5) | Field(commandType, 6, 2) | Field(objectPosition, 8, 3) |
           Field(versionMinor, 11, 2) | Field(versionMajor, 13, 2) | Flag(true, 15) |
           Field(svid, 16, 16);
}

uint32_t UnstructuredVdmHeader(uint16_t vendorId, uint16_t vendorData) {
    return Field(vendorData, 0, 15) | Field(vendorId, 16, 16);
}

uint32_t IdHeaderVdo(uint16_t vendorId, int ufpOrCableType, int dfpType, bool modal, bool usbDevice,
                     bool usbHost, int connectorType) {
    return Field(vendorId, 0, 16) | Field(connectorType, 21, 2) | Field(dfpType, 23, 3) |
           Flag(modal, 26) | Field(ufpOrCableType, 27, 3) | Flag(usbDevice, 30) | Flag(usbHost, 31);
}

uint32_t ProductVdo(uint16_t productId, uint16_t bcdDevice) {
    return Field(bcdDevice, 0, 16) | Field(productId, 16, 16);
}

uint32_t PassiveCableVdo(int hwVersion, int fwVersion, int plugType, bool epr, int latency,
                         int termination, int maxVbus, int vbusCurrent, int speed) {
    return Field(speed, 0, 3) | Field(vbusCurrent, 5, 2) | Field(maxVbus, 9, 2) |
           Field(termination, 11, 2) | Field(latency, 13, 4) | Flag(epr, 17) |
           Field(plugType, 18, 2) | Field(0, 21, 3) | Field(fwVersion, 24, 4) |
           Field(hwVersion, 28, 4);
}

uint32_t ActiveCableVdo1(int hwVersion, int fwVersion, int plugType, bool epr, int latency,
                         int termination, int maxVbus, int vbusCurrent, bool sopDoublePrime,
                         int speed) {
    return Field(speed, 0, 3) | Flag(sopDoublePrime, 3) | Flag(true, 4) | Field(vbusCurrent, 5, 2) |
           Field(maxVbus, 9, 2) | Field(termination, 11, 2) | Field(latency, 13, 4) |
           Flag(epr, 17) | Field(plugType, 18, 2) | Field(3, 21, 3) | Field(fwVersion, 24, 4) |
           Field(hwVersion, 28, 4);
}

uint32_t ActiveCableVdo2(int maxTemperature, int shutdownTemperature, bool optical, bool retimer,
                         bool twoLanes, bool usb4) {
    return Flag(true, 0) | Flag(optical, 2) | Flag(twoLanes, 3) | Flag(!usb4, 8) |
           Flag(retimer, 9) | Flag(optical, 10) | Field(shutdownTemperature, 16, 8) |
           Field(maxTemperature, 24, 8);
}

uint32_t UfpVdo(int version, int deviceCapability, int connectorType, int alternateModes,
                int speed) {
    return Field(speed, 0, 3) | Field(alternateModes, 3, 3) | Field(connectorType, 22, 2) |
           Field(deviceCapability, 24, 4) | Field(version, 29, 3);
}

uint32_t DfpVdo(int version, int hostCapability, int connectorType, int portNumber) {
    return Field(portNumber, 0, 5) | Field(connectorType, 22, 2) | Field(hostCapability, 24, 3) |
           Field(version, 29, 3);
}

uint32_t AlternateModeAdapterVdo(int hwVersion, int fwVersion, int vconnPower, bool vconnRequired,
                                 bool vbusRequired, int speed) {
    return Field(speed, 0, 3) | Flag(vbusRequired, 3) | Flag(vconnRequired, 4) |
           Field(vconnPower, 5, 3) | Field(fwVersion, 24, 4) | Field(hwVersion, 28, 4);
}

uint32_t DpCapabilitiesVdo(int portCapability, int signaling, bool receptacle,
                           int dfpPinAssignments, int ufpPinAssignments) {
    return Field(portCapability, 0, 2) | Field(signaling, 2, 4) | Flag(receptacle, 6) |
           Field(dfpPinAssignments, 8, 8) | Field(ufpPinAssignments, 16, 8);
}

uint32_t DpStatusVdo(int connected, bool enabled, bool hpdHigh, bool irqHpd) {
    return Field(connected, 0, 2) | Flag(enabled, 3) | Flag(hpdHigh, 7) | Flag(irqHpd, 8);
}

uint32_t DpConfigureVdo(int select, int signaling, int pinAssignment) {
    return Field(select, 0, 2) | Field(signaling, 2, 4) | Field(pinAssignment, 8, 8);
}

uint32_t BistDataObject(int mode, uint16_t data) {
    return Field(data, 0, 16) | Field(mode, 28, 4);
}

uint32_t BatteryStatusDataObject(int capacityTenthWh, bool present, int chargingStatus) {
    return Flag(present, 9) | Field(chargingStatus, 10, 2) | Field(capacityTenthWh, 16, 16);
}

uint32_t AlertDataObject(uint32_t typeBits, int fixedBatteries, int hotSwapBatteries,
                         int extendedEvent) {
    return Field(extendedEvent, 0, 4) | Field(hotSwapBatteries, 16, 4) |
           Field(fixedBatteries, 20, 4) | Field(typeBits, 24, 8);
}

uint32_t CountryCodeDataObject(std::string_view alpha2) {
    int first = alpha2.size() > 0 ? static_cast<uint8_t>(alpha2[0]) : 0;
    int second = alpha2.size() > 1 ? static_cast<uint8_t>(alpha2[1]) : 0;
    return Field(second, 16, 8) | Field(first, 24, 8);
}

uint32_t EnterUsbDataObject(int usbMode, bool usb4Drd, bool usb3Drd, int cableSpeed, int cableType,
                            int cableCurrent, uint32_t tunnelFlags) {
    return (tunnelFlags & 0x0001E000u) | Field(cableCurrent, 17, 2) | Field(cableType, 19, 2) |
           Field(cableSpeed, 21, 3) | Flag(usb3Drd, 25) | Flag(usb4Drd, 26) | Field(usbMode, 28, 3);
}

uint32_t EprModeDataObject(int action, int data) {
    return Field(data, 16, 8) | Field(action, 24, 8);
}

uint32_t SourceInfoDataObject(bool guaranteed, int maxPdp, int presentPdp, int reportedPdp) {
    return Field(reportedPdp, 0, 8) | Field(presentPdp, 8, 8) | Field(maxPdp, 16, 8) |
           Flag(guaranteed, 31);
}

uint32_t RevisionDataObject(int revisionMajor, int revisionMinor, int versionMajor,
                            int versionMinor) {
    return Field(versionMinor, 16, 4) | Field(versionMajor, 20, 4) | Field(revisionMinor, 24, 4) |
           Field(revisionMajor, 28, 4);
}

std::vector<uint8_t> SourceCapsExtendedBlock(uint16_t vendorId, uint16_t productId, int sprPdpWatts,
                                             int eprPdpWatts) {
    std::vector<uint8_t> block;
    AppendU16(block, vendorId);
    AppendU16(block, productId);
    AppendU32(block, 0x00C0FFEEu);                  // XID
    block.insert(block.end(), {0x12, 0x03});        // firmware, hardware version
    block.insert(block.end(), {0x01, 0x03});        // voltage regulation, holdup time 3 ms
    block.insert(block.end(), {0x01, 0x00});        // LPS compliant, touch current
    block.insert(block.end(), {0, 0, 0, 0, 0, 0});  // peak current 1-3
    block.insert(block.end(), {0x00, 0x01, 0x00});  // touch temperature, external supply
    block.push_back(static_cast<uint8_t>(sprPdpWatts & 0x7F));
    block.push_back(static_cast<uint8_t>(eprPdpWatts));
    return block;
}

std::vector<uint8_t> SinkCapsExtendedBlock(uint16_t vendorId, uint16_t productId, int minPdp,
                                           int operationalPdp, int maxPdp, int eprMinPdp,
                                           int eprOperationalPdp, int eprMaxPdp) {
    std::vector<uint8_t> block;
    AppendU16(block, vendorId);
    AppendU16(block, productId);
    AppendU32(block, 0);  // XID
    block.insert(block.end(), {0x01, 0x01, 0x01, 0x00, 0x00, 0x00});
    block.insert(block.end(), {0x00, 0x00, 0x01, 0x0A});  // compliance ... sink modes
    block.push_back(static_cast<uint8_t>(minPdp & 0x7F));
    block.push_back(static_cast<uint8_t>(operationalPdp & 0x7F));
    block.push_back(static_cast<uint8_t>(maxPdp & 0x7F));
    block.push_back(static_cast<uint8_t>(eprMinPdp));
    block.push_back(static_cast<uint8_t>(eprOperationalPdp));
    block.push_back(static_cast<uint8_t>(eprMaxPdp));
    return block;
}

std::vector<uint8_t> StatusBlock(int temperature, int presentInput, int eventFlags) {
    return {static_cast<uint8_t>(temperature),
            static_cast<uint8_t>(presentInput),
            0,
            static_cast<uint8_t>(eventFlags),
            0x02,
            0,
            0x09};
}

std::vector<uint8_t> PpsStatusBlock(int millivolts, int milliamps, int flags) {
    std::vector<uint8_t> block;
    AppendU16(block, static_cast<uint16_t>(millivolts / 20));
    block.push_back(static_cast<uint8_t>(milliamps / 50));
    block.push_back(static_cast<uint8_t>(flags));
    return block;
}

std::vector<uint8_t> BatteryCapabilitiesBlock(uint16_t vendorId, uint16_t productId,
                                              int designTenthWh, int lastFullTenthWh) {
    std::vector<uint8_t> block;
    AppendU16(block, vendorId);
    AppendU16(block, productId);
    AppendU16(block, static_cast<uint16_t>(designTenthWh));
    AppendU16(block, static_cast<uint16_t>(lastFullTenthWh));
    block.push_back(0);
    return block;
}

std::vector<uint8_t> ManufacturerInfoBlock(uint16_t vendorId, uint16_t productId,
                                           std::string_view text) {
    std::vector<uint8_t> block;
    AppendU16(block, vendorId);
    AppendU16(block, productId);
    AppendPadded(block, text, std::min<size_t>(text.size(), 22));
    return block;
}

std::vector<uint8_t> CountryCodesBlock(std::string_view alpha2Codes) {
    size_t count = std::min<size_t>(alpha2Codes.size() / 2, 11);
    std::vector<uint8_t> block = {static_cast<uint8_t>(count), 0};
    AppendPadded(block, alpha2Codes, count * 2);
    return block;
}

std::vector<uint8_t> CountryInfoBlock(std::string_view alpha2, std::string_view data) {
    std::vector<uint8_t> block;
    AppendPadded(block, alpha2, 2);
    block.insert(block.end(), {0, 0});
    AppendPadded(block, data, std::min<size_t>(data.size(), 256));
    return block;
}

std::vector<uint8_t> ExtendedControlBlock(int type, int data) {
    return {static_cast<uint8_t>(type), static_cast<uint8_t>(data)};
}

std::vector<uint8_t> PdoBlock(const std::vector<uint32_t>& pdos) {
    std::vector<uint8_t> block;
    for (uint32_t pdo : pdos) {
        AppendU32(block, pdo);
    }
    return block;
}
