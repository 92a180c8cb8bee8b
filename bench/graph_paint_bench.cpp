// One full paint of a 1600 x 900 graph view (areas, axes, 2000 PD packet bars, five traces,
// markers and the measurement lines with the energy between the markers) over captures of
// 10^4, 10^6 and 10^7 samples, zoomed out to the whole capture and zoomed in to 1/1000 of it;
// the fast decimation beside the reference walk. Runs on the off-screen platform.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <cstdlib>
#include <map>
#include <memory>

#include "bench_size.h"
#include "capture/document_snapshot.h"
#include "capture/sample_store.h"
#include "graph/graph_buttons.h"
#include "graph/view/graph_painter.h"
#include "noisy_load.h"

namespace {

constexpr int kWidth = 1600;
constexpr int kHeight = 900;
constexpr int64_t kSampleInterval = 10;  // µs
constexpr int kPackets = 2000;

struct Capture {
    SampleStore store;
    DocumentSnapshot snapshot;
};

// A noisy load with voltage steps, and PD packets spread over the capture.
const DocumentSnapshot& CaptureOf(size_t samples) {
    static std::map<size_t, std::unique_ptr<Capture>> captures;
    std::unique_ptr<Capture>& capture = captures[samples];
    if (capture) {
        return capture->snapshot;
    }
    capture = std::make_unique<Capture>();
    AppendNoisyLoad(capture->store, capture->snapshot.stats, samples, kSampleInterval);
    capture->snapshot.samples = capture->store.Snapshot();
    const int64_t span = static_cast<int64_t>(samples) * kSampleInterval;
    for (int i = 0; i < kPackets; ++i) {
        auto packet = std::make_shared<CCCPacket>();
        packet->relTime = span * i / kPackets;
        packet->edgeCount = 200;
        packet->clockDivider = 48;
        packet->totalTicks = 900;
        packet->preambleFound = packet->crcOk = packet->eopFound = true;
        packet->averageUnitInterval = 3.33f;
        packet->orderedSetKind = kOsSop;
        packet->port = 1;
        capture->snapshot.packets.push_back(packet);
    }
    return capture->snapshot;
}

GraphModel ModelFor(const DocumentSnapshot& doc, bool zoomedIn) {
    GraphModel model;
    model.Layout(kWidth, kHeight);
    GraphViewState& state = model.state;
    state.dataStartTime = 0;
    state.dataEndTime = doc.samples.Time(doc.samples.Size() - 1);
    state.voltMax = doc.stats.maxVoltage;
    state.currMin = doc.stats.minCurrent;
    state.currMax = doc.stats.maxCurrent;
    state.wattMin = doc.stats.minPower;
    state.wattMax = doc.stats.maxPower;
    state.traceCC1Curr = true;
    FitEverything(model);
    state.markerOTime = state.dataEndTime / 4;
    state.markerXTime = state.dataEndTime / 4 * 3;
    if (zoomedIn) {
        state.timeScale *= 1000.0f;
        model.CentreOnTime(state.dataEndTime / 3);
    }
    model.Layout(kWidth, kHeight);
    return model;
}

void BM_Paint(benchmark::State& state, Decimation decimation, bool zoomedIn) {
    const DocumentSnapshot& doc = CaptureOf(static_cast<size_t>(state.range(0)));
    const GraphModel model = ModelFor(doc, zoomedIn);
    const GraphAppearance appearance = DefaultGraphAppearance();
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(16);
    for (auto _ : state) {
        GraphScene scene{model, appearance, doc};
        scene.decimation = decimation;
        QPainter painter(&image);
        painter.setFont(font);
        PaintGraph(painter, scene);
        PaintMeasurements(painter, scene);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["samples"] = static_cast<double>(state.range(0));
}

void BM_PaintFastZoomedOut(benchmark::State& state) {
    BM_Paint(state, Decimation::Fast, false);
}
void BM_PaintReferenceZoomedOut(benchmark::State& state) {
    BM_Paint(state, Decimation::Reference, false);
}
void BM_PaintFastZoomedIn(benchmark::State& state) {
    BM_Paint(state, Decimation::Fast, true);
}
void BM_PaintReferenceZoomedIn(benchmark::State& state) {
    BM_Paint(state, Decimation::Reference, true);
}

}  // namespace

#define ZODUZ_PAINT_BENCHMARK(name)           \
    BENCHMARK(name)                           \
        ->Arg(10'000)                         \
        ->Arg(BenchSize(1'000'000, 50'000))   \
        ->Arg(BenchSize(10'000'000, 100'000)) \
        ->Unit(benchmark::kMillisecond)
ZODUZ_PAINT_BENCHMARK(BM_PaintFastZoomedOut);
ZODUZ_PAINT_BENCHMARK(BM_PaintReferenceZoomedOut);
ZODUZ_PAINT_BENCHMARK(BM_PaintFastZoomedIn);
ZODUZ_PAINT_BENCHMARK(BM_PaintReferenceZoomedIn);

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
