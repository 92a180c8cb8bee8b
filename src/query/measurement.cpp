#include "query/measurement.h"

#include <algorithm>
#include <optional>

#include "graph/measure_energy.h"
#include "graph/measurement_text.h"

namespace {

// Samples whose graph time lies in [t1, t2].
size_t SamplesBetween(const DocumentSnapshot& doc, int64_t t1, int64_t t2) {
    std::optional<size_t> last = doc.FindSample(t2);
    if (!last) {
        return 0;
    }
    std::optional<size_t> before = doc.FindSample(t1 - 1);
    return *last + 1 - (before ? *before + 1 : 0);
}

}  // namespace

Measurement MeasureBetween(const DocumentSnapshot& doc, int64_t markerO, int64_t markerX,
                           bool reverseCurrent) {
    MeasurementInput input;
    input.markerOTime = markerO;
    input.markerXTime = markerX;
    input.showEnergy = true;
    input.reverseCurrent = reverseCurrent;
    Measurement result;
    result.text = MeasurementLines(doc, input).front().text;
    const int64_t t1 = std::min(markerO, markerX);
    const int64_t t2 = std::max(markerO, markerX);
    const std::optional<EnergyMeasurement> energy = MeasureEnergy(doc, t1, t2);
    const EnergyFigures figures = MeasuredEnergy(energy, markerO, markerX, reverseCurrent);
    result.energyMilliwattHours = figures.milliwattHours;
    result.averageWatts = figures.averageWatts;
    result.positiveMj = energy ? energy->positiveMj : 0.0;
    result.negativeMj = energy ? energy->negativeMj : 0.0;
    result.samples = SamplesBetween(doc, t1, t2);
    return result;
}
