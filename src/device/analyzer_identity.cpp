#include "device/analyzer_identity.h"

#include <algorithm>
#include <cstdio>

namespace {

int HexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9') {
        return c - u'0';
    }
    if (c >= u'A' && c <= u'F') {
        return c - u'A' + 10;
    }
    return 0;
}

}  // namespace

std::u16string DecodeStringDescriptor(std::span<const uint8_t> received) {
    if (received.size() < 2) {
        return {};
    }
    size_t length = std::min<size_t>(received[0], received.size());
    size_t count = length >= 2 ? (length - 2) / 2 : 0;
    std::u16string text;
    text.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        text.push_back(static_cast<char16_t>(received[2 + 2 * i] | (received[3 + 2 * i] << 8)));
    }
    return text;
}

std::vector<uint8_t> EncodeStringDescriptor(std::u16string_view text, size_t maxBytes) {
    size_t count = std::min(text.size(), (std::min<size_t>(maxBytes, 255) - 2) / 2);
    std::vector<uint8_t> bytes(2 + 2 * count);
    bytes[0] = static_cast<uint8_t>(bytes.size());
    bytes[1] = 3;
    for (size_t i = 0; i < count; ++i) {
        bytes[2 + 2 * i] = static_cast<uint8_t>(text[i] & 0xFF);
        bytes[3 + 2 * i] = static_cast<uint8_t>(text[i] >> 8);
    }
    return bytes;
}

uint16_t ParseFirmwareVersion(std::u16string_view text, uint16_t previous) {
    if (text.size() <= 3) {
        return previous;
    }
    int version = (text[0] - u'0') * 256 + (text[2] - u'0') * 16 + (text[3] - u'0');
    return static_cast<uint16_t>(version);
}

SerialNumber ParseSerialNumber(std::u16string_view text) {
    SerialNumber bytes{};
    for (size_t j = 0; j < 2 * kSerialNumberSize; j += 2) {
        int high = j < text.size() ? HexDigit(text[j]) : 0;
        int low = j + 1 < text.size() ? HexDigit(text[j + 1]) : 0;
        bytes[kSerialNumberSize - 1 - j / 2] = static_cast<uint8_t>(high * 16 + low);
    }
    return bytes;
}

std::string FirmwareVersionText(uint16_t version) {
    char text[16];
    std::snprintf(text, sizeof text, "%X.%02X", version >> 8, version & 0xFF);
    return text;
}
