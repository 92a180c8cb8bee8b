#include "capture/sample_chunk.h"

#include <cstdint>

namespace {

// Where in a block each plotted value is smallest and largest.
struct ExtremeAt {
    int32_t min = INT32_MAX;
    int32_t max = INT32_MIN;
    size_t minAt = 0;
    size_t maxAt = 0;

    void Add(int32_t value, size_t at) {
        if (value < min) {
            min = value;
            minAt = at;
        }
        if (value > max) {
            max = value;
            maxAt = at;
        }
    }
};

}  // namespace

// One pass over the raw readings finds the samples that hold each value's extremes; the block's
// summary is the summary of those few samples. Powers are compared as raw products (µW, which
// fit 32 bits for any reading): truncating division by 1000 keeps their order, so the sample
// with the smallest product also has the smallest power.
void SampleChunk::CompleteBlock(size_t b) {
    const StoredSample* first = &samples[b * kBlockSamples];
    ExtremeAt extremes[kPlotValueCount];
    for (size_t i = 0; i < kBlockSamples; ++i) {
        const StoredSample& s = first[i];
        const int32_t values[kPlotValueCount] = {
            s.vbusVoltage,
            s.vbusCurrent,
            s.cc1Voltage,
            s.cc1Current,
            s.cc2Voltage,
            s.cc2Current,
            int32_t{s.vbusCurrent} * int32_t{s.vbusVoltage},
            int32_t{s.cc1Current} * int32_t{s.cc1Voltage},
            int32_t{s.cc2Current} * int32_t{s.cc2Voltage},
        };
        for (int v = 0; v < kPlotValueCount; ++v) {
            extremes[v].Add(values[v], i);
        }
    }
    SampleSummary summary = SampleSummary::Of(first[extremes[0].minAt]);
    for (const ExtremeAt& extreme : extremes) {
        summary.Merge(SampleSummary::Of(first[extreme.minAt]));
        summary.Merge(SampleSummary::Of(first[extreme.maxAt]));
    }
    size_t node = kBlocks + b;
    tree[node] = summary;
    // A right child completes its parent: both children are then written.
    while (node > 1 && (node & 1) != 0) {
        node /= 2;
        tree[node] = tree[2 * node];
        tree[node].Merge(tree[2 * node + 1]);
    }
}
