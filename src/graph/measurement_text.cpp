#include "graph/measurement_text.h"

#include <algorithm>
#include <cstdio>

#include "capture/saturating_math.h"
#include "pd/columns/column_text.h"

namespace {

std::string Line(const char* label, int64_t microseconds) {
    return std::string(label) + " : " + FormatTime(microseconds);
}

}  // namespace

std::string EnergyText(const std::optional<EnergyMeasurement>& energy, int64_t markerOTime,
                       int64_t markerXTime, bool reverseCurrent) {
    float e = 0;
    if (energy) {
        e = static_cast<float>(energy->positiveMj) - static_cast<float>(energy->negativeMj);
    }
    float mWh = e / 3600;
    float average = 0;
    if (markerXTime != markerOTime) {
        average = e / static_cast<float>(SaturatingSub(markerXTime, markerOTime)) * 1000;
    }
    bool wattHours = !(-1'000'000.0f < mWh && mWh < 1'000'000.0f);
    float shown = wattHours ? mWh / 1000 : mWh;
    if (reverseCurrent && shown != 0) {
        shown = -shown;
        average = -average;
    }
    char buffer[128];
    std::snprintf(buffer, sizeof buffer,
                  wattHours ? " (%.2f[Wh] Ave=%.2f[W]" : " (%.2f[mWh] Ave=%.2f[W])",
                  static_cast<double>(shown), static_cast<double>(average));
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
