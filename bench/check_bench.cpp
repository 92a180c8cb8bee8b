// The protocol and timing checks (CheckCapture) over the PD-dense capture and the `long`
// capture of the DecodeAll benchmarks, beside DecodeAll of the same file: the checks should
// cost at most a quarter of decoding. Both are timed in thread CPU seconds.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench/catalog_capture.h"
#include "bench_clock.h"
#include "capture/document.h"
#include "check/check_walk.h"
#include "device/sim/simulator.h"

namespace {

std::string BenchFile(const std::string& name) {
    return (std::filesystem::temp_directory_path() / ("zoduz-bench-check-" + name + ".zaz"))
        .string();
}

// `long` over 5000 s at 1 ms, as the DecodeAll benchmark decodes it.
const std::string& LongFile() {
    static const std::string path = [] {
        SimulationOptions options;
        options.scenario = "long";
        options.seconds = 5000.0;
        std::string error;
        const std::string file = BenchFile("long");
        if (!SimulateToFile(options, file, error)) {
            std::fprintf(stderr, "simulate long: %s\n", error.c_str());
            std::exit(1);
        }
        return file;
    }();
    return path;
}

// 200 copies of the catalog scenario, as the DecodeAll benchmark decodes it.
const std::string& PdDenseFile() {
    static const std::string path = [] {
        const std::string file = BenchFile("pd-dense");
        WriteCatalogCapture(file, 200);
        return file;
    }();
    return path;
}

void RunChecks(benchmark::State& state, const std::string& path) {
    CKVDoc doc;
    const double decodeStart = ThreadCpuSeconds();
    doc.DecodeAll(path);
    const double decodeSeconds = ThreadCpuSeconds() - decodeStart;
    const DocumentSnapshot snapshot = doc.Snapshot();
    double checkSeconds = 0;
    size_t findings = 0;
    for (auto _ : state) {
        const double start = ThreadCpuSeconds();
        CheckReport report = CheckCapture(snapshot, CheckOptions{});
        checkSeconds += ThreadCpuSeconds() - start;
        findings = report.findings.size();
        benchmark::DoNotOptimize(report);
    }
    const double runs = static_cast<double>(state.iterations());
    state.counters["check_ms_cpu"] = checkSeconds / runs * 1e3;
    state.counters["decode_ms_cpu"] = decodeSeconds * 1e3;
    state.counters["check_to_decode"] = checkSeconds / runs / decodeSeconds;
    state.counters["packets"] = static_cast<double>(snapshot.packets.size());
    state.counters["samples"] = static_cast<double>(snapshot.samples.Size());
    state.counters["findings"] = static_cast<double>(findings);
}

void BM_CheckLong(benchmark::State& state) {
    RunChecks(state, LongFile());
}
void BM_CheckPdDense(benchmark::State& state) {
    RunChecks(state, PdDenseFile());
}

}  // namespace

BENCHMARK(BM_CheckLong)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_CheckPdDense)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
