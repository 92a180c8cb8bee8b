// CKVDoc::DecodeAll on the synthesizer's `long` capture and on a PD-dense file, beside a plain
// read of the same file, with the peak heap held per sample and per packet.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "bench/catalog_capture.h"
#include "bench_clock.h"
#include "bench_size.h"
#include "capture/document.h"
#include "capture/hostile_streams.h"
#include "capture/sample_stats.h"
#include "capture/sample_store.h"
#include "device/sim/simulator.h"
#include "noisy_load.h"

// Heap accounting: every allocation of the process goes through these.
namespace {
std::atomic<int64_t> liveBytes{0};
std::atomic<int64_t> peakBytes{0};

void* Track(void* p) {
    if (p == nullptr) {
        throw std::bad_alloc();
    }
    int64_t live = liveBytes += static_cast<int64_t>(malloc_usable_size(p));
    int64_t peak = peakBytes.load();
    while (live > peak && !peakBytes.compare_exchange_weak(peak, live)) {
    }
    return p;
}

void* Allocate(size_t size) {
    return Track(std::malloc(size == 0 ? 1 : size));
}

void* AllocateAligned(size_t size, std::align_val_t alignment) {
    auto align = static_cast<size_t>(alignment);
    return Track(std::aligned_alloc(align, (size + align - 1) / align * align));
}

void Release(void* p) {
    if (p != nullptr) {
        liveBytes -= static_cast<int64_t>(malloc_usable_size(p));
        std::free(p);
    }
}
}  // namespace

void* operator new(size_t size) {
    return Allocate(size);
}
void* operator new[](size_t size) {
    return Allocate(size);
}
void* operator new(size_t size, std::align_val_t align) {
    return AllocateAligned(size, align);
}
void operator delete(void* p) noexcept {
    Release(p);
}
void operator delete[](void* p) noexcept {
    Release(p);
}
void operator delete(void* p, size_t) noexcept {
    Release(p);
}
void operator delete[](void* p, size_t) noexcept {
    Release(p);
}
void operator delete(void* p, std::align_val_t) noexcept {
    Release(p);
}
void operator delete(void* p, size_t, std::align_val_t) noexcept {
    Release(p);
}

