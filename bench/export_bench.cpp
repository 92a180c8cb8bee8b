// The export and stitch writers on the capture of 100 000 packets: the CSV export of samples
// and packets beside a plain write of the same byte count, and the record slice and the stitch
// beside a plain copy of the same bytes in 1 MiB chunks.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "capture/document.h"
#include "list/core/column_info.h"
#include "long_capture.h"
#include "tools/chunk_copier.h"
#include "tools/csv_format.h"
#include "tools/csv_writer.h"
#include "tools/record_slice.h"
#include "tools/stitch_writer.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string OutputFile(const char* name) {
    return (std::filesystem::temp_directory_path() / name).string();
}

double Seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

const CKVDoc& Document() {
    static CKVDoc* document = [] {
        auto* doc = new CKVDoc;
        doc->OpenRecordFile(LongCapture100k());
        return doc;
    }();
    return *document;
}

// Writes size bytes of a filled buffer in 64 KiB pieces: the cost of the bytes alone.
double PlainWriteSeconds(uint64_t size) {
    const std::vector<char> buffer(65536, 'x');
    const Clock::time_point start = Clock::now();
    std::FILE* out = std::fopen(OutputFile("zoduz-bench-plain.out").c_str(), "wb");
    for (uint64_t left = size; left > 0 && out != nullptr;) {
        const size_t piece = static_cast<size_t>(std::min<uint64_t>(left, buffer.size()));
        std::fwrite(buffer.data(), 1, piece, out);
        left -= piece;
    }
    if (out != nullptr) {
        std::fclose(out);
    }
    return Seconds(start);
}

// Copies size bytes of source from offset in 1 MiB chunks with fread and fwrite.
double PlainCopySeconds(const std::string& source, int64_t offset, uint64_t size) {
    std::vector<char> buffer(kCopyChunkSize);
    const Clock::time_point start = Clock::now();
    std::FILE* in = std::fopen(source.c_str(), "rb");
    std::FILE* out = std::fopen(OutputFile("zoduz-bench-copy.out").c_str(), "wb");
    if (in != nullptr && out != nullptr && std::fseek(in, offset, SEEK_SET) == 0) {
        for (uint64_t left = size; left > 0;) {
            const size_t want = static_cast<size_t>(std::min<uint64_t>(left, buffer.size()));
            const size_t got = std::fread(buffer.data(), 1, want, in);
            if (got == 0 || std::fwrite(buffer.data(), 1, got, out) != got) {
                break;
            }
            left -= got;
        }
    }
    for (std::FILE* file : {in, out}) {
        if (file != nullptr) {
            std::fclose(file);
        }
    }
    return Seconds(start);
}

// bytes: written by one iteration; the seconds are summed over all iterations.
void ReportRates(benchmark::State& state, const char* name, const char* baseName, double bytes,
                 double seconds, double baseSeconds) {
    const double total = bytes * static_cast<double>(state.iterations()) / 1e6;
    state.counters["bytes"] = bytes;
    state.counters[name] = total / seconds;
    state.counters[baseName] = total / baseSeconds;
}

void BM_ExportCsvBoth(benchmark::State& state) {
    const CKVDoc& doc = Document();
    const DocumentSnapshot snapshot = doc.Snapshot();
    CsvExportOptions options;
    options.items = ExportItems::kBoth;
    options.columns = ExportColumns(DefaultColumnLayout(), true);
    options.rangeStart = -(int64_t{1} << 50);
    options.rangeEnd = int64_t{1} << 50;
    const std::string path = OutputFile("zoduz-bench-export.csv");
    double exportSeconds = 0;
    double plainSeconds = 0;
    uint64_t bytes = 0;
    for (auto _ : state) {
        JobControl control;
        const Clock::time_point start = Clock::now();
        if (WriteCsvExport(snapshot, options, path, control) != ToolResult::kSucceeded) {
            state.SkipWithError("export failed");
            return;
        }
        exportSeconds += Seconds(start);
        state.PauseTiming();
        bytes = std::filesystem::file_size(path);
        plainSeconds += PlainWriteSeconds(bytes);
        state.ResumeTiming();
    }
    state.counters["packets"] = static_cast<double>(doc.PacketCount());
    state.counters["samples"] = static_cast<double>(doc.SampleCount());
    ReportRates(state, "csv_MBps", "plain_write_MBps", static_cast<double>(bytes), exportSeconds,
                plainSeconds);
}

void BM_RecordSliceWhole(benchmark::State& state) {
    const CKVDoc& doc = Document();
    const RecordSlice slice =
        FindRecordSlice(doc.Snapshot(), -(int64_t{1} << 50), int64_t{1} << 50);
    double sliceSeconds = 0;
    double copySeconds = 0;
    for (auto _ : state) {
        JobControl control;
        const Clock::time_point start = Clock::now();
        if (WriteRecordSlice(doc.RecordFilePath(), slice, OutputFile("zoduz-bench-slice.zaz"),
                             control) != ToolResult::kSucceeded) {
            state.SkipWithError("slice failed");
            return;
        }
        sliceSeconds += Seconds(start);
        state.PauseTiming();
        copySeconds += PlainCopySeconds(doc.RecordFilePath(), slice.first,
                                        static_cast<uint64_t>(slice.Size()));
        state.ResumeTiming();
    }
    ReportRates(state, "slice_MBps", "copy_MBps", static_cast<double>(slice.Size()), sliceSeconds,
                copySeconds);
}

void BM_StitchThreeParts(benchmark::State& state) {
    const std::string& part = LongCapture100k();
    const std::vector<std::string> parts = {part, part, part};
    const uint64_t partSize = std::filesystem::file_size(part);
    double stitchSeconds = 0;
    double copySeconds = 0;
    for (auto _ : state) {
        JobControl control;
        const Clock::time_point start = Clock::now();
        if (WriteStitchedFile(parts, OutputFile("zoduz-bench-stitched.zaz"), control) !=
            ToolResult::kSucceeded) {
            state.SkipWithError("stitch failed");
            return;
        }
        stitchSeconds += Seconds(start);
        state.PauseTiming();
        for (int i = 0; i < 3; ++i) {
            copySeconds += PlainCopySeconds(part, 0, partSize);
        }
        state.ResumeTiming();
    }
    ReportRates(state, "stitch_MBps", "copy_MBps", static_cast<double>(3 * partSize), stitchSeconds,
                copySeconds);
}

BENCHMARK(BM_ExportCsvBoth)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_RecordSliceWhole)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_StitchThreeParts)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
