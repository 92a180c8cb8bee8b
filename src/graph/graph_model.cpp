#include "graph/graph_model.h"

#include <algorithm>
#include <utility>

#include "capture/saturating_math.h"

namespace {

// trunc(a * k * 0.5) in double precision: a = 100 gives 19.
int FitMargin(int a) {
    return TruncToInt(a * kFitFraction * 0.5);
}

int64_t Midpoint(int64_t a, int64_t b) {
    return static_cast<int64_t>((static_cast<__int128>(a) + b) / 2);
}

void Order(int32_t& lo, int32_t& hi) {
    if (lo > hi) {
        std::swap(lo, hi);
    }
}

}  // namespace

HeightSplit SplitHeight(int h, bool volt, bool curr, bool watt) {
    int shown = int{volt} + int{curr} + int{watt};
    HeightSplit split;
    if (shown == 0) {
        return split;
    }
    split.a = h / shown;
    if (shown == 3) {
        split.voltBase = 2 * split.a;
        split.currBase = split.a;
    } else if (shown == 2) {
        // The upper of the two shown graphs stands on the lower one.
        split.voltBase = split.a;
        split.currBase = volt ? 0 : split.a;
    }
    return split;
}

bool GraphModel::Layout(int windowWidth, int windowHeight, bool forced) {
    GraphLayout next;
    next.windowWidth = windowWidth;
    next.windowHeight = windowHeight;
    next.bottomMargin = GraphBottomMargin(state.fontHeight);
    next.graphWidth = std::max(1, windowWidth - 2 * kGraphSideMargin);
    next.graphHeight = std::max(1, windowHeight - kGraphTopMargin - next.bottomMargin);
    bool changed = forced || next.bottomMargin != layout_.bottomMargin ||
                   windowWidth != layout_.windowWidth || windowHeight != layout_.windowHeight;
    int bottom = next.GraphBottom();
    next.yV0 = bottom - state.voltZeroOffset;
    next.yI0 = bottom - state.currZeroOffset;
    next.yW0 = bottom - state.wattZeroOffset;
    layout_ = next;

    layout_.voltBand = {
        std::max(layout_.graphTop, next.yV0 - (TruncToInt(state.voltMax * state.voltScale) + 16)),
        std::min(bottom, next.yV0 + 16)};
    layout_.currBand = ValueBand(next.yI0, state.currMin, state.currMax, state.currScale);
    layout_.wattBand = ValueBand(next.yW0, state.wattMin, state.wattMax, state.wattScale);
    int pdTop = layout_.graphTop + layout_.graphHeight / 2;
    if (state.showVoltGraph) {
        pdTop = layout_.voltBand.bottom + 34;
    } else if (state.showCurrGraph) {
        pdTop = layout_.currBand.bottom + 34;
    } else if (state.showWattGraph) {
        pdTop = layout_.wattBand.bottom + 34;
    }
    layout_.pdBand = {pdTop, pdTop + kPdBarHeight};
    layout_.timeLabelStrip = {layout_.graphLeft, layout_.graphTop - kTimeLabelStrip,
                              layout_.graphLeft + layout_.graphWidth, layout_.graphTop};
    layout_.frameArea = {layout_.graphLeft - 86, layout_.graphTop - kTimeLabelStrip,
                         layout_.graphLeft + layout_.graphWidth + 86, bottom};
    layout_.measurementArea = {0, bottom + 15, layout_.graphLeft + layout_.graphWidth / 2 - 136,
                               windowHeight};
    return changed;
}

GraphBand GraphModel::ValueBand(int zero, int32_t lo, int32_t hi, float scale) const {
    if (state.invertCurrent) {
        std::tie(lo, hi) = std::pair(-hi, -lo);
    }
    return {std::max(layout_.graphTop, zero - (TruncToInt(hi * scale) + 16)),
            std::min(layout_.GraphBottom(), zero - (TruncToInt(lo * scale) - 16))};
}

