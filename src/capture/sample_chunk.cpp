#include "capture/sample_chunk.h"

void SampleChunk::CompleteBlock(size_t b) {
    const StoredSample* first = &samples[b * kBlockSamples];
    SampleSummary summary = SampleSummary::Of(first[0]);
    for (size_t i = 1; i < kBlockSamples; ++i) {
        summary.Merge(SampleSummary::Of(first[i]));
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
