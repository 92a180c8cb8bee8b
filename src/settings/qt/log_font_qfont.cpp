#include "settings/qt/log_font_qfont.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// LOGFONTW constants.
constexpr uint8_t kFixedPitch = 1;
constexpr uint8_t kFamilyMask = 0xF0;
constexpr uint8_t kFamilyRoman = 0x10;
constexpr uint8_t kFamilySwiss = 0x20;
constexpr uint8_t kFamilyModern = 0x30;
constexpr uint8_t kFamilyScript = 0x40;
constexpr uint8_t kFamilyDecorative = 0x50;
constexpr uint8_t kNonAntialiasedQuality = 3;
constexpr uint8_t kAntialiasedQuality = 4;
constexpr uint8_t kClearTypeQuality = 5;
constexpr int32_t kNormalWeight = 400;
// Largest pixel size a stored font gets: enough for any screen, small enough that the graph
// and the list header still fit the window (as stored window sizes are fitted to the screen).
constexpr int64_t kMaxFontPixels = 96;
constexpr double kPointsPerInch = 72.0;
constexpr double kDotsPerInch = 96.0;

QFont::StyleHint StyleHintOfFamily(uint8_t pitchAndFamily) {
    switch (pitchAndFamily & kFamilyMask) {
        case kFamilyRoman:
            return QFont::Serif;
        case kFamilySwiss:
            return QFont::SansSerif;
        case kFamilyModern:
            return QFont::Monospace;
        case kFamilyScript:
            return QFont::Cursive;
        case kFamilyDecorative:
            return QFont::Decorative;
        default:
            return QFont::AnyStyle;
    }
}

uint8_t FamilyOfStyleHint(QFont::StyleHint hint) {
    switch (hint) {
        case QFont::Serif:
            return kFamilyRoman;
        case QFont::SansSerif:
            return kFamilySwiss;
        case QFont::Monospace:
        case QFont::TypeWriter:
            return kFamilyModern;
        case QFont::Cursive:
            return kFamilyScript;
        case QFont::Decorative:
            return kFamilyDecorative;
        default:
            return 0;
    }
}

}  // namespace

QFont FontFromLogFont(const LogFontRecord& record) {
    QFont font(QString::fromStdString(LogFontFaceName(record)));
    // Cast through int64 so that the smallest int32 does not overflow in abs().
    const int64_t height = std::llabs(static_cast<int64_t>(record.height));
    if (height > 0) {
        font.setPixelSize(static_cast<int>(std::min<int64_t>(height, kMaxFontPixels)));
    }
    const int32_t weight = record.weight == 0 ? kNormalWeight : std::clamp(record.weight, 1, 1000);
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setItalic(record.italic != 0);
    font.setUnderline(record.underline != 0);
    font.setStrikeOut(record.strikeOut != 0);
    font.setFixedPitch((record.pitchAndFamily & kFixedPitch) != 0);
    font.setStyleHint(StyleHintOfFamily(record.pitchAndFamily));
    if (record.quality == kNonAntialiasedQuality) {
        font.setStyleStrategy(QFont::NoAntialias);
    } else if (record.quality == kAntialiasedQuality || record.quality == kClearTypeQuality) {
        font.setStyleStrategy(QFont::PreferAntialias);
    }
    return font;
}

LogFontRecord LogFontFromFont(const QFont& font) {
    LogFontRecord record;
    if (font.pixelSize() > 0) {
        record.height = -font.pixelSize();
    } else if (font.pointSizeF() > 0) {
        record.height =
            -static_cast<int32_t>(std::lround(font.pointSizeF() * kDotsPerInch / kPointsPerInch));
    }
    record.weight = font.weight();
    record.italic = font.italic() ? 1 : 0;
    record.underline = font.underline() ? 1 : 0;
    record.strikeOut = font.strikeOut() ? 1 : 0;
    record.charSet = kLogFontDefaultCharSet;
    if (font.styleStrategy() & QFont::NoAntialias) {
        record.quality = kNonAntialiasedQuality;
    } else if (font.styleStrategy() & QFont::PreferAntialias) {
        record.quality = kAntialiasedQuality;
    }
    record.pitchAndFamily = static_cast<uint8_t>((font.fixedPitch() ? kFixedPitch : 0) |
                                                 FamilyOfStyleHint(font.styleHint()));
    SetLogFontFaceName(record, font.family().toStdString());
    return record;
}
