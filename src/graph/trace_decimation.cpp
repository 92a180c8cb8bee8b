#include "graph/trace_decimation.h"

#include <algorithm>
#include <optional>

#include "capture/saturating_math.h"

namespace {

PlotValue ValueOf(TraceKind trace) {
    switch (trace) {
        case TraceKind::VBusVol:
            return PlotValue::VbusVoltage;
        case TraceKind::VBusCurr:
            return PlotValue::VbusCurrent;
        case TraceKind::CC1Vol:
            return PlotValue::Cc1Voltage;
        case TraceKind::CC1Curr:
            return PlotValue::Cc1Current;
        case TraceKind::CC2Vol:
            return PlotValue::Cc2Voltage;
        case TraceKind::CC2Curr:
            return PlotValue::Cc2Current;
        case TraceKind::VBusWatt:
            return PlotValue::VbusPower;
        case TraceKind::CC1Watt:
            return PlotValue::Cc1Power;
        case TraceKind::CC2Watt:
            return PlotValue::Cc2Power;
    }
    return PlotValue::VbusVoltage;
}

enum class Graph { Voltage, Current, Wattage };

Graph GraphOf(TraceKind trace) {
    switch (trace) {
        case TraceKind::VBusVol:
        case TraceKind::CC1Vol:
        case TraceKind::CC2Vol:
            return Graph::Voltage;
        case TraceKind::VBusCurr:
        case TraceKind::CC1Curr:
        case TraceKind::CC2Curr:
            return Graph::Current;
        default:
            return Graph::Wattage;
    }
}

// The VBUS reading a peak mark looks for.
struct PeakReading {
    int32_t voltage;
    int32_t current;
};

// Everything that maps one trace's samples to pixels.
class TraceMapping {
  public:
    TraceMapping(const TraceInput& input, TraceKind trace)
        : samples_(input.document.samples),
          origin_(input.document.timeOrigin),
          leftTime_(input.state.leftTime),
          timeScale_(input.state.timeScale),
          graphLeft_(input.layout.graphLeft),
          value_(ValueOf(trace)) {
        const GraphViewState& s = input.state;
        switch (GraphOf(trace)) {
            case Graph::Voltage:
                scale_ = s.voltScale;
                zero_ = input.layout.yV0;
                break;
            case Graph::Current:
                scale_ = s.currScale;
                zero_ = input.layout.yI0;
                negate_ = s.reverseCurrent != s.invertCurrent;
                break;
            case Graph::Wattage:
                scale_ = s.wattScale;
                zero_ = input.layout.yW0;
                negate_ = s.reverseCurrent != s.invertCurrent;
                break;
        }
        if (trace == TraceKind::VBusVol || trace == TraceKind::VBusCurr ||
            trace == TraceKind::VBusWatt) {
            const SampleStats& stats = input.document.stats;
            if (stats.maxVbusPower != 0) {
                peaks_.push_back({stats.maxVbusPowerVoltage, stats.maxVbusPowerCurrent});
            }
            if (stats.minVbusPower != 0) {
                peaks_.push_back({stats.minVbusPowerVoltage, stats.minVbusPowerCurrent});
            }
        }
    }

    const SampleSnapshot& Samples() const { return samples_; }
    PlotValue Value() const { return value_; }
    const std::vector<PeakReading>& Peaks() const { return peaks_; }

    int64_t GraphTime(size_t i) const { return SaturatingSub(samples_.Time(i), origin_); }
    int Column(size_t i) const { return ColumnOfStoredTime(samples_.Time(i)); }
    int ColumnOfStoredTime(int64_t time) const {
        int64_t graphTime = SaturatingSub(time, origin_);
        return TruncToInt(static_cast<float>(SaturatingSub(graphTime, leftTime_)) * timeScale_);
    }
    // Pixels above the zero line of a stored value.
    int Offset(int32_t stored) const {
        int32_t displayed = negate_ ? -stored : stored;
        return TruncToInt(static_cast<float>(displayed) * scale_);
    }
    int OffsetOf(size_t i) const { return Offset(PlotValueOf(samples_.At(i), value_)); }
    TracePoint Point(int column, int offset) const {
        auto clamp = [](int64_t v) {
            return static_cast<int>(std::clamp<int64_t>(v, -(int64_t{1} << 30), int64_t{1} << 30));
        };
        return {clamp(int64_t{graphLeft_} + column), clamp(int64_t{zero_} - offset)};
    }
    bool IsPeak(const StoredSample& s, const PeakReading& peak) const {
        return s.vbusVoltage == peak.voltage && s.vbusCurrent == peak.current;
    }

