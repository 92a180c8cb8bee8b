#include "graph/measurement_text.h"

#include <algorithm>
#include <cstdio>

#include "capture/saturating_math.h"
#include "columns/column_text.h"

namespace {

std::string Line(const char* label, int64_t microseconds) {
    return std::string(label) + " : " + FormatTime(microseconds);
}

}  // namespace

EnergyFigures MeasuredEnergy(const std::optional<EnergyMeasurement>& energy, int64_t markerOTime,
                             int64_t markerXTime, bool reverseCurrent) {
    float e = 0;
    if (energy) {
        e = static_cast<float>(energy->positiveMj) - static_cast<float>(energy->negativeMj);
    }
    EnergyFigures figures;
    figures.milliwattHours = e / 3600;
    if (markerXTime != markerOTime) {
        figures.averageWatts =
            e / static_cast<float>(SaturatingSub(markerXTime, markerOTime)) * 1000;
    }
    if (reverseCurrent && figures.milliwattHours != 0) {
        figures.milliwattHours = -figures.milliwattHours;
        figures.averageWatts = -figures.averageWatts;
    }
    return figures;
}

std::string EnergyText(const std::optional<EnergyMeasurement>& energy, int64_t markerOTime,
                       int64_t markerXTime, bool reverseCurrent) {
    const EnergyFigures figures = MeasuredEnergy(energy, markerOTime, markerXTime, reverseCurrent);
    const float mWh = figures.milliwattHours;
    bool wattHours = !(-1'000'000.0f < mWh && mWh < 1'000'000.0f);
    float shown = wattHours ? mWh / 1000 : mWh;
    char buffer[128];
    std::snprintf(buffer, sizeof buffer,
                  wattHours ? " (%.2f[Wh] Ave=%.2f[W]" : " (%.2f[mWh] Ave=%.2f[W])",
                  static_cast<double>(shown), static_cast<double>(figures.averageWatts));
    return buffer;
}

std::vector<MeasurementLine> MeasurementLines(const DocumentSnapshot& doc,
                                              const MeasurementInput& input) {
    std::vector<MeasurementLine> lines;
    std::string ox = Line("O to X", SaturatingSub(input.markerXTime, input.markerOTime));
    if (input.showEnergy) {
        int64_t t1 = std::min(input.markerOTime, input.markerXTime);
        int64_t t2 = std::max(input.markerOTime, input.markerXTime);
        ox += EnergyText(MeasureEnergy(doc, t1, t2), input.markerOTime, input.markerXTime,
                         input.reverseCurrent);
    }
    lines.push_back({ox, MeasurementColour::MarkerX});
    if (input.markerATime) {
        lines.push_back({Line("O to A", SaturatingSub(*input.markerATime, input.markerOTime)),
                         MeasurementColour::MarkerA});
    }
    if (input.markerBTime) {
        lines.push_back({Line("O to B", SaturatingSub(*input.markerBTime, input.markerOTime)),
                         MeasurementColour::MarkerB});
    }
    return lines;
}
