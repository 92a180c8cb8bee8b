#include "graph/measure_energy.h"

#include <algorithm>

#include "capture/saturating_math.h"

namespace {

EnergyMeasurement Report(const EnergySums& sums) {
    auto toMj = [](uint64_t v) { return static_cast<double>(v) / 1000 / 1000 / 1000; };
    return {sums, toMj(sums.positive), toMj(sums.negative)};
}

// The sample's point with its time on the graph's scale.
EnergyPoint PointAt(const DocumentSnapshot& doc, size_t i) {
    EnergyPoint point = EnergyPointOf(doc.samples.At(i));
    point.time = SaturatingSub(point.time, doc.timeOrigin);
    return point;
}

// Finds the start of the integration, the point at t1 between the last sample at or before it
// and the next one, and hands it with that next sample's index to integrate(start, next, sums).
// None without a sample at or before t1; zero energy without a sample after it.
template <typename Integrate>
std::optional<EnergyMeasurement> Measure(const DocumentSnapshot& doc, int64_t t1,
                                         Integrate integrate) {
    std::optional<size_t> s = doc.FindSample(t1);
    if (!s) {
        return std::nullopt;
    }
    EnergySums sums;
    if (*s + 1 < doc.samples.Size()) {
        EnergyPoint start = InterpolateEnergyPoint(PointAt(doc, *s), PointAt(doc, *s + 1), t1);
        integrate(start, *s + 1, sums);
    }
    return Report(sums);
}

}  // namespace

std::optional<EnergyMeasurement> MeasureEnergyReference(const DocumentSnapshot& doc, int64_t t1,
                                                        int64_t t2) {
    return Measure(doc, t1, [&](EnergyPoint previous, size_t next, EnergySums& sums) {
        for (size_t r = next; r < doc.samples.Size(); ++r) {
            EnergyPoint current = PointAt(doc, r);
            if (current.time > t2) {
                current = InterpolateEnergyPoint(previous, current, t2);
            }
            AccumulateSegment(sums, previous, current);
            previous = current;
            if (current.time >= t2) {
                break;
            }
        }
    });
}

std::optional<EnergyMeasurement> MeasureEnergy(const DocumentSnapshot& doc, int64_t t1,
                                               int64_t t2) {
    return Measure(doc, t1, [&](const EnergyPoint& start, size_t first, EnergySums& sums) {
        // The first sample at or after t2 ends the walk; without one the last sample does.
        size_t end = doc.FindSample(t2).value_or(first);
        if (end + 1 < doc.samples.Size() && PointAt(doc, end).time < t2) {
            ++end;
        }
        end = std::max(end, first);  // t2 before the next sample: one interpolated segment
        EnergyPoint firstPoint = PointAt(doc, first);
        if (end == first) {
            AccumulateSegment(
                sums, start,
                firstPoint.time > t2 ? InterpolateEnergyPoint(start, firstPoint, t2) : firstPoint);
            return;
        }
        // The segments between whole samples from the running sums, then the last one.
        AccumulateSegment(sums, start, firstPoint);
        sums += doc.samples.EnergyAt(end - 1) - doc.samples.EnergyAt(first);
        EnergyPoint beforeLast = PointAt(doc, end - 1);
        EnergyPoint last = PointAt(doc, end);
        if (last.time > t2) {
            last = InterpolateEnergyPoint(beforeLast, last, t2);
        }
        AccumulateSegment(sums, beforeLast, last);
    });
}
