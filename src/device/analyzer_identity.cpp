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

std::string Utf16ToUtf8(std::u16string_view text) {
    std::string out;
    for (char16_t c : text) {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

std::u16string Utf8ToUtf16(std::string_view text) {
    std::u16string out;
    for (size_t i = 0; i < text.size();) {
        auto c = static_cast<unsigned char>(text[i]);
        int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        char32_t code = c & (0x7F >> extra);
        for (int k = 1; k <= extra && i + static_cast<size_t>(k) < text.size(); ++k) {
            code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        }
        // Outside the basic plane (and broken sequences) become the replacement character.
        out.push_back(extra == 3 || (extra == 0 && c >= 0x80) ? u'\uFFFD'
                                                              : static_cast<char16_t>(code));
        i += static_cast<size_t>(extra) + 1;
    }
    return out;
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