// --- Mapping ---------------------------------------------------------------------------------

int GraphModel::XOfTime(int64_t t) const {
    return layout_.graphLeft +
           TruncToInt(static_cast<float>(SaturatingSub(t, state.leftTime)) * state.timeScale);
}

int64_t GraphModel::TimeOfX(int x) const {
    return SaturatingAdd(state.leftTime,
                         TruncToInt64(static_cast<float>(x - layout_.graphLeft) / state.timeScale));
}

int GraphModel::YOfVoltage(int32_t mV) const {
    return layout_.yV0 - TruncToInt(mV * state.voltScale);
}

int GraphModel::YOfCurrent(int32_t displayedMa) const {
    return layout_.yI0 - TruncToInt(displayedMa * state.currScale);
}

int GraphModel::YOfPower(int32_t displayedMw) const {
    return layout_.yW0 - TruncToInt(displayedMw * state.wattScale);
}

// --- Document --------------------------------------------------------------------------------

void GraphModel::AttachDocument(CKVDoc* doc, bool reverseCurrent) {
    doc_ = doc;
    if (doc_ == nullptr) {
        return;
    }
    int64_t origin = doc_->TimeOrigin();
    int64_t savedO = doc_->GraphMarkerOTime();
    int64_t savedX = doc_->GraphMarkerXTime();
    state.markerOTime = savedO == -1 ? 0 : SaturatingSub(savedO, origin);
    state.markerXTime = savedX == -1 ? 0 : SaturatingSub(savedX, origin);
    state.reverseCurrent = reverseCurrent;
    ComputeExtents();
    state.invertCurrent = state.currMin <= 0 && state.currMax < -state.currMin;
    state.timeScale = 1.0f;
    CentreOnTime(0);
    FitTime();
    FitVoltage();
    FitCurrent();
    FitWattage();
}

void GraphModel::ReadExtremes(int32_t& lo, int32_t& hi, int32_t docMin, int32_t docMax) const {
    lo = docMin;
    hi = docMax;
    if (state.reverseCurrent) {
        lo = -lo;
        hi = -hi;
    }
    Order(lo, hi);
}

void GraphModel::ComputeExtents() {
    if (doc_ == nullptr) {
        return;
    }
    const DocumentSnapshot snapshot = doc_->SnapshotOfSamples();
    const SampleSnapshot& samples = snapshot.samples;
    if (samples.Empty()) {
        state.dataStartTime = 0;
        state.dataEndTime = kEmptyDataEndTime;
    } else {
        state.dataStartTime = SaturatingSub(samples.Time(0), snapshot.timeOrigin);
        state.dataEndTime = SaturatingSub(samples.Time(samples.Size() - 1), snapshot.timeOrigin);
    }
    const SampleStats& stats = snapshot.stats;
    state.voltMax = std::max(stats.maxVoltage, 5000);
    ReadExtremes(state.currMin, state.currMax, stats.minCurrent, stats.maxCurrent);
    state.currMax = std::max(state.currMax, 100);
    state.currMin = std::min(state.currMin, -100);
    ReadExtremes(state.wattMin, state.wattMax, stats.minPower, stats.maxPower);
    state.wattMax = std::max(state.wattMax, 100);
    state.wattMin = std::min(state.wattMin, -100);
}

void GraphModel::ShiftTimes(int64_t delta) {
    for (int64_t* t : {&state.markerOTime, &state.markerXTime, &state.centreTime, &state.leftTime,
                       &state.rightTime, &state.dataStartTime, &state.dataEndTime}) {
        *t = SaturatingSub(*t, delta);
    }
    if (doc_ != nullptr) {
        doc_->NoteMarkersChanged();
    }
}

