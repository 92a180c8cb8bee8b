// The power graph on large captures: decimation of one full-width trace with 10^4, 10^6 and
// 10^7 samples in view, the fast implementation beside the reference walk, and MeasureEnergy
// over 10^7 samples, fast beside reference.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "bench_size.h"
#include "capture/document_snapshot.h"
#include "capture/sample_store.h"
#include "graph/measure_energy.h"
#include "graph/trace_decimation.h"
#include "noisy_load.h"

namespace {

const size_t kSamples = BenchSize<size_t>(10'000'000, 100'000);
constexpr int64_t kSampleInterval = 10;  // µs
constexpr int kWindowWidth = 1324;       // a graph area 1024 pixels wide

// 10^7 samples of a noisy load with steps, times 10 µs apart.
const DocumentSnapshot& Capture() {
    static SampleStore store;
    static DocumentSnapshot snapshot = [] {
        DocumentSnapshot doc;
        AppendNoisyLoad(store, doc.stats, kSamples, kSampleInterval);
        doc.samples = store.Snapshot();
        return doc;
    }();
    return snapshot;
}

// A model whose window shows `inView` samples from the middle of the capture.
GraphModel ModelShowing(int64_t inView) {
    GraphModel model;
    model.Layout(kWindowWidth, 800);
    model.state.timeScale = static_cast<float>(model.Geometry().graphWidth) /
                            static_cast<float>(inView * kSampleInterval);
    model.state.voltScale = 0.02f;
    int64_t span = static_cast<int64_t>(kSamples) * kSampleInterval;
    model.CentreOnTime(inView == static_cast<int64_t>(kSamples) ? span / 2 : span / 3);
    model.Layout(kWindowWidth, 800);
    return model;
}

template <TraceDrawing (*Decimate)(const TraceInput&, TraceKind)>
void BM_Decimate(benchmark::State& state) {
    const DocumentSnapshot& doc = Capture();
    GraphModel model = ModelShowing(state.range(0));
    TraceInput input{model.state, model.Geometry(), doc};
    size_t points = 0;
    for (auto _ : state) {
        TraceDrawing drawing = Decimate(input, TraceKind::VBusVol);
        points = drawing.polyline.size();
        benchmark::DoNotOptimize(drawing);
    }
    state.counters["samples_in_view"] = static_cast<double>(state.range(0));
    state.counters["points"] = static_cast<double>(points);
}

void BM_DecimateReference(benchmark::State& state) {
    BM_Decimate<DecimateTraceReference>(state);
}
void BM_DecimateFast(benchmark::State& state) {
    BM_Decimate<DecimateTrace>(state);
}

template <std::optional<EnergyMeasurement> (*Measure)(const DocumentSnapshot&, int64_t, int64_t)>
void BM_Measure(benchmark::State& state) {
    const DocumentSnapshot& doc = Capture();
    // Markers near both ends: nearly all 10^7 samples between them. Each iteration moves both
    // markers on by one sample, cycling through every position inside a 128-sample block, so
    // the figure is the mean over where the markers fall.
    const int64_t last = (static_cast<int64_t>(kSamples) - 1) * kSampleInterval;
    double energy = 0;
    int64_t shift = 0;
    for (auto _ : state) {
        int64_t t1 = kSampleInterval / 2 + shift * kSampleInterval;
        int64_t t2 = last - kSampleInterval / 2 - (127 - shift) * kSampleInterval;
        shift = (shift + 1) % 128;
        std::optional<EnergyMeasurement> e = Measure(doc, t1, t2);
        energy = e ? e->positiveMj : 0;
        benchmark::DoNotOptimize(e);
    }
    state.counters["positive_mJ"] = energy;
}

void BM_MeasureEnergyReference(benchmark::State& state) {
    BM_Measure<MeasureEnergyReference>(state);
}
void BM_MeasureEnergyFast(benchmark::State& state) {
    BM_Measure<MeasureEnergy>(state);
}

}  // namespace

BENCHMARK(BM_DecimateReference)
    ->Arg(10'000)
    ->Arg(BenchSize(1'000'000, 50'000))
    ->Arg(BenchSize(10'000'000, 100'000))
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DecimateFast)
    ->Arg(10'000)
    ->Arg(BenchSize(1'000'000, 50'000))
    ->Arg(BenchSize(10'000'000, 100'000))
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MeasureEnergyReference)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MeasureEnergyFast)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