namespace {

std::string BenchFile(const std::string& name) {
    return (std::filesystem::temp_directory_path() / ("zoduz-bench-" + name + ".zaz")).string();
}

// The `long` scenario over 5000 s at a 1 ms sampling interval (about 109 MB, as
// `zoduz-cli simulate long --seconds 5000`).
const std::string& LongFile() {
    static const std::string path = [] {
        std::string file = BenchFile("long");
        SimulationOptions options;
        options.scenario = "long";
        options.seconds = BenchSize(5000.0, 20.0);
        std::string error;
        if (!SimulateToFile(options, file, error)) {
            std::fprintf(stderr, "simulate long: %s\n", error.c_str());
            std::exit(1);
        }
        return file;
    }();
    return path;
}

// The PD-dense capture: 200 copies of the catalog scenario.
const std::string& PdDenseFile() {
    static const std::string path = [] {
        std::string file = BenchFile("pd-dense");
        WriteCatalogCapture(file, BenchSize(200, 2));
        return file;
    }();
    return path;
}

// A crafted capture written once per run.
std::string HostileFile(const std::string& name, const std::vector<uint8_t>& bytes) {
    std::string file = BenchFile(name);
    std::FILE* out = std::fopen(file.c_str(), "wb");
    if (out == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size() ||
        std::fclose(out) != 0) {
        std::exit(1);
    }
    return file;
}

const size_t kHostileBytes = BenchSize<size_t>(4 << 20, 64 << 10);

// MB/s of reading the file in 1 MB chunks, the best of three.
struct Rates {
    double wall = 0;
    double cpu = 0;
};

Rates PlainReadMbPerSecond(const std::string& path) {
    std::vector<uint8_t> buffer(kReadChunkSize);
    Rates best;
    for (int pass = 0; pass < 3; ++pass) {
        auto start = std::chrono::steady_clock::now();
        double cpuStart = ThreadCpuSeconds();
        std::FILE* file = std::fopen(path.c_str(), "rb");
        uint64_t total = 0;
        uint64_t sum = 0;
        while (size_t got = std::fread(buffer.data(), 1, buffer.size(), file)) {
            total += got;
            sum += buffer[got - 1];
        }
        std::fclose(file);
        benchmark::DoNotOptimize(sum);
        std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        double cpu = ThreadCpuSeconds() - cpuStart;
        best.wall = std::max(best.wall, static_cast<double>(total) / 1e6 / elapsed.count());
        best.cpu = std::max(best.cpu, static_cast<double>(total) / 1e6 / cpu);
    }
    return best;
}

void RunDecodeAll(benchmark::State& state, const std::string& path) {
    Rates plainRead = PlainReadMbPerSecond(path);
    double fileBytes = static_cast<double>(std::filesystem::file_size(path));
    double seconds = 0;
    double cpuSeconds = 0;
    size_t samples = 0;
    size_t packets = 0;
    size_t sampleBytes = 0;
    int64_t peak = 0;
    for (auto _ : state) {
        int64_t before = liveBytes.load();
        peakBytes = before;
        auto start = std::chrono::steady_clock::now();
        double cpuStart = ThreadCpuSeconds();
        {
            CKVDoc doc;
            doc.DecodeAll(path);
            seconds +=
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            cpuSeconds += ThreadCpuSeconds() - cpuStart;
            samples = doc.SampleCount();
            packets = doc.PacketCount();
            sampleBytes = doc.SampleMemoryBytes();
        }
        peak = peakBytes.load() - before;
    }
    double runs = static_cast<double>(state.iterations());
    state.counters["decode_MBps"] = fileBytes * runs / 1e6 / seconds;
    state.counters["plain_read_MBps"] = plainRead.wall;
    state.counters["decode_MBps_cpu"] = fileBytes * runs / 1e6 / cpuSeconds;
    state.counters["plain_read_MBps_cpu"] = plainRead.cpu;
    state.counters["packets_per_s"] = static_cast<double>(packets) * runs / seconds;
    state.counters["packets_per_s_cpu"] = static_cast<double>(packets) * runs / cpuSeconds;
    state.counters["samples"] = static_cast<double>(samples);
    state.counters["packets"] = static_cast<double>(packets);
    state.counters["file_bytes"] = fileBytes;
    // Everything the decode held at its peak, charged to the samples; what remains after the
    // samples and the read buffer, charged to the packets.
    state.counters["peak_bytes_per_sample"] =
        samples == 0 ? 0.0 : static_cast<double>(peak) / static_cast<double>(samples);
    state.counters["sample_store_bytes_per_sample"] =
        samples == 0 ? 0.0 : static_cast<double>(sampleBytes) / static_cast<double>(samples);
    double packetBytes = static_cast<double>(peak) - static_cast<double>(sampleBytes) -
                         static_cast<double>(kDecodeReadSize);
    state.counters["peak_bytes_per_packet"] =
        packets == 0 ? 0.0 : packetBytes / static_cast<double>(packets);
}

void BM_DecodeAllLong(benchmark::State& state) {
    RunDecodeAll(state, LongFile());
}
void BM_DecodeAllPdDense(benchmark::State& state) {
    RunDecodeAll(state, PdDenseFile());
}

// Crafted files: the slowest decode any file of their size can force, and packets arriving out
// of time order beside the same packets in order.
void BM_DecodeAllAmbiguousBursts(benchmark::State& state) {
    static const std::string path =
        HostileFile("ambiguous-bursts", hostile::AmbiguousBursts(kHostileBytes));
    RunDecodeAll(state, path);
}
void BM_DecodeAllBranchingPackets(benchmark::State& state) {
    static const std::string path =
        HostileFile("branching-packets", hostile::BranchingPackets(kHostileBytes));
    RunDecodeAll(state, path);
}
void BM_DecodeAllTinyBursts(benchmark::State& state) {
    static const std::string path = HostileFile("tiny-bursts", hostile::TinyBursts(kHostileBytes));
    RunDecodeAll(state, path);
}
void BM_DecodeAllLinesInOrder(benchmark::State& state) {
    static const std::string path =
        HostileFile("lines-in-order", hostile::InterleavedLines(BenchSize(90000, 2000), true));
    RunDecodeAll(state, path);
}
void BM_DecodeAllLinesOutOfOrder(benchmark::State& state) {
    static const std::string path =
        HostileFile("lines-out-of-order", hostile::InterleavedLines(BenchSize(90000, 2000), false));
    RunDecodeAll(state, path);
}

// The records of a noisy load, packed as the sample store keeps them.
const std::vector<StoredSample>& AppendRecords() {
    static const std::vector<StoredSample> records = [] {
        SampleStore store;
        SampleStats stats;
        AppendNoisyLoad(store, stats, BenchSize<size_t>(10'000'000, 100'000), 10);
        std::vector<StoredSample> out;
        out.reserve(store.Size());
        for (size_t i = 0; i < store.Size(); ++i) {
            out.push_back(store.At(i));
        }
        return out;
    }();
    return records;
}

// Appending the records to a new sample store beside copying them into newly allocated memory:
// both touch their pages for the first time, so the ratio shows what the store's bookkeeping
// (summaries, energy checkpoints, chunks) adds to storing the bytes. CPU time of the thread.
void BM_SampleStoreAppend(benchmark::State& state) {
    const std::vector<StoredSample>& records = AppendRecords();
    double appendCpu = 0;
    double copyCpu = 0;
    for (auto _ : state) {
        double start = ThreadCpuSeconds();
        {
            SampleStore store;
            for (const StoredSample& record : records) {
                store.Append(record);
            }
            benchmark::DoNotOptimize(store.Size());
            appendCpu += ThreadCpuSeconds() - start;
        }
        start = ThreadCpuSeconds();
        {
            std::unique_ptr<StoredSample[]> copy(new StoredSample[records.size()]);
            std::copy(records.begin(), records.end(), copy.get());
            benchmark::DoNotOptimize(copy.get());
            copyCpu += ThreadCpuSeconds() - start;
        }
    }
    const double appended = static_cast<double>(records.size() * state.iterations());
    state.counters["samples"] = static_cast<double>(records.size());
    state.counters["appended_per_s_cpu"] = appended / appendCpu;
    state.counters["copied_per_s_cpu"] = appended / copyCpu;
}

}  // namespace

BENCHMARK(BM_SampleStoreAppend)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_DecodeAllLong)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_DecodeAllPdDense)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_DecodeAllAmbiguousBursts)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_DecodeAllBranchingPackets)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_DecodeAllTinyBursts)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_DecodeAllLinesInOrder)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_DecodeAllLinesOutOfOrder)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_MAIN();