void GraphModel::FollowCapture(int64_t newestTime) {
    if (doc_ != nullptr) {
        const SampleStats stats = doc_->Stats();
        if (state.showVoltGraph && stats.maxVoltage > state.voltMax) {
            state.voltMax = stats.maxVoltage;
            FitVoltage();
        }
        auto widen = [this](int32_t& min, int32_t& max, int32_t docMin, int32_t docMax) {
            int32_t lo;
            int32_t hi;
            ReadExtremes(lo, hi, docMin, docMax);
            bool grew = lo < min || hi > max;
            min = std::min(min, lo);
            max = std::max(max, hi);
            return grew;
        };
        if (state.showCurrGraph &&
            widen(state.currMin, state.currMax, stats.minCurrent, stats.maxCurrent)) {
            FitCurrent();
        }
        if (state.showWattGraph &&
            widen(state.wattMin, state.wattMax, stats.minPower, stats.maxPower)) {
            FitWattage();
        }
    }
    if (newestTime < state.leftTime || newestTime > state.rightTime) {
        CentreOnTime(newestTime);
    }
}

// --- Time ------------------------------------------------------------------------------------

void GraphModel::CentreOnTime(int64_t t) {
    state.centreTime = t;
    int64_t half = TruncToInt64(layout_.graphWidth / state.timeScale) / 2;
    state.leftTime = SaturatingSub(t, half);
    state.rightTime = SaturatingAdd(t, half);
}

void GraphModel::SetZoom(float s) {
    s = state.timeScaleMin > s ? state.timeScaleMin : std::min(state.timeScaleMax, s);
    if (s == state.timeScale) {
        return;
    }
    state.timeScale = s;
    CentreOnTime(state.centreTime);
}

void GraphModel::ZoomTimeIn() {
    SetZoom(state.timeScale * 120 / 100);
}

void GraphModel::ZoomTimeOut() {
    SetZoom(state.timeScale * 83.333336f / 100);
}

void GraphModel::ScrollTimeLeft() {
    if (state.centreTime <= state.dataStartTime) {
        return;
    }
    int64_t step = TruncToInt64(static_cast<float>(layout_.graphWidth / 8) / state.timeScale);
    CentreOnTime(SaturatingSub(state.centreTime, step));
}

void GraphModel::ScrollTimeRight() {
    if (state.centreTime >= state.dataEndTime) {
        return;
    }
    int64_t step = TruncToInt64(static_cast<float>(layout_.graphWidth / 8) / state.timeScale);
    CentreOnTime(SaturatingAdd(state.centreTime, step));
}

// --- Fits and values -------------------------------------------------------------------------

HeightSplit GraphModel::Split() const {
    return SplitHeight(layout_.graphHeight, state.showVoltGraph, state.showCurrGraph,
                       state.showWattGraph);
}

void GraphModel::FitTime() {
    uint64_t span =
        static_cast<uint64_t>(state.dataEndTime) - static_cast<uint64_t>(state.dataStartTime);
    // One sample spans no time: keep the scale rather than divide by zero.
    if (span != 0) {
        state.timeScale =
            static_cast<float>(TruncToInt(layout_.graphWidth * 0.99)) / static_cast<float>(span);
    }
    CentreOnTime(Midpoint(state.dataStartTime, state.dataEndTime));
}

void GraphModel::FitVoltage() {
    if (!state.showVoltGraph) {
        return;
    }
    HeightSplit split = Split();
    state.voltScale = 0.6f * static_cast<float>(split.a) / static_cast<float>(state.voltMax);
    state.voltZeroOffset = split.voltBase + FitMargin(split.a);
}

void GraphModel::FitCurrent() {
    if (state.showCurrGraph) {
        FitSigned(state.currScale, state.currZeroOffset, state.currMin, state.currMax,
                  Split().currBase);
    }
}

void GraphModel::FitWattage() {
    if (state.showWattGraph) {
        FitSigned(state.wattScale, state.wattZeroOffset, state.wattMin, state.wattMax,
                  Split().wattBase);
    }
}

