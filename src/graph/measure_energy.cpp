#include "graph/measure_energy.h"

#include "graph/float_math.h"

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

}  // namespace

std::optional<EnergyMeasurement> MeasureEnergyReference(const DocumentSnapshot& doc, int64_t t1,
                                                        int64_t t2) {
    std::optional<size_t> s = doc.FindSample(t1);
    if (!s) {
        return std::nullopt;
    }
    EnergySums sums;
    size_t count = doc.samples.Size();
    if (*s + 1 >= count) {
        return Report(sums);
    }
    EnergyPoint previous = InterpolateEnergyPoint(PointAt(doc, *s), PointAt(doc, *s + 1), t1);
    for (size_t r = *s + 1; r < count; ++r) {
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
    return Report(sums);
}

std::optional<EnergyMeasurement> MeasureEnergy(const DocumentSnapshot& doc, int64_t t1,
                                               int64_t t2) {
    std::optional<size_t> s = doc.FindSample(t1);
    if (!s) {
        return std::nullopt;
    }
    EnergySums sums;
    size_t count = doc.samples.Size();
    if (*s + 1 >= count) {
        return Report(sums);
    }
    EnergyPoint start = InterpolateEnergyPoint(PointAt(doc, *s), PointAt(doc, *s + 1), t1);
    // The first sample at or after t2 ends the walk; without one the last sample does.
    std::optional<size_t> beforeT2 = doc.FindSample(t2);
    size_t end = *beforeT2;
    if (end + 1 < count && PointAt(doc, end).time < t2) {
        ++end;
    }
    size_t first = *s + 1;
    if (end < first) {
        end = first;  // t2 lies before the next sample: one interpolated segment
    }
    EnergyPoint firstPoint = PointAt(doc, first);
    if (end == first) {
        EnergyPoint last =
            firstPoint.time > t2 ? InterpolateEnergyPoint(start, firstPoint, t2) : firstPoint;
        AccumulateSegment(sums, start, last);
        return Report(sums);
    }
    AccumulateSegment(sums, start, firstPoint);
    sums += doc.samples.EnergyAt(end - 1) - doc.samples.EnergyAt(first);
    EnergyPoint beforeLast = PointAt(doc, end - 1);
    EnergyPoint last = PointAt(doc, end);
    if (last.time > t2) {
        last = InterpolateEnergyPoint(beforeLast, last, t2);
    }
    AccumulateSegment(sums, beforeLast, last);
    return Report(sums);
}
