// The font description stored in the settings ("GraphFont" and the message list font inside
// "ZoduzAppSettings"): the 92-byte Windows LOGFONTW layout, little-endian, on every platform.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

inline constexpr size_t kLogFontSize = 92;
inline constexpr size_t kLogFontFaceChars = 32;

// Values of the byte fields that the default fonts use.
inline constexpr uint8_t kLogFontDefaultCharSet = 1;  // DEFAULT_CHARSET
inline constexpr uint8_t kLogFontDraftQuality = 1;    // DRAFT_QUALITY

struct LogFontRecord {
    int32_t height = 0;  // < 0: character height in pixels; > 0: cell height in pixels
    int32_t width = 0;
    int32_t escapement = 0;
    int32_t orientation = 0;
    int32_t weight = 0;  // 0 = default weight, else 100 ... 900
    uint8_t italic = 0;
    uint8_t underline = 0;
    uint8_t strikeOut = 0;
    uint8_t charSet = 0;
    uint8_t outPrecision = 0;
    uint8_t clipPrecision = 0;
    uint8_t quality = 0;
    uint8_t pitchAndFamily = 0;
    std::array<char16_t, kLogFontFaceChars> faceName{};  // UTF-16, terminated by a zero unit

    bool operator==(const LogFontRecord&) const = default;
};

// The graph font used when none is stored: 16 pixels high, default weight, default character
// set, draft quality, face "Arial".
LogFontRecord DefaultGraphFont();

void EncodeLogFont(const LogFontRecord& font, std::span<uint8_t, kLogFontSize> out);
LogFontRecord DecodeLogFont(std::span<const uint8_t, kLogFontSize> bytes);

// A stored block is a font only when it is exactly 92 bytes long.
std::optional<LogFontRecord> LogFontFromBlock(std::span<const uint8_t> block);
std::array<uint8_t, kLogFontSize> LogFontBlock(const LogFontRecord& font);

// Face name as UTF-8, up to the first zero unit (or all 32 units when there is none).
std::string LogFontFaceName(const LogFontRecord& font);
// Sets the face from UTF-8; it is cut to 31 UTF-16 units (never inside a surrogate pair) so the
// terminating zero always fits.
void SetLogFontFaceName(LogFontRecord& font, const std::string& face);
