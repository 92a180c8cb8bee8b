#include "settings/settings_listing.h"

#include <cstdio>

namespace {

void Add(std::vector<SettingLine>& lines, std::string name, std::string value, bool isDefault) {
    lines.push_back({std::move(name), std::move(value), isDefault});
}

void AddInteger(std::vector<SettingLine>& lines, const char* name, int32_t value,
                int32_t defaultValue) {
    Add(lines, name, std::to_string(value), value == defaultValue);
}

}  // namespace

std::string LogFontText(const LogFontRecord& font) {
    char text[320];
    std::snprintf(text, sizeof text,
                  "height=%d width=%d escapement=%d orientation=%d weight=%d italic=%u "
                  "underline=%u strikeOut=%u charSet=%u outPrecision=%u clipPrecision=%u "
                  "quality=%u pitchAndFamily=%u face=",
                  font.height, font.width, font.escapement, font.orientation, font.weight,
                  font.italic, font.underline, font.strikeOut, font.charSet, font.outPrecision,
                  font.clipPrecision, font.quality, font.pitchAndFamily);
    return text + LogFontFaceName(font);
}

std::string LayoutRecordText(const LayoutRecord& layout) {
    char text[160];
    std::snprintf(
        text, sizeof text,
        "width=%d height=%d listRowHeight=%d fieldTableWidth=%d listFont=", layout.windowWidth,
        layout.windowHeight, layout.listRowHeight, layout.fieldTableWidth);
    return text + (layout.listFontStored != 0 ? "{" + LogFontText(layout.listFont) + "}"
                                              : std::string("none"));
}

std::string ColumnInfoText(const ColumnInfo& info) {
    char text[64];
    std::snprintf(text, sizeof text, "shown=%d width=%d order=%d", info.shown, info.width,
                  info.order);
    return text;
}

std::string ColourText(int32_t stored) {
    const RgbColour rgb = ColourFromSetting(stored);
    char text[48];
    std::snprintf(text, sizeof text, "%d rgb(%u,%u,%u)", stored, rgb.red, rgb.green, rgb.blue);
    return text;
}

std::vector<SettingLine> ListSettings(const SettingsStore& store,
                                      const std::string& defaultDataFolder,
                                      const GraphShownFlags& shown,
                                      const GraphAppearance& appearance) {
    const SettingsStore defaults;
    std::vector<SettingLine> lines;
    Add(lines, kLayoutValueName, LayoutRecordText(store.layout), store.layout == defaults.layout);
    Add(lines, kRecordFileFolderName, store.recordFileFolder,
        store.recordFileFolder == defaultDataFolder);
    Add(lines, kRecordFileCaptionName, store.recordFileCaption,
        store.recordFileCaption == defaults.recordFileCaption);
    for (const ScalarSetting& setting : ScalarSettings()) {
        AddInteger(lines, setting.name, ScalarValue(store, setting),
                   ScalarValue(defaults, setting));
    }
    for (int column = 0; column < kPacketColumnCount; ++column) {
        Add(lines, ColumnInfoValueName(column), ColumnInfoText(store.columns[column]),
            store.columns[column] == DefaultColumnInfo(column));
    }
    Add(lines, kGraphFontName, LogFontText(store.graphFont), store.graphFont == DefaultGraphFont());
    Add(lines, kDeviceUsbIdsName, store.deviceUsbIds, store.deviceUsbIds == defaults.deviceUsbIds);

    const GraphShownFlags defaultShown;
    AddInteger(lines, kGraphShownVoltageName, shown.voltage, defaultShown.voltage);
    AddInteger(lines, kGraphShownCurrentName, shown.current, defaultShown.current);
    AddInteger(lines, kGraphShownWattageName, shown.wattage, defaultShown.wattage);

    for (int i = 0; i < kGraphColourCount; ++i) {
        const auto colour = static_cast<GraphColour>(i);
        const AppearanceKey& key = ColourKey(colour);
        Add(lines, key.name, ColourText(appearance.StoredColour(colour)),
            appearance.StoredColour(colour) == key.defaultValue);
    }
    for (int i = 0; i < kGraphLineWidthCount; ++i) {
        const auto width = static_cast<GraphLineWidth>(i);
        AddInteger(lines, LineWidthKey(width).name, appearance.LineWidth(width),
                   LineWidthKey(width).defaultValue);
    }
    for (int i = 0; i < kGraphSwitchCount; ++i) {
        const auto graphSwitch = static_cast<GraphSwitch>(i);
        AddInteger(lines, SwitchKey(graphSwitch).name, appearance.IsOn(graphSwitch) ? 1 : 0,
                   SwitchKey(graphSwitch).defaultValue != 0 ? 1 : 0);
    }
    return lines;
}
