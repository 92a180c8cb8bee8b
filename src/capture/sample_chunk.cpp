#include "capture/sample_chunk.h"

void SampleChunk::CompleteBlock(size_t b) {
    size_t node = kBlocks + b;
    tree[node] = SampleSummary::Over(&samples[b * kBlockSamples], kBlockSamples);
    // A right child completes its parent: both children are then written.
    while (node > 1 && (node & 1) != 0) {
        node /= 2;
        tree[node] = tree[2 * node];
        tree[node].Merge(tree[2 * node + 1]);
    }
}
