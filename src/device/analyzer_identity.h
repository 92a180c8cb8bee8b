// What the analyzer tells about itself in its USB descriptors: the firmware text of string
// descriptor 3, the serial number text of string descriptor 6, and how the host reads them.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "capture/utf16.h"
#include "capture/info_block.h"

inline constexpr uint8_t kFirmwareStringIndex = 3;
inline constexpr uint8_t kSerialStringIndex = 6;
// String descriptors are read into a buffer of this size, so the longest text is 31 characters.
inline constexpr size_t kStringDescriptorBufferSize = 64;
// Oldest firmware the host works with.
inline constexpr uint16_t kMinFirmwareVersion = 0x0101;

// The UTF-16 text of a string descriptor: (bLength - 2) / 2 characters, never more than the
// `received` bytes hold.
std::u16string DecodeStringDescriptor(std::span<const uint8_t> received);
// A string descriptor for `text`, cut to what `maxBytes` holds.
std::vector<uint8_t> EncodeStringDescriptor(std::u16string_view text,
                                            size_t maxBytes = kStringDescriptorBufferSize);

// "1.23" gives 0x0123: characters 0, 2 and 3 are taken as digits. A text of three characters
// or fewer leaves `previous` as it is.
uint16_t ParseFirmwareVersion(std::u16string_view text, uint16_t previous);
// The 24 hex digits as one 96-bit number stored least significant byte first; a character
// other than 0-9 or A-F, or a missing one, counts as 0.
SerialNumber ParseSerialNumber(std::u16string_view text);
// The firmware version as its text: 0x0123 gives "1.23".
std::string FirmwareVersionText(uint16_t version);