// The minimum (or, inverted, the negated maximum) lands on the one-fifth line of the band and
// the other extreme on the four-fifths line.
void GraphModel::FitSigned(float& scale, int& zeroOffset, int32_t min, int32_t max,
                           int base) const {
    int a = Split().a;
    scale = 0.6f * static_cast<float>(a) / static_cast<float>(int64_t{max} - min);
    int o = state.invertCurrent ? TruncToInt(max * scale) : -TruncToInt(min * scale);
    zeroOffset = o + base + FitMargin(a);
}

namespace {

// Zooming keeps the value at the middle of the graph area in place.
void ZoomValue(float& scale, int& zero, int graphHeight, bool in) {
    int h2 = graphHeight / 2;
    if (in) {
        scale *= 1.2f;
        zero -= TruncToInt(static_cast<float>(h2 - zero) * 0.20000005f);
    } else {
        scale /= 1.2f;
        zero -= TruncToInt(static_cast<float>(h2 - zero) * -0.16666669f);
    }
}

}  // namespace

void GraphModel::ZoomVoltage(bool in) {
    if (state.showVoltGraph) {
        ZoomValue(state.voltScale, state.voltZeroOffset, layout_.graphHeight, in);
    }
}

void GraphModel::ZoomCurrent(bool in) {
    if (state.showCurrGraph) {
        ZoomValue(state.currScale, state.currZeroOffset, layout_.graphHeight, in);
    }
    if (state.showWattGraph) {
        ZoomValue(state.wattScale, state.wattZeroOffset, layout_.graphHeight, in);
    }
}

void GraphModel::MoveVoltage(bool up) {
    if (state.showVoltGraph) {
        state.voltZeroOffset += (up ? 1 : -1) * (layout_.graphHeight / 40);
    }
}

void GraphModel::MoveCurrent(bool up) {
    int step = (up ? 1 : -1) * (layout_.graphHeight / 40);
    if (state.showCurrGraph) {
        state.currZeroOffset += step;
    }
    if (state.showWattGraph) {
        state.wattZeroOffset += step;
    }
}

void GraphModel::ZoomToRect(int x1, int y1, int x2, int y2) {
    int xl = std::min(x1, x2);
    int xr = std::max(x1, x2);
    int yt = std::min(y1, y2);
    int yb = std::max(y1, y2);
    if (!(xr - xl > 10 && yb - yt > 10)) {
        return;
    }
    int h = layout_.graphHeight;
    float f = static_cast<float>(h) / static_cast<float>(yb - yt);
    state.voltScale *= f;
    state.currScale *= f;
    state.wattScale *= f;
    int c = (yb + yt) / 2 - layout_.graphTop;
    for (int* z : {&state.voltZeroOffset, &state.currZeroOffset, &state.wattZeroOffset}) {
        *z = h / 2 - TruncToInt(static_cast<float>(h - c - *z) * f);
    }
    int64_t tl = TruncToInt64(static_cast<float>(xl - layout_.graphLeft) / state.timeScale);
    int64_t tr = TruncToInt64(static_cast<float>(xr - layout_.graphLeft) / state.timeScale);
    // At more than a pixel per microsecond the rectangle may hold no whole microsecond: keep
    // the scale instead of making it infinite.
    if (tr > tl) {
        state.timeScale = static_cast<float>(layout_.graphWidth) / static_cast<float>(tr - tl);
    }
    CentreOnTime(static_cast<int64_t>((2 * static_cast<__int128>(state.leftTime) + tl + tr) / 2));
}

void GraphModel::Pan(int px, int py, int x, int y, bool volt, bool curr, bool watt) {
    if (x != px) {
        CentreOnTime(SaturatingSub(state.centreTime,
                                   TruncToInt64(static_cast<float>(x - px) / state.timeScale)));
    }
    if (y != py) {
        if (volt) {
            state.voltZeroOffset += py - y;
        }
        if (curr) {
            state.currZeroOffset += py - y;
        }
        if (watt) {
            state.wattZeroOffset += py - y;
        }
    }
}
