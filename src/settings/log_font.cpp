#include "settings/log_font.h"

#include <algorithm>

#include "capture/byte_order.h"
#include "capture/utf16.h"

namespace {

// Byte offsets of the LOGFONTW fields.
constexpr size_t kHeight = 0;
constexpr size_t kWidth = 4;
constexpr size_t kEscapement = 8;
constexpr size_t kOrientation = 12;
constexpr size_t kWeight = 16;
constexpr size_t kItalic = 20;
constexpr size_t kFaceName = 28;

}  // namespace

LogFontRecord DefaultGraphFont() {
    LogFontRecord font;
    font.height = 16;
    font.charSet = kLogFontDefaultCharSet;
    font.quality = kLogFontDraftQuality;
    SetLogFontFaceName(font, "Arial");
    return font;
}

void EncodeLogFont(const LogFontRecord& font, std::span<uint8_t, kLogFontSize> out) {
    WriteU32(out.data() + kHeight, static_cast<uint32_t>(font.height));
    WriteU32(out.data() + kWidth, static_cast<uint32_t>(font.width));
    WriteU32(out.data() + kEscapement, static_cast<uint32_t>(font.escapement));
    WriteU32(out.data() + kOrientation, static_cast<uint32_t>(font.orientation));
    WriteU32(out.data() + kWeight, static_cast<uint32_t>(font.weight));
    const uint8_t bytes[8] = {font.italic,  font.underline,     font.strikeOut,
                              font.charSet, font.outPrecision,  font.clipPrecision,
                              font.quality, font.pitchAndFamily};
    for (size_t i = 0; i < 8; ++i) {
        out[kItalic + i] = bytes[i];
    }
    for (size_t i = 0; i < kLogFontFaceChars; ++i) {
        WriteU16(out.data() + kFaceName + 2 * i, static_cast<uint16_t>(font.faceName[i]));
    }
}

LogFontRecord DecodeLogFont(std::span<const uint8_t, kLogFontSize> bytes) {
    LogFontRecord font;
    font.height = static_cast<int32_t>(ReadU32(bytes.data() + kHeight));
    font.width = static_cast<int32_t>(ReadU32(bytes.data() + kWidth));
    font.escapement = static_cast<int32_t>(ReadU32(bytes.data() + kEscapement));
    font.orientation = static_cast<int32_t>(ReadU32(bytes.data() + kOrientation));
    font.weight = static_cast<int32_t>(ReadU32(bytes.data() + kWeight));
    font.italic = bytes[kItalic];
    font.underline = bytes[kItalic + 1];
    font.strikeOut = bytes[kItalic + 2];
    font.charSet = bytes[kItalic + 3];
    font.outPrecision = bytes[kItalic + 4];
    font.clipPrecision = bytes[kItalic + 5];
    font.quality = bytes[kItalic + 6];
    font.pitchAndFamily = bytes[kItalic + 7];
    for (size_t i = 0; i < kLogFontFaceChars; ++i) {
        font.faceName[i] = static_cast<char16_t>(ReadU16(bytes.data() + kFaceName + 2 * i));
    }
    return font;
}

std::optional<LogFontRecord> LogFontFromBlock(std::span<const uint8_t> block) {
    if (block.size() != kLogFontSize) {
        return std::nullopt;
    }
    return DecodeLogFont(block.first<kLogFontSize>());
}

std::array<uint8_t, kLogFontSize> LogFontBlock(const LogFontRecord& font) {
    std::array<uint8_t, kLogFontSize> block{};
    EncodeLogFont(font, block);
    return block;
}

std::string LogFontFaceName(const LogFontRecord& font) {
    size_t length = 0;
    while (length < kLogFontFaceChars && font.faceName[length] != 0) {
        ++length;
    }
    return Utf16ToUtf8(std::u16string_view(font.faceName.data(), length));
}

void SetLogFontFaceName(LogFontRecord& font, const std::string& face) {
    std::u16string units = Utf8ToUtf16(face);
    size_t length = std::min(units.size(), kLogFontFaceChars - 1);
    // Do not keep the first half of a surrogate pair without its second half.
    if (length > 0 && length < units.size() && units[length - 1] >= 0xD800 &&
        units[length - 1] <= 0xDBFF) {
        --length;
    }
    font.faceName.fill(0);
    std::copy_n(units.begin(), length, font.faceName.begin());
}
