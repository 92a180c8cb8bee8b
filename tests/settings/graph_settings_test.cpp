// The graph's values in the settings section: shown flags and appearance defaults.
#include <gtest/gtest.h>

#include "settings/graph_appearance.h"
#include "settings/memory_settings_backend.h"

namespace {

TEST(GraphShownFlags, DefaultToShownAndAreWrittenBack) {
    MemorySettingsBackend backend;
    EXPECT_EQ(ReadGraphShownFlags(backend), (GraphShownFlags{true, true, true}));

    WriteGraphShownFlags(backend, {true, false, false});
    EXPECT_EQ(backend.ReadInteger("EnableGraphVoltage"), 1);
    EXPECT_EQ(backend.ReadInteger("EnableGraphCurrent"), 0);
    EXPECT_EQ(backend.ReadInteger("EnableGraphWattage"), 0);
    EXPECT_EQ(ReadGraphShownFlags(backend), (GraphShownFlags{true, false, false}));

    backend.WriteInteger("EnableGraphCurrent", 2);
    EXPECT_TRUE(ReadGraphShownFlags(backend).current);
}

struct ColourCase {
    GraphColour colour;
    const char* key;
    int32_t stored;
    RgbColour rgb;
};

TEST(GraphAppearance, EmptyStoreGivesEveryDefaultColour) {
    const ColourCase cases[] = {
        {GraphColour::VBusVol, "ColorVBusVol", 255, {255, 0, 0}},
        {GraphColour::VBusCurr, "ColorVBusCurr", 16711680, {0, 0, 255}},
        {GraphColour::VBusWatt, "ColorVBusWatt", 42495, {255, 165, 0}},
        {GraphColour::CC1Vol, "ColorCC1Vol", 65280, {0, 255, 0}},
        {GraphColour::CC1Curr, "ColoCC1Curr", 16776960, {0, 255, 255}},
        {GraphColour::CC1Watt, "ColorCC1Watt", 13158400, {0, 200, 200}},
        {GraphColour::CC2Vol, "ColorCC2Vol", 65535, {255, 255, 0}},
        {GraphColour::CC2Curr, "ColorCC2Curr", 16711935, {255, 0, 255}},
        {GraphColour::CC2Watt, "ColorCC2Watt", 13107400, {200, 0, 200}},
        {GraphColour::GraphBG, "ColorGraphBG", 0, {0, 0, 0}},
        {GraphColour::VolBG, "ColorVolBG", 3289600, {0, 50, 50}},
        {GraphColour::CurrBG, "ColorCurrBG", 12850, {50, 50, 0}},
        {GraphColour::WattBG, "ColorWattBG", 3276850, {50, 0, 50}},
        {GraphColour::VolAxis, "ColorVolAxis", 180, {180, 0, 0}},
        {GraphColour::CurrAxis, "ColorCurrAxis", 11796480, {0, 0, 180}},
        {GraphColour::WattAxis, "ColorWattAxis", 21120, {128, 82, 0}},
        {GraphColour::Graph, "ColorGraph", 16777215, {255, 255, 255}},
        {GraphColour::TimeAxis, "ColorTimeAxis", 6579300, {100, 100, 100}},
        {GraphColour::VRdUSB, "ColorvRdUSB", 1978930, {50, 50, 30}},
        {GraphColour::VRd15, "ColorvRd15", 3284530, {50, 30, 50}},
        {GraphColour::VRd30, "ColorvRd30", 1978910, {30, 50, 30}},
        {GraphColour::PDBG, "ColorPDBG", 1973790, {30, 30, 30}},
        {GraphColour::Cursor, "ColorCursor", 16777215, {255, 255, 255}},
        {GraphColour::MarkerO, "ColorMarkerO", 13158600, {200, 200, 200}},
        {GraphColour::MarkerX, "ColorMarkerX", 16776960, {0, 255, 255}},
    };
    static_assert(std::size(cases) == kGraphColourCount);
    MemorySettingsBackend backend;
    const GraphAppearance appearance = ReadGraphAppearance(backend);
    EXPECT_EQ(appearance, DefaultGraphAppearance());
    for (const ColourCase& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_STREQ(ColourKey(c.colour).name, c.key);
        EXPECT_EQ(appearance.StoredColour(c.colour), c.stored);
        EXPECT_EQ(appearance.Colour(c.colour), c.rgb);
    }
}

TEST(GraphAppearance, EmptyStoreGivesDefaultWidthsAndSwitches) {
    const GraphAppearance appearance = ReadGraphAppearance(MemorySettingsBackend{});
    EXPECT_EQ(appearance.LineWidth(GraphLineWidth::VBusVol), 3);
    EXPECT_EQ(appearance.LineWidth(GraphLineWidth::VBusCurr), 3);
    for (GraphLineWidth thin :
         {GraphLineWidth::CC1Vol, GraphLineWidth::CC2Vol, GraphLineWidth::CC1Curr,
          GraphLineWidth::CC2Curr, GraphLineWidth::VBusWatt, GraphLineWidth::CC1Watt,
          GraphLineWidth::CC2Watt}) {
        EXPECT_EQ(appearance.LineWidth(thin), 1) << LineWidthKey(thin).name;
    }
    for (int i = 0; i < kGraphSwitchCount; ++i) {
        EXPECT_TRUE(appearance.IsOn(static_cast<GraphSwitch>(i)))
            << SwitchKey(static_cast<GraphSwitch>(i)).name;
    }
    EXPECT_STREQ(LineWidthKey(GraphLineWidth::CC2Watt).name, "CC2WattBold");
    EXPECT_STREQ(SwitchKey(GraphSwitch::VRd15BG).name, "vRd15BGEnabled");
    EXPECT_STREQ(SwitchKey(GraphSwitch::TimeAxis).name, "TimeAxisEnabled");
}

TEST(GraphAppearance, StoredValuesReplaceDefaults) {
    MemorySettingsBackend backend;
    backend.WriteInteger("ColorVBusCurr", 65280);
    backend.WriteInteger("VolAxisEnabled", 0);
    backend.WriteInteger("PDBGEnabled", -3);
    backend.WriteInteger("CC1CurrBold", 4);
    backend.WriteText("ColorGraphBG", "junk");  // not an integer: default
    const GraphAppearance appearance = ReadGraphAppearance(backend);
    EXPECT_EQ(appearance.Colour(GraphColour::VBusCurr), (RgbColour{0, 255, 0}));
    EXPECT_FALSE(appearance.IsOn(GraphSwitch::VolAxis));
    EXPECT_TRUE(appearance.IsOn(GraphSwitch::PDBG));
    EXPECT_EQ(appearance.LineWidth(GraphLineWidth::CC1Curr), 4);
    EXPECT_EQ(appearance.Colour(GraphColour::GraphBG), (RgbColour{0, 0, 0}));
    // The top byte of a stored colour plays no part.
    EXPECT_EQ(ColourFromSetting(static_cast<int32_t>(0xFF0000FFu)), (RgbColour{255, 0, 0}));
}

}  // namespace
