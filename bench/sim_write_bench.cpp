// Synthesizer throughput: the long scenario into memory and into a record file, beside a plain
// copy of the same number of bytes. The target is 100 MB within a minute; the counter
// seconds_per_100MB shows the margin.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include <unistd.h>

#include "bench_size.h"
#include "device/sim/simulator.h"

namespace {

const double kLongSeconds = BenchSize(300.0, 5.0);  // about 6.5 MB at 1 ms sampling

SimulationOptions LongOptions() {
    SimulationOptions options;
    options.scenario = "long";
    options.seconds = kLongSeconds;
    options.intervalMs = 1;
    return options;
}

// MB/s of copying a buffer of `size` bytes, the best of five passes.
double CopyMbPerSecond(size_t size) {
    std::vector<uint8_t> from(size, 0x5A);
    std::vector<uint8_t> to(size);
    double best = 0;
    for (int pass = 0; pass < 5; ++pass) {
        auto start = std::chrono::steady_clock::now();
        std::memcpy(to.data(), from.data(), size);
        benchmark::DoNotOptimize(to.data());
        std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        best = std::max(best, static_cast<double>(size) / 1e6 / elapsed.count());
    }
    return best;
}

void Report(benchmark::State& state, uint64_t bytesPerRun, double seconds) {
    double mbps =
        static_cast<double>(bytesPerRun) * static_cast<double>(state.iterations()) / 1e6 / seconds;
    double baseline = CopyMbPerSecond(bytesPerRun);
    state.SetBytesProcessed(static_cast<int64_t>(bytesPerRun) * state.iterations());
    state.counters["sim_MBps"] = mbps;
    state.counters["copy_MBps"] = baseline;
    state.counters["sim_per_copy"] = mbps / baseline;
    state.counters["seconds_per_100MB"] = 100.0 / mbps;
}

void BM_SimulateLongToMemory(benchmark::State& state) {
    uint64_t bytes = 0;
    double seconds = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        std::optional<SimulationResult> result = Simulate(LongOptions());
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        bytes = result ? result->stream.size() : 0;
        benchmark::DoNotOptimize(bytes);
    }
    Report(state, bytes, seconds);
}

void BM_SimulateLongToFile(benchmark::State& state) {
    const std::string path = "/tmp/zoduz_bench_sim_" + std::to_string(::getpid()) + ".zaz";
    uint64_t bytes = 0;
    double seconds = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        std::string error;
        std::optional<SimulationResult> result = SimulateToFile(LongOptions(), path, error);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        bytes = result ? result->streamBytes + 64 : 0;
        if (!result) {
            state.SkipWithError(error.c_str());
            break;
        }
    }
    std::remove(path.c_str());
    Report(state, bytes, seconds);
}

}  // namespace

BENCHMARK(BM_SimulateLongToMemory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SimulateLongToFile)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
