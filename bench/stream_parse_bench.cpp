// Record stream parsing throughput, beside a plain byte-summing pass over the same buffer.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <numeric>
#include <vector>

#include "bench_size.h"
#include "capture/record_stream.h"
#include "capture/stream_builder.h"

namespace {

const size_t kTargetBytes = BenchSize<size_t>(32u << 20, 256u << 10);

class CountingSink : public RecordSink {
  public:
    void OnSample(const CVbusInfo& sample) override { timeSum += sample.time; }
    void OnPacket(PacketPtr packet) override { edges += static_cast<uint64_t>(packet->edgeCount); }

    int64_t timeSum = 0;
    uint64_t edges = 0;
};

// Nine sample blocks to one short idle edge burst, as a capture at a fast sampling rate.
std::vector<uint8_t> MostlySamples() {
    StreamBuilder stream;
    uint32_t time = 0;
    uint64_t tick = 10000;
    while (stream.Bytes().size() < kTargetBytes) {
        std::vector<RawSample> samples;
        for (int i = 0; i < 27; ++i) {
            time += 1000;
            samples.push_back({time, 5000, 1500, 300, 2, 1700, -4});
        }
        stream.AddSamples(samples);
        tick += 30000;
        stream.AddEdgeBurst(0, 20, {tick}, {BmcLikeIntervals(40)});
    }
    return stream.Bytes();
}

// Back-to-back PD-sized packets on alternating lines.
std::vector<uint8_t> EdgeHeavy() {
    StreamBuilder stream;
    uint64_t tick = 10000;
    std::vector<std::vector<uint8_t>> intervals(8, BmcLikeIntervals(400));
    while (stream.Bytes().size() < kTargetBytes) {
        std::vector<uint64_t> starts;
        for (int i = 0; i < 8; ++i) {
            starts.push_back(tick);
            tick += 3000;
        }
        stream.AddEdgeBurst(static_cast<int>(tick / 24000) % 2, 20, starts, intervals);
        stream.AddSamples({{static_cast<uint32_t>(tick / 2), 5000, 100, 0, 0, 0, 0}});
    }
    return stream.Bytes();
}

// MB/s of summing every byte, the best of five passes.
double ByteSumMbPerSecond(const std::vector<uint8_t>& bytes) {
    double best = 0;
    for (int pass = 0; pass < 5; ++pass) {
        auto start = std::chrono::steady_clock::now();
        uint64_t sum = std::accumulate(bytes.begin(), bytes.end(), uint64_t{0});
        benchmark::DoNotOptimize(sum);
        std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        best = std::max(best, static_cast<double>(bytes.size()) / 1e6 / elapsed.count());
    }
    return best;
}

void RunParse(benchmark::State& state, const std::vector<uint8_t>& bytes) {
    double baseline = ByteSumMbPerSecond(bytes);
    double seconds = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        CountingSink sink;
        RecordStreamParser parser;
        parser.Feed(bytes, sink);
        benchmark::DoNotOptimize(sink.timeSum);
        benchmark::DoNotOptimize(sink.edges);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    double parse =
        static_cast<double>(bytes.size()) * static_cast<double>(state.iterations()) / 1e6 / seconds;
    state.SetBytesProcessed(static_cast<int64_t>(bytes.size()) * state.iterations());
    state.counters["parse_MBps"] = parse;
    state.counters["bytesum_MBps"] = baseline;
    state.counters["parse_per_bytesum"] = parse / baseline;
}

void BM_ParseMostlySamples(benchmark::State& state) {
    static const std::vector<uint8_t> bytes = MostlySamples();
    RunParse(state, bytes);
}

void BM_ParseEdgeHeavy(benchmark::State& state) {
    static const std::vector<uint8_t> bytes = EdgeHeavy();
    RunParse(state, bytes);
}

}  // namespace

BENCHMARK(BM_ParseMostlySamples)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseEdgeHeavy)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
