// Find Next over a million list rows and a display filter pass over a million packets, as the
// message list runs them, beside a same-run walk that reads the same packet fields without
// testing them. The rows cycle through the packets of the synthesizer's "mixed" capture.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "bench_size.h"
#include "capture/document.h"
#include "columns/document_context.h"
#include "columns/idle_time.h"
#include "columns/packet_row.h"
#include "list/core/find_row.h"
#include "list/core/packet_match.h"
#include "simulated_document.h"

namespace {

const size_t kRows = BenchSize<size_t>(1000000, 10000);

// A million rows over the capture's packets, with their idle times.
const std::vector<PacketRow>& MillionRows() {
    static const std::vector<PacketRow> rows = [] {
        const CKVDoc& doc = SimulatedDocument("mixed");
        const std::vector<int64_t> idle = IdleTimes(doc.Packets(), 0);
        std::vector<PacketRow> out;
        out.reserve(kRows);
        for (size_t i = 0; i < kRows && doc.PacketCount() > 0; ++i) {
            const size_t index = i % doc.PacketCount();
            out.push_back({doc.Packets()[index].get(), static_cast<int32_t>(i), idle[index]});
        }
        return out;
    }();
    return rows;
}

// Rows per second of reading what the tests read (line, kind, flags, header) without deciding.
double BaselineRowsPerSecond(const std::vector<PacketRow>& rows) {
    double best = 0;
    for (int pass = 0; pass < 3; ++pass) {
        const auto start = std::chrono::steady_clock::now();
        uint64_t sum = 0;
        for (const PacketRow& row : rows) {
            const CCCPacket& p = *row.packet;
            sum += static_cast<uint64_t>(p.ccLine + p.orderedSetKind + p.crcOk + p.preambleFound +
                                         p.eopFound + p.bytesAssembled + p.messageBytes[0] +
                                         p.messageBytes[1]);
        }
        benchmark::DoNotOptimize(sum);
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        best = std::max(best, static_cast<double>(rows.size()) / elapsed.count());
    }
    return best;
}

// Rows per iteration and the baseline rate; the summary divides the rows by the wall time.
void Report(benchmark::State& state, size_t rows, double baseline) {
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["baseline_rows_per_s"] = baseline;
}

// Find Next from the first row with the find defaults, which match no packet: the walk tests
// every row down to its last rule and ends in "Message Not Found.".
void BM_FindNextMillionRows(benchmark::State& state) {
    const std::vector<PacketRow>& rows = MillionRows();
    const ColumnContext context = DocumentColumnContext(SimulatedDocument("mixed"), false);
    const FindCriteria criteria = FindDefaults();
    const double baseline = BaselineRowsPerSecond(rows);
    for (auto _ : state) {
        const int row = FindMatchingRow(static_cast<int>(rows.size()), 0, true, [&](int r) {
            const PacketRow& candidate = rows[static_cast<size_t>(r)];
            return MatchFind(criteria, candidate, context) != -1;
        });
        benchmark::DoNotOptimize(row);
    }
    Report(state, rows.size(), baseline);
}
BENCHMARK(BM_FindNextMillionRows)->Unit(benchmark::kMillisecond)->UseRealTime();

// The display filter of a rebuild: every packet tested, errors and GoodCRC hidden.
void BM_FilterMillionPackets(benchmark::State& state) {
    const std::vector<PacketRow>& rows = MillionRows();
    const ColumnContext context = DocumentColumnContext(SimulatedDocument("mixed"), false);
    FindCriteria criteria = FilterStartValues();
    criteria.on[kCritInvalidPacket] = false;
    criteria.on[kCritCrcError] = false;
    criteria.on[*CriterionByLabel("GoodCRC")] = false;
    const double baseline = BaselineRowsPerSecond(rows);
    for (auto _ : state) {
        size_t shown = 0;
        for (const PacketRow& row : rows) {
            shown += ShownByFilter(criteria, row, context) ? 1 : 0;
        }
        benchmark::DoNotOptimize(shown);
    }
    Report(state, rows.size(), baseline);
}
BENCHMARK(BM_FilterMillionPackets)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