  private:
    const SampleSnapshot& samples_;
    int64_t origin_;
    int64_t leftTime_;
    float timeScale_;
    int graphLeft_;
    PlotValue value_;
    float scale_ = 0;
    int zero_ = 0;
    bool negate_ = false;
    std::vector<PeakReading> peaks_;
};

// The samples a trace visits: from the one before the last at or before leftTime to the first
// after rightTime.
struct VisitRange {
    size_t first;
    size_t last;
};

std::optional<VisitRange> VisitedSamples(const TraceInput& input) {
    const DocumentSnapshot& doc = input.document;
    if (doc.samples.Empty()) {
        return std::nullopt;
    }
    size_t lastIndex = doc.samples.Size() - 1;
    std::optional<size_t> j = doc.FindSample(input.state.rightTime);
    if (!j) {
        return VisitRange{0, lastIndex};
    }
    size_t k = doc.FindSample(input.state.leftTime).value_or(0);
    return VisitRange{k == 0 ? 0 : k - 1, std::min(*j + 1, lastIndex)};
}

// Appends p unless it repeats the previous point.
void AddPoint(std::vector<TracePoint>& points, TracePoint p) {
    if (points.empty() || points.back() != p) {
        points.push_back(p);
    }
}

// The last index in [first, end] whose column is at most x, where first's column is x:
// gallops from a guess in the direction the guess is off, then bisects the bracket found.
size_t LastInColumn(const TraceMapping& map, size_t first, size_t end, int x, size_t guess) {
    auto inColumn = [&](size_t k) { return map.Column(k) <= x; };
    size_t g = std::clamp(guess, first, end);
    size_t lo = g;      // in the column
    size_t hi = g + 1;  // beyond it, or end + 1
    if (inColumn(g)) {
        for (size_t step = 1; hi <= end && inColumn(hi); step *= 2) {
            lo = hi;
            hi = lo + step > end ? end + 1 : lo + step;
        }
    } else {
        hi = g;
        lo = g - 1;  // g > first, whose column is x
        for (size_t step = 2; !inColumn(lo); step *= 2) {
            hi = lo;
            lo = hi - first > step ? hi - step : first;
        }
    }
    while (hi - lo > 1) {
        size_t mid = lo + (hi - lo) / 2;
        (inColumn(mid) ? lo : hi) = mid;
    }
    return lo;
}

// Samples in one column, interpolated from the visited range's mean sampling rate.
size_t FirstColumnGuess(const TraceMapping& map, size_t first, size_t end, float timeScale) {
    double span =
        static_cast<double>(map.GraphTime(end)) - static_cast<double>(map.GraphTime(first));
    if (end == first || span <= 0 || !(timeScale > 0)) {  // NaN and zero scales included
        return 1;
    }
    double perColumn = static_cast<double>(end - first) / span / static_cast<double>(timeScale);
    return static_cast<size_t>(std::clamp(perColumn, 1.0, static_cast<double>(end - first + 1)));
}

}  // namespace

bool IsTraceDrawn(const GraphViewState& s, TraceKind trace) {
    switch (trace) {
        case TraceKind::VBusVol:
            return s.showVoltGraph && s.traceVBusVol;
        case TraceKind::VBusCurr:
            return s.showCurrGraph && s.traceVBusCurr;
        case TraceKind::CC1Vol:
            return s.showVoltGraph && s.traceCC1Vol;
        case TraceKind::CC1Curr:
            return s.showCurrGraph && s.traceCC1Curr;
        case TraceKind::CC2Vol:
            return s.showVoltGraph && s.traceCC2Vol;
        case TraceKind::CC2Curr:
            return s.showCurrGraph && s.traceCC2Curr;
        case TraceKind::VBusWatt:
            return s.showWattGraph;
        case TraceKind::CC1Watt:
            return s.showWattGraph && s.traceCC1Curr;
        case TraceKind::CC2Watt:
            return s.showWattGraph && s.traceCC2Curr;
    }
    return false;
}

