// The graph's "O to X" measurement between two graph times, as zoduz-cli measure prints it: the
// line with the energy and average power, the figures behind it, the energy in and against the
// recorded current direction and the number of samples between the two times.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "capture/document_snapshot.h"

struct Measurement {
    std::string text;  // "O to X : ... (E[mWh] Ave=P[W])"
    float energyMilliwattHours = 0;
    float averageWatts = 0;
    double positiveMj = 0;
    double negativeMj = 0;
    size_t samples = 0;  // samples whose graph time lies between the two times
};

// markerO and markerX are graph times (relative to the time origin), in either order.
Measurement MeasureBetween(const DocumentSnapshot& doc, int64_t markerO, int64_t markerX,
                           bool reverseCurrent);
