// Energy between two graph times over the document's VBUS samples: the trapezoid rule on the
// power, interpolated at both ends, split at the current's zero crossings into the energy in
// the recorded current direction (positive) and against it (negative).
#pragma once

#include <cstdint>
#include <optional>

#include "capture/document_snapshot.h"
#include "capture/energy_segment.h"

struct EnergyMeasurement {
    EnergySums sums;  // µW·µs
    double positiveMj = 0;
    double negativeMj = 0;
};

// t1 <= t2, graph times. None when no sample lies at or before t1. The reference walks every
// sample between the two times.
std::optional<EnergyMeasurement> MeasureEnergyReference(const DocumentSnapshot& doc, int64_t t1,
                                                        int64_t t2);
// The same result from the store's running energy sums: two bisections and the end segments.
std::optional<EnergyMeasurement> MeasureEnergy(const DocumentSnapshot& doc, int64_t t1, int64_t t2);
