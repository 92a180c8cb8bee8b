// The USB descriptors an analyzer presents: one configuration with one vendor-specific
// interface holding bulk IN 0x81 and bulk OUT 0x01, the firmware text in string 3 and the
// serial number text in string 6. The virtual analyzer answers with these, and the USB tests
// present them through an emulated device.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "device/usb_transport.h"

inline constexpr uint8_t kManufacturerStringIndex = 1;
inline constexpr uint8_t kProductStringIndex = 2;
inline constexpr uint16_t kEnglishUsLanguage = 0x0409;
inline constexpr uint16_t kBulkMaxPacketSize = 512;  // high speed
inline constexpr size_t kMaxStringDescriptorSize = 255;

struct AnalyzerDescriptorTexts {
    std::string manufacturer = "Dazerav Inc.";
    std::string product = "Zoduz USB-C Power Analyzer";
    std::string firmware = "1.23";
    std::string serial = "53494D000000000000000001";
};

// The 18-byte device descriptor; bcdDevice carries `deviceRelease`.
std::vector<uint8_t> AnalyzerDeviceDescriptor(UsbDeviceId id, uint16_t deviceRelease);
// The configuration descriptor with its interface and both endpoint descriptors.
std::vector<uint8_t> AnalyzerConfigurationDescriptor();
// String descriptor `index` (0 is the language list); nothing for an index the analyzer does
// not have.
std::optional<std::vector<uint8_t>> AnalyzerStringDescriptor(const AnalyzerDescriptorTexts& texts,
                                                             uint8_t index);
