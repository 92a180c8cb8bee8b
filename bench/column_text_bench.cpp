// Row formatting throughput: all 38 column texts of every packet of a synthesized capture, as the
// message list builds its rows, beside formatting the packet number 38 times per packet.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "capture/document.h"
#include "columns/column_text.h"
#include "columns/document_context.h"
#include "columns/idle_time.h"
#include "pd/text_format.h"
#include "simulated_document.h"

namespace {

// Rows per second of the baseline: 38 "%d" texts per packet.
double BaselineRowsPerSecond(const CKVDoc& doc) {
    double best = 0;
    for (int pass = 0; pass < 5; ++pass) {
        const auto start = std::chrono::steady_clock::now();
        size_t length = 0;
        for (size_t i = 0; i < doc.PacketCount(); ++i) {
            for (int column = 0; column < kPacketColumnCount; ++column) {
                length += FormatText("%zu", i + static_cast<size_t>(column)).size();
            }
        }
        benchmark::DoNotOptimize(length);
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        best = std::max(best, static_cast<double>(doc.PacketCount()) / elapsed.count());
    }
    return best;
}

void BM_AllColumnTexts(benchmark::State& state) {
    const CKVDoc& doc = SimulatedDocument("catalog");
    const double baseline = BaselineRowsPerSecond(doc);
    const ColumnContext context = DocumentColumnContext(doc, false);
    const std::vector<int64_t> idleTimes = IdleTimes(doc.Packets(), context.timeOrigin);
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        size_t length = 0;
        for (size_t i = 0; i < doc.Packets().size(); ++i) {
            for (int column = 0; column < kPacketColumnCount; ++column) {
                const PacketRow row{doc.Packets()[i].get(), static_cast<int32_t>(i), idleTimes[i]};
                length += ColumnText(row, column, context).size();
            }
        }
        benchmark::DoNotOptimize(length);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    const double rows =
        static_cast<double>(doc.PacketCount()) * static_cast<double>(state.iterations()) / seconds;
    state.counters["rows_per_s"] = rows;
    state.counters["baseline_rows_per_s"] = baseline;
    state.counters["rows_per_baseline"] = rows / baseline;
}

}  // namespace

BENCHMARK(BM_AllColumnTexts)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
