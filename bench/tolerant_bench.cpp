// DecodeAll with the tolerant pass on beside the strict decode (PD-dense and a distorted
// capture), and import-sr beside reading the same session's sample files alone.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "bench/bench_size.h"
#include "bench/catalog_capture.h"
#include "capture/document.h"
#include "device/sim/simulator.h"
#include "tools/sigrok/sr_export.h"
#include "tools/sigrok/sr_import.h"
#include "tools/sigrok/sr_zip.h"

namespace {

std::string BenchFile(const std::string& name) {
    return (std::filesystem::temp_directory_path() / ("zoduz-bench-" + name)).string();
}

// 100 copies of the catalog scenario, optionally distorted the way real captures are (level
// skew of either sign, 37-bit preambles).
std::string CatalogFile(const std::string& name, bool distorted) {
    const std::string file = BenchFile(name + ".zaz");
    WriteCatalogCapture(file, BenchSize(100, 2), [distorted](int copy, SimulationOptions& options) {
        if (distorted) {
            options.distortion.levelSkewUs = copy % 2 == 0 ? 0.6 : -0.6;
            options.distortion.preambleBits = 37;
        }
    });
    return file;
}

const std::string& PdDenseFile() {
    static const std::string path = CatalogFile("tolerant-pd-dense", false);
    return path;
}

const std::string& DistortedFile() {
    static const std::string path = CatalogFile("tolerant-distorted", true);
    return path;
}

double DecodeSeconds(const std::string& path, bool tolerant, size_t& recovered) {
    CKVDoc doc;
    doc.SetTolerantDecoding(tolerant);
    const auto start = std::chrono::steady_clock::now();
    doc.DecodeAll(path);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    recovered = doc.Tolerant().recovered + doc.Tolerant().recoverable;
    return seconds;
}

void RunTolerantBeside(benchmark::State& state, const std::string& path) {
    const double bytes = static_cast<double>(std::filesystem::file_size(path));
    double strict = 0;
    double tolerant = 0;
    size_t recovered = 0;
    for (auto _ : state) {
        strict += DecodeSeconds(path, false, recovered);
        tolerant += DecodeSeconds(path, true, recovered);
    }
    const double runs = static_cast<double>(state.iterations());
    state.counters["tolerant_MBps"] = bytes * runs / 1e6 / tolerant;
    state.counters["strict_MBps"] = bytes * runs / 1e6 / strict;
    state.counters["recovered"] = static_cast<double>(recovered);
    state.counters["file_bytes"] = bytes;
}

void BM_DecodeAllTolerantPdDense(benchmark::State& state) {
    RunTolerantBeside(state, PdDenseFile());
}
BENCHMARK(BM_DecodeAllTolerantPdDense)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_DecodeAllTolerantDistorted(benchmark::State& state) {
    RunTolerantBeside(state, DistortedFile());
}
BENCHMARK(BM_DecodeAllTolerantDistorted)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_ImportSr(benchmark::State& state) {
    const std::string session = BenchFile("tolerant-distorted.sr");
    std::string error;
    if (!ExportSigrokSession(DistortedFile(), session, error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    double importSeconds = 0;
    double unzipSeconds = 0;
    uint64_t sampleBytes = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        const auto result =
            ImportSigrokSession(session, BenchFile("tolerant-imported.zaz"), {}, error);
        importSeconds +=
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (!result) {
            state.SkipWithError(error.c_str());
            return;
        }
        sampleBytes = result->dataBytes;
        // The baseline: inflating the same sample files and touching every byte.
        start = std::chrono::steady_clock::now();
        SrZipReader archive(session);
        uint64_t sum = 0;
        for (int part = 1; archive.Has("logic-1-" + std::to_string(part)); ++part) {
            archive.ReadPieces("logic-1-" + std::to_string(part), 1 << 20,
                               [&sum](const uint8_t* data, size_t size) {
                                   for (size_t i = 0; i < size; ++i) {
                                       sum += data[i];
                                   }
                                   return true;
                               });
        }
        benchmark::DoNotOptimize(sum);
        unzipSeconds +=
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    const double runs = static_cast<double>(state.iterations());
    state.counters["import_MBps"] = static_cast<double>(sampleBytes) * runs / 1e6 / importSeconds;
    state.counters["unzip_MBps"] = static_cast<double>(sampleBytes) * runs / 1e6 / unzipSeconds;
    state.counters["sample_bytes"] = static_cast<double>(sampleBytes);
}
BENCHMARK(BM_ImportSr)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
