// The measurement lines under the graph: "O to X" with the energy and average power between the
// two graph markers, "O to A" and "O to B" to the list's marker packets.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "graph/measure_energy.h"

// The energy between the markers in mWh and the average power in W, as the energy text shows
// them (single precision, negated with reverseCurrent). No energy counts as zero.
struct EnergyFigures {
    float milliwattHours = 0;
    float averageWatts = 0;
};
EnergyFigures MeasuredEnergy(const std::optional<EnergyMeasurement>& energy, int64_t markerOTime,
                             int64_t markerXTime, bool reverseCurrent);

// " (%.2f[mWh] Ave=%.2f[W])", or the Wh form (without its closing parenthesis) from
// 1,000,000 mWh on. No energy (no sample at or before the earlier marker) counts as zero.
std::string EnergyText(const std::optional<EnergyMeasurement>& energy, int64_t markerOTime,
                       int64_t markerXTime, bool reverseCurrent);

enum class MeasurementColour { MarkerX, MarkerA, MarkerB };

struct MeasurementLine {
    std::string text;
    MeasurementColour colour;
};

struct MeasurementInput {
    int64_t markerOTime = 0;
    int64_t markerXTime = 0;
    std::optional<int64_t> markerATime;  // graph times of the list's marker packets
    std::optional<int64_t> markerBTime;
    bool showEnergy = false;  // the wattage graph is shown
    bool reverseCurrent = false;
};

std::vector<MeasurementLine> MeasurementLines(const DocumentSnapshot& doc,
                                              const MeasurementInput& input);
