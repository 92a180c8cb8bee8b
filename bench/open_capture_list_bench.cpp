// Opening a capture of 100 000 packets in the application: decode alone (the document), and
// decode plus the message list up to its first painted rows, in the same run. Reported beside
// each other: wall time, heap in use afterwards and the peak resident set of the phase.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <QApplication>
#include <QImage>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "app/main_frame.h"
#include "app/recent_files.h"
#include "bench_clock.h"
#include "capture/document.h"
#include "list/log_view.h"
#include "long_capture.h"
#include "prompts/qt_prompts.h"
#include "settings/settings_store.h"

namespace {

const size_t kWantedPackets = BenchSize<size_t>(100000, 500);

// Bytes the allocator hands out at the moment (Qt's strings come from malloc, not new).
double HeapBytes() {
    const struct mallinfo2 info = mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd);
}

// Resident set field of /proc/self/status in bytes ("VmRSS", "VmHWM").
double StatusBytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(status, line)) {
        if (line.rfind(key, 0) == 0) {
            return std::atof(line.c_str() + key.size()) * 1024.0;
        }
    }
    return 0.0;
}

// Starts a phase: memory given back, the peak resident set set back to the current one.
void StartPhase() {
    malloc_trim(0);
    std::ofstream("/proc/self/clear_refs") << "5";
}

const QString& CapturePath() {
    static const QString path = QString::fromStdString(LongCapture100k());
    return path;
}

struct PhaseMemory {
    double heapBefore = 0;
    double rssBefore = 0;
};

PhaseMemory BeginMeasure() {
    StartPhase();
    return {HeapBytes(), StatusBytes("VmRSS")};
}

void ReportMemory(benchmark::State& state, const PhaseMemory& before, size_t packets) {
    state.counters["packets"] = static_cast<double>(packets);
    state.counters["heap_MB"] = (HeapBytes() - before.heapBefore) / 1e6;
    state.counters["peak_rss_MB"] = (StatusBytes("VmHWM") - before.rssBefore) / 1e6;
}

// The timed part of each iteration is measured here (manual time): building and tearing down
// the phases stays outside it, and a failed iteration leaves the loop without touching the
// benchmark's timer.
void BM_OpenDecodeOnly(benchmark::State& state) {
    const std::string path = CapturePath().toStdString();
    for (auto _ : state) {
        const PhaseMemory before = BeginMeasure();
        const double start = WallSeconds();
        auto document = std::make_unique<CKVDoc>();
        document->OpenRecordFile(path);
        benchmark::DoNotOptimize(document->PacketCount());
        state.SetIterationTime(WallSeconds() - start);
        ReportMemory(state, before, document->PacketCount());
    }
}

void BM_OpenWithListFirstPaint(benchmark::State& state) {
    const QString path = CapturePath();
    for (auto _ : state) {
        const PhaseMemory before = BeginMeasure();
        const double start = WallSeconds();
        auto document = std::make_unique<CKVDoc>();
        SettingsStore settings;
        settings.layout.listRowHeight = 400;
        CRecentFileList recent;
        QtPrompts prompts;  // nothing asks: the capture opens whole
        auto frame = std::make_unique<CMainFrame>(*document, settings, recent, prompts);
        frame->show();
        // The window decodes in steps between events; the first paint follows the last step.
        const bool opened = frame->OpenDocument(path);
        frame->WaitForDecoding();
        const QImage painted = frame->LogView()->viewport()->grab().toImage();
        benchmark::DoNotOptimize(painted.constBits());
        state.SetIterationTime(WallSeconds() - start);
        if (!opened ||
            static_cast<size_t>(frame->LogView()->RowCount()) != document->PacketCount() ||
            document->PacketCount() < kWantedPackets) {
            state.SkipWithError("the list does not show every packet");
            break;
        }
        ReportMemory(state, before, document->PacketCount());
    }
}

BENCHMARK(BM_OpenDecodeOnly)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK(BM_OpenWithListFirstPaint)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    if (CapturePath().isEmpty()) {
        return 1;
    }
    {
        // One-time costs of the toolkit (fonts, styles, icons) stay out of both phases.
        CKVDoc document;
        SettingsStore settings;
        CRecentFileList recent;
        QtPrompts prompts;
        CMainFrame frame(document, settings, recent, prompts);
        frame.show();
        frame.grab();
    }
    {
        CKVDoc document;
        document.OpenRecordFile(CapturePath().toStdString());
        if (document.PacketCount() < kWantedPackets) {
            std::fprintf(stderr, "capture holds only %zu packets\n", document.PacketCount());
            return 1;
        }
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
