// DecodePacket on typical messages: packets per second and time per edge, each beside a baseline
// that only copies the raw packet and sums its intervals (the least any decoder must do).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "pd/bmc_decoder.h"
#include "pd/bmc_encoding.h"

namespace {

enum Message { kCtrlGoodCrc, kSourceCaps, kExtendedChunk };

CCCPacket RawPacket(int message) {
    switch (message) {
        case kCtrlGoodCrc:
            return bmc::BitsPacket(bmc::MessageBits(bmc::kSop, bmc::GoodCrcBytes()));
        case kSourceCaps:
            return bmc::BitsPacket(bmc::MessageBits(bmc::kSop, bmc::SourceCapsBytes()));
        default:
            return bmc::BitsPacket(bmc::MessageBits(bmc::kSop, bmc::ExtendedChunkBytes()));
    }
}

void SetRates(benchmark::State& state, const CCCPacket& raw) {
    state.SetItemsProcessed(state.iterations());
    state.counters["edges"] = raw.edgeCount;
    state.counters["time/edge"] = benchmark::Counter(
        static_cast<double>(raw.edgeCount),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_DecodePacket(benchmark::State& state, int message) {
    const CCCPacket raw = RawPacket(message);
    for (auto _ : state) {
        CCCPacket packet = raw;
        DecodePacket(packet, 0);
        benchmark::DoNotOptimize(packet.crcOk);
    }
    CCCPacket check = raw;
    DecodePacket(check, 0);
    if (!check.crcOk) {
        state.SkipWithError("message did not decode");
    }
    SetRates(state, raw);
}

void BM_CopyAndSumBaseline(benchmark::State& state, int message) {
    const CCCPacket raw = RawPacket(message);
    for (auto _ : state) {
        CCCPacket packet = raw;
        int32_t ticks = 0;
        for (const CcEdge& edge : packet.edges) {
            ticks += edge.ticks;
        }
        benchmark::DoNotOptimize(ticks);
    }
    SetRates(state, raw);
}

BENCHMARK_CAPTURE(BM_CopyAndSumBaseline, GoodCRC, kCtrlGoodCrc);
BENCHMARK_CAPTURE(BM_DecodePacket, GoodCRC, kCtrlGoodCrc);
BENCHMARK_CAPTURE(BM_CopyAndSumBaseline, SourceCaps7Pdo, kSourceCaps);
BENCHMARK_CAPTURE(BM_DecodePacket, SourceCaps7Pdo, kSourceCaps);
BENCHMARK_CAPTURE(BM_CopyAndSumBaseline, ExtendedChunk, kExtendedChunk);
BENCHMARK_CAPTURE(BM_DecodePacket, ExtendedChunk, kExtendedChunk);

}  // namespace

BENCHMARK_MAIN();
