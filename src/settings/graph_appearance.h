// The graph's own values in the settings section: the three graph-shown flags, which the graph
// reads when a view is built and writes back when it is destroyed, and the appearance values
// (colours, line widths, switches), which are only ever read.
#pragma once

#include <array>
#include <cstdint>

#include "settings/settings_backend.h"

struct GraphShownFlags {
    bool voltage = true;  // "EnableGraphVoltage"
    bool current = true;  // "EnableGraphCurrent"
    bool wattage = true;  // "EnableGraphWattage"

    bool operator==(const GraphShownFlags&) const = default;
};

inline constexpr const char* kGraphShownVoltageName = "EnableGraphVoltage";
inline constexpr const char* kGraphShownCurrentName = "EnableGraphCurrent";
inline constexpr const char* kGraphShownWattageName = "EnableGraphWattage";

GraphShownFlags ReadGraphShownFlags(const SettingsBackend& backend);
void WriteGraphShownFlags(SettingsBackend& backend, const GraphShownFlags& flags);

enum class GraphColour {
    VBusVol,
    VBusCurr,
    VBusWatt,
    CC1Vol,
    CC1Curr,
    CC1Watt,
    CC2Vol,
    CC2Curr,
    CC2Watt,
    GraphBG,
    VolBG,
    CurrBG,
    WattBG,
    VolAxis,
    CurrAxis,
    WattAxis,
    Graph,
    TimeAxis,
    VRdUSB,
    VRd15,
    VRd30,
    PDBG,
    Cursor,
    MarkerO,
    MarkerX,
};
inline constexpr int kGraphColourCount = 25;

enum class GraphLineWidth {
    VBusVol,
    CC1Vol,
    CC2Vol,
    VBusCurr,
    CC1Curr,
    CC2Curr,
    VBusWatt,
    CC1Watt,
    CC2Watt,
};
inline constexpr int kGraphLineWidthCount = 9;

enum class GraphSwitch {
    VolBG,
    CurrBG,
    WattBG,
    VRdUSBBG,
    VRd15BG,
    VRd30BG,
    PDBG,
    TimeAxis,
    VolAxis,
    CurrAxis,
    WattAxis,
};
inline constexpr int kGraphSwitchCount = 11;

// A stored value name and the value used when it is absent.
struct AppearanceKey {
    const char* name;
    int32_t defaultValue;
};
const AppearanceKey& ColourKey(GraphColour colour);
const AppearanceKey& LineWidthKey(GraphLineWidth width);
const AppearanceKey& SwitchKey(GraphSwitch graphSwitch);

struct RgbColour {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;

    bool operator==(const RgbColour&) const = default;
};
// Stored colours hold red in the low byte, then green, then blue.
RgbColour ColourFromSetting(int32_t stored);

struct GraphAppearance {
    std::array<int32_t, kGraphColourCount> colours{};  // stored form
    std::array<int32_t, kGraphLineWidthCount> lineWidths{};
    std::array<bool, kGraphSwitchCount> switches{};

    RgbColour Colour(GraphColour colour) const;
    int32_t StoredColour(GraphColour colour) const;
    int32_t LineWidth(GraphLineWidth width) const;
    bool IsOn(GraphSwitch graphSwitch) const;

    bool operator==(const GraphAppearance&) const = default;
};

GraphAppearance DefaultGraphAppearance();
// Every value that is absent (or not an integer) takes its default; a non-zero switch is on.
GraphAppearance ReadGraphAppearance(const SettingsBackend& backend);
