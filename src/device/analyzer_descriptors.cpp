#include "device/analyzer_descriptors.h"

#include "device/analyzer_identity.h"

namespace {

void PutU16(std::vector<uint8_t>& out, uint16_t value) {
    out.push_back(static_cast<uint8_t>(value & 0xFF));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void PutBulkEndpoint(std::vector<uint8_t>& out, uint8_t address) {
    out.insert(out.end(), {7, 5, address, 0x02});  // bmAttributes 2: bulk
    PutU16(out, kBulkMaxPacketSize);
    out.push_back(0);  // bInterval
}

}  // namespace

std::vector<uint8_t> AnalyzerDeviceDescriptor(UsbDeviceId id, uint16_t deviceRelease) {
    std::vector<uint8_t> out = {18, kDescriptorTypeDevice};
    PutU16(out, 0x0200);                   // bcdUSB 2.0
    out.insert(out.end(), {0, 0, 0, 64});  // class in the interface; ep0 of 64 bytes
    PutU16(out, id.vendorId);
    PutU16(out, id.productId);
    PutU16(out, deviceRelease);
    out.insert(out.end(), {kManufacturerStringIndex, kProductStringIndex, kSerialStringIndex, 1});
    return out;
}

std::vector<uint8_t> AnalyzerConfigurationDescriptor() {
    std::vector<uint8_t> out = {9, 2, 0, 0, 1, 1, 0, 0x80, 50};  // bus powered, 100 mA
    out.insert(out.end(), {9, 4, 0, 0, 2, 0xFF, 0, 0, 0});       // interface 0, vendor class
    PutBulkEndpoint(out, kBulkInEndpoint);
    PutBulkEndpoint(out, kBulkOutEndpoint);
    out[2] = static_cast<uint8_t>(out.size());
    return out;
}

std::optional<std::vector<uint8_t>> AnalyzerStringDescriptor(const AnalyzerDescriptorTexts& texts,
                                                             uint8_t index) {
    switch (index) {
        case 0: {
            std::vector<uint8_t> out = {4, kDescriptorTypeString};
            PutU16(out, kEnglishUsLanguage);
            return out;
        }
        case kManufacturerStringIndex:
            return EncodeStringDescriptor(Utf8ToUtf16(texts.manufacturer),
                                          kMaxStringDescriptorSize);
        case kProductStringIndex:
            return EncodeStringDescriptor(Utf8ToUtf16(texts.product), kMaxStringDescriptorSize);
        case kFirmwareStringIndex:
            return EncodeStringDescriptor(Utf8ToUtf16(texts.firmware), kMaxStringDescriptorSize);
        case kSerialStringIndex:
            return EncodeStringDescriptor(Utf8ToUtf16(texts.serial), kMaxStringDescriptorSize);
        default:
            return std::nullopt;
    }
}
