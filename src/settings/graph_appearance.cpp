#include "settings/graph_appearance.h"

namespace {

// In the order of the enums.
constexpr std::array<AppearanceKey, kGraphColourCount> kColourKeys = {{
    {"ColorVBusVol", 255},      {"ColorVBusCurr", 16711680}, {"ColorVBusWatt", 42495},
    {"ColorCC1Vol", 65280},     {"ColoCC1Curr", 16776960},   {"ColorCC1Watt", 13158400},
    {"ColorCC2Vol", 65535},     {"ColorCC2Curr", 16711935},  {"ColorCC2Watt", 13107400},
    {"ColorGraphBG", 0},        {"ColorVolBG", 3289600},     {"ColorCurrBG", 12850},
    {"ColorWattBG", 3276850},   {"ColorVolAxis", 180},       {"ColorCurrAxis", 11796480},
    {"ColorWattAxis", 21120},   {"ColorGraph", 16777215},    {"ColorTimeAxis", 6579300},
    {"ColorvRdUSB", 1978930},   {"ColorvRd15", 3284530},     {"ColorvRd30", 1978910},
    {"ColorPDBG", 1973790},     {"ColorCursor", 16777215},   {"ColorMarkerO", 13158600},
    {"ColorMarkerX", 16776960},
}};

constexpr std::array<AppearanceKey, kGraphLineWidthCount> kLineWidthKeys = {{
    {"VBusVolBold", 3},
    {"CC1VolBold", 1},
    {"CC2VolBold", 1},
    {"VBusCurrBold", 3},
    {"CC1CurrBold", 1},
    {"CC2CurrBold", 1},
    {"VBusWattBold", 1},
    {"CC1WattBold", 1},
    {"CC2WattBold", 1},
}};

constexpr std::array<AppearanceKey, kGraphSwitchCount> kSwitchKeys = {{
    {"VolBGEnabled", 1},
    {"CurrBGEnabled", 1},
    {"WattBGEnabled", 1},
    {"vRdUSBBGEnabled", 1},
    {"vRd15BGEnabled", 1},
    {"vRd30BGEnabled", 1},
    {"PDBGEnabled", 1},
    {"TimeAxisEnabled", 1},
    {"VolAxisEnabled", 1},
    {"CurrAxisEnabled", 1},
    {"WattAxisEnabled", 1},
}};

int32_t ReadKey(const SettingsBackend& backend, const AppearanceKey& key) {
    return backend.ReadInteger(key.name).value_or(key.defaultValue);
}

bool ReadFlag(const SettingsBackend& backend, const char* name) {
    return backend.ReadInteger(name).value_or(1) != 0;
}

}  // namespace

GraphShownFlags ReadGraphShownFlags(const SettingsBackend& backend) {
    return {ReadFlag(backend, kGraphShownVoltageName), ReadFlag(backend, kGraphShownCurrentName),
            ReadFlag(backend, kGraphShownWattageName)};
}

void WriteGraphShownFlags(SettingsBackend& backend, const GraphShownFlags& flags) {
    backend.WriteInteger(kGraphShownVoltageName, flags.voltage ? 1 : 0);
    backend.WriteInteger(kGraphShownCurrentName, flags.current ? 1 : 0);
    backend.WriteInteger(kGraphShownWattageName, flags.wattage ? 1 : 0);
}

const AppearanceKey& ColourKey(GraphColour colour) {
    return kColourKeys[static_cast<size_t>(colour)];
}

const AppearanceKey& LineWidthKey(GraphLineWidth width) {
    return kLineWidthKeys[static_cast<size_t>(width)];
}

const AppearanceKey& SwitchKey(GraphSwitch graphSwitch) {
    return kSwitchKeys[static_cast<size_t>(graphSwitch)];
}

RgbColour ColourFromSetting(int32_t stored) {
    const auto bits = static_cast<uint32_t>(stored);
    return {static_cast<uint8_t>(bits), static_cast<uint8_t>(bits >> 8),
            static_cast<uint8_t>(bits >> 16)};
}

RgbColour GraphAppearance::Colour(GraphColour colour) const {
    return ColourFromSetting(StoredColour(colour));
}

int32_t GraphAppearance::StoredColour(GraphColour colour) const {
    return colours[static_cast<size_t>(colour)];
}

int32_t GraphAppearance::LineWidth(GraphLineWidth width) const {
    return lineWidths[static_cast<size_t>(width)];
}

bool GraphAppearance::IsOn(GraphSwitch graphSwitch) const {
    return switches[static_cast<size_t>(graphSwitch)];
}

GraphAppearance DefaultGraphAppearance() {
    GraphAppearance appearance;
    for (size_t i = 0; i < kColourKeys.size(); ++i) {
        appearance.colours[i] = kColourKeys[i].defaultValue;
    }
    for (size_t i = 0; i < kLineWidthKeys.size(); ++i) {
        appearance.lineWidths[i] = kLineWidthKeys[i].defaultValue;
    }
    for (size_t i = 0; i < kSwitchKeys.size(); ++i) {
        appearance.switches[i] = kSwitchKeys[i].defaultValue != 0;
    }
    return appearance;
}

GraphAppearance ReadGraphAppearance(const SettingsBackend& backend) {
    GraphAppearance appearance;
    for (size_t i = 0; i < kColourKeys.size(); ++i) {
        appearance.colours[i] = ReadKey(backend, kColourKeys[i]);
    }
    for (size_t i = 0; i < kLineWidthKeys.size(); ++i) {
        appearance.lineWidths[i] = ReadKey(backend, kLineWidthKeys[i]);
    }
    for (size_t i = 0; i < kSwitchKeys.size(); ++i) {
        appearance.switches[i] = ReadKey(backend, kSwitchKeys[i]) != 0;
    }
    return appearance;
}