TraceDrawing DecimateTraceReference(const TraceInput& input, TraceKind trace) {
    TraceDrawing drawing;
    std::optional<VisitRange> range = VisitedSamples(input);
    if (!range) {
        return drawing;
    }
    TraceMapping map(input, trace);
    const bool points = input.state.measuringPointsShown;
    auto drawTo = [&](TracePoint p) {
        drawing.polyline.push_back(p);
        if (points) {
            drawing.measuringPoints.push_back(p);
        }
    };
    std::vector<bool> peakFound(map.Peaks().size(), false);
    std::optional<int> px;
    int columnMin = 0;
    int columnMax = 0;
    int lastOffset = 0;
    int afterRight = 0;
    for (size_t i = range->first; i <= range->last; ++i) {
        if (map.GraphTime(i) > input.state.rightTime && ++afterRight == 2) {
            break;
        }
        int x = map.Column(i);
        int v = map.OffsetOf(i);
        bool marked = false;
        for (size_t p = 0; p < peakFound.size(); ++p) {
            if (!peakFound[p] && map.IsPeak(map.Samples().At(i), map.Peaks()[p])) {
                peakFound[p] = true;
                marked = true;
                drawing.peakMarks.push_back(map.Point(x, v));
            }
        }
        if (i == range->first) {
            drawTo(map.Point(x, v));
            columnMin = columnMax = v;
        } else if (!px || x != *px) {
            if (px) {
                drawTo(map.Point(*px, lastOffset));
            }
            drawTo(map.Point(x, v));
            columnMin = columnMax = v;
            px = x;
        } else if (v < columnMin || v > columnMax || marked) {
            columnMin = std::min(columnMin, v);
            columnMax = std::max(columnMax, v);
            drawTo(map.Point(x, v));
        }
        lastOffset = v;
    }
    return drawing;
}

TraceDrawing DecimateTrace(const TraceInput& input, TraceKind trace) {
    // Measuring points mark every point the walk draws to, which only the walk itself knows.
    // The column searches need columns that never decrease with time, which a negative time
    // scale (no operation sets one, but the state does not forbid it) would break.
    if (input.state.measuringPointsShown || input.state.timeScale < 0) {
        return DecimateTraceReference(input, trace);
    }
    TraceDrawing drawing;
    std::optional<VisitRange> range = VisitedSamples(input);
    if (!range) {
        return drawing;
    }
    TraceMapping map(input, trace);
    const SampleSnapshot& samples = map.Samples();
    size_t end = range->last;
    // Times are in order: only the first sample after rightTime can be among those visited.
    // With no sample at or before rightTime that first one is all the walk draws.
    if (map.GraphTime(range->first) > input.state.rightTime) {
        end = range->first;
    }
    for (const PeakReading& peak : map.Peaks()) {
        if (auto i = samples.FindVbusReading(range->first, end, peak.voltage, peak.current)) {
            drawing.peakMarks.push_back(map.Point(map.Column(*i), map.OffsetOf(*i)));
        }
    }
    size_t count = FirstColumnGuess(map, range->first, end, input.state.timeScale);
    for (size_t i = range->first; i <= end;) {
        int x = map.Column(i);
        // Columns grow with time; with a nearly steady sampling interval a column holds about
        // as many samples as the one before, so the search starts from that guess.
        size_t inside = LastInColumn(map, i, end, x, i + count - 1);
        count = inside - i + 1;
        if (inside + count <= end) {
            samples.Prefetch(inside + count);  // where the next column probably ends
        }
        ValueExtremes extremes = samples.Extremes(i, inside, map.Value());
        int a = map.Offset(extremes.min);
        int b = map.Offset(extremes.max);
        AddPoint(drawing.polyline, map.Point(x, map.OffsetOf(i)));
        AddPoint(drawing.polyline, map.Point(x, std::min(a, b)));
        AddPoint(drawing.polyline, map.Point(x, std::max(a, b)));
        AddPoint(drawing.polyline, map.Point(x, map.OffsetOf(inside)));
        i = inside + 1;
    }
    return drawing;
}
