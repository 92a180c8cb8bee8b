// Every effective setting as text, for inspection (zoduz-cli settings): the application's table
// in its order, then the graph's shown flags and appearance values.
#pragma once

#include <string>
#include <vector>

#include "settings/graph_appearance.h"
#include "settings/settings_store.h"

struct SettingLine {
    std::string name;
    std::string value;
    bool isDefault;  // the effective value equals the value used when nothing is stored
};

std::vector<SettingLine> ListSettings(const SettingsStore& store,
                                      const std::string& defaultDataFolder,
                                      const GraphShownFlags& shown,
                                      const GraphAppearance& appearance);

// "height=16 width=0 escapement=0 orientation=0 weight=0 italic=0 underline=0 strikeOut=0
// charSet=1 outPrecision=0 clipPrecision=0 quality=1 pitchAndFamily=0 face=Arial"
std::string LogFontText(const LogFontRecord& font);
// "width=1200 height=700 listRowHeight=100 fieldTableWidth=100 listFont=none" (or the font).
std::string LayoutRecordText(const LayoutRecord& layout);
// "shown=1 width=50 order=0"
std::string ColumnInfoText(const ColumnInfo& info);
// "255 rgb(255,0,0)"
std::string ColourText(int32_t stored);
