// The text listing of every effective setting (zoduz-cli settings).
#include <gtest/gtest.h>

#include <algorithm>

#include "settings/memory_settings_backend.h"
#include "settings/settings_listing.h"

namespace {

const SettingLine* Find(const std::vector<SettingLine>& lines, const std::string& name) {
    auto found = std::find_if(lines.begin(), lines.end(),
                              [&](const SettingLine& line) { return line.name == name; });
    return found == lines.end() ? nullptr : &*found;
}

std::vector<SettingLine> ListFrom(const MemorySettingsBackend& backend) {
    SettingsStore store;
    ReadSettings(backend, store, "/docs/Zoduz");
    return ListSettings(store, "/docs/Zoduz", ReadGraphShownFlags(backend),
                        ReadGraphAppearance(backend));
}

TEST(SettingsListing, EmptyStoreListsEveryValueAsDefault) {
    const auto lines = ListFrom(MemorySettingsBackend{});
    // 3 + 28 scalars + 38 columns + font, device ids, 3 shown flags, 25 colours, 9 widths,
    // 11 switches.
    EXPECT_EQ(lines.size(), 3u + 28 + 38 + 1 + 1 + 3 + 25 + 9 + 11);
    for (const SettingLine& line : lines) {
        EXPECT_TRUE(line.isDefault) << line.name;
    }
    EXPECT_EQ(lines.front().name, "ZoduzAppSettings");
    EXPECT_EQ(lines.front().value,
              "width=1200 height=700 listRowHeight=100 fieldTableWidth=100 listFont=none");
    EXPECT_EQ(Find(lines, "RecordFileFolder")->value, "/docs/Zoduz");
    EXPECT_EQ(Find(lines, "RecordFileCaption")->value, "PDCapture");
    EXPECT_EQ(Find(lines, "RecordMaxVbusInfoCount")->value, "9999999");
    EXPECT_EQ(Find(lines, "CalCC2CurrRatio")->value, "1000000");
    EXPECT_EQ(Find(lines, "ColumnInfo21")->value, "shown=1 width=300 order=24");
    EXPECT_EQ(Find(lines, "GraphFont")->value,
              "height=16 width=0 escapement=0 orientation=0 weight=0 italic=0 underline=0 "
              "strikeOut=0 charSet=1 outPrecision=0 clipPrecision=0 quality=1 "
              "pitchAndFamily=0 face=Arial");
    EXPECT_EQ(Find(lines, "EnableGraphWattage")->value, "1");
    EXPECT_EQ(Find(lines, "ColorVBusWatt")->value, "42495 rgb(255,165,0)");
    EXPECT_EQ(Find(lines, "VBusVolBold")->value, "3");
    EXPECT_EQ(Find(lines, "WattAxisEnabled")->value, "1");
}

TEST(SettingsListing, ChangedValuesAreMarked) {
    MemorySettingsBackend backend;
    backend.WriteInteger("CalVbusVolRatio", 1010000);
    backend.WriteInteger("RecordMaxPDPacketCount", 500);  // forced back: still the default
    backend.WriteBinary("ColumnInfo5", ColumnInfoBlock({1, 70, 5}));
    backend.WriteInteger("EnableGraphCurrent", 0);
    backend.WriteInteger("ColorVBusCurr", 65280);
    backend.WriteText("RecordFileFolder", "/data");
    const auto lines = ListFrom(backend);
    EXPECT_FALSE(Find(lines, "CalVbusVolRatio")->isDefault);
    EXPECT_EQ(Find(lines, "CalVbusVolRatio")->value, "1010000");
    EXPECT_TRUE(Find(lines, "RecordMaxPDPacketCount")->isDefault);
    EXPECT_FALSE(Find(lines, "ColumnInfo5")->isDefault);
    EXPECT_TRUE(Find(lines, "ColumnInfo4")->isDefault);
    EXPECT_FALSE(Find(lines, "EnableGraphCurrent")->isDefault);
    EXPECT_EQ(Find(lines, "ColorVBusCurr")->value, "65280 rgb(0,255,0)");
    EXPECT_FALSE(Find(lines, "ColorVBusCurr")->isDefault);
    EXPECT_FALSE(Find(lines, "RecordFileFolder")->isDefault);
}

TEST(SettingsListing, StoredListFontIsShown) {
    LayoutRecord layout;
    layout.listFontStored = 1;
    layout.listFont.height = -12;
    SetLogFontFaceName(layout.listFont, "Tahoma");
    EXPECT_EQ(LayoutRecordText(layout),
              "width=1200 height=700 listRowHeight=100 fieldTableWidth=100 listFont={height=-12 "
              "width=0 escapement=0 orientation=0 weight=0 italic=0 underline=0 strikeOut=0 "
              "charSet=0 outPrecision=0 clipPrecision=0 quality=0 pitchAndFamily=0 face=Tahoma}");
}

}  // namespace
