#include "capture/sample_snapshot.h"

#include <algorithm>
#include <utility>

namespace {

constexpr size_t kChunk = SampleChunk::kSamples;

struct SummaryCollector {
    std::optional<SampleSummary> summary;

    void AddSummary(const SampleSummary& s) {
        if (summary) {
            summary->Merge(s);
        } else {
            summary = s;
        }
    }
    void AddSample(const StoredSample& sample) { AddSummary(SampleSummary::Of(sample)); }
};

bool MayHold(const SampleSummary& summary, int32_t voltage, int32_t current) {
    return summary.Extremes(PlotValue::VbusVoltage).Contains(voltage) &&
           summary.Extremes(PlotValue::VbusCurrent).Contains(current);
}

// First slot in [from, to) of the chunk holding the reading, descending only into tree nodes
// whose summary may hold it. node covers slots [nodeFrom, nodeTo).
std::optional<size_t> FindInNode(const SampleChunk& chunk, size_t node, size_t nodeFrom,
                                 size_t nodeTo, size_t from, size_t to, int32_t voltage,
                                 int32_t current) {
    if (nodeTo <= from || to <= nodeFrom) {
        return std::nullopt;
    }
    bool whole = from <= nodeFrom && nodeTo <= to;
    if (whole && !MayHold(chunk.tree[node], voltage, current)) {
        return std::nullopt;
    }
    if (nodeTo - nodeFrom == SampleChunk::kBlockSamples) {
        for (size_t i = std::max(from, nodeFrom); i < std::min(to, nodeTo); ++i) {
            const StoredSample& s = chunk.samples[i];
            if (s.vbusVoltage == voltage && s.vbusCurrent == current) {
                return i;
            }
        }
        return std::nullopt;
    }
    size_t middle = nodeFrom + (nodeTo - nodeFrom) / 2;
    if (auto found = FindInNode(chunk, 2 * node, nodeFrom, middle, from, to, voltage, current)) {
        return found;
    }
    return FindInNode(chunk, 2 * node + 1, middle, nodeTo, from, to, voltage, current);
}

}  // namespace

struct SampleSnapshot::ExtremesCollector {
    PlotValue value;
    ValueExtremes extremes{INT32_MAX, INT32_MIN};

    void AddSummary(const SampleSummary& s) { Add(s.Extremes(value)); }
    void AddSample(const StoredSample& sample) {
        int32_t v = PlotValueOf(sample, value);
        Add({v, v});
    }
    void Add(const ValueExtremes& e) {
        extremes.min = std::min(extremes.min, e.min);
        extremes.max = std::max(extremes.max, e.max);
    }
};

SampleSnapshot::SampleSnapshot(std::vector<ChunkPtr> chunks, size_t frontSkip, size_t size)
    : chunks_(std::move(chunks)), frontSkip_(frontSkip), size_(size) {
    size_t count = chunks_.size();
    if (count == 0) {
        return;
    }
    chunkTree_.resize(2 * count);
    for (size_t c = 0; c < count; ++c) {
        SummaryCollector collector;
        VisitChunkRange(*chunks_[c], ChunkBegin(c), ChunkEnd(c), collector);
        chunkTree_[count + c] = *collector.summary;
    }
    for (size_t node = count - 1; node >= 1; --node) {
        chunkTree_[node] = chunkTree_[2 * node];
        chunkTree_[node].Merge(chunkTree_[2 * node + 1]);
    }
}

size_t SampleSnapshot::ChunkBegin(size_t c) const {
    return c == 0 ? frontSkip_ : 0;
}

size_t SampleSnapshot::ChunkEnd(size_t c) const {
    return c + 1 == chunks_.size() ? frontSkip_ + size_ - c * kChunk : kChunk;
}

ValueExtremes SampleSnapshot::Extremes(size_t first, size_t last, PlotValue value) const {
    ExtremesCollector collector{value};
    collector.AddSample(At(first));
    collector.AddSample(At(last));
    size_t from = first + frontSkip_;
    size_t to = last + frontSkip_ + 1;
    // Whole blocks [firstBlock, endBlock) from the summaries; the partial blocks at both ends
    // afterwards, when their block's summary reaches beyond what is known by then.
    size_t firstBlock = (from + kBlock - 1) / kBlock;
    size_t endBlock = to / kBlock;
    if (firstBlock > endBlock) {  // inside one block
        AddPartialBlock(from, to, collector);
        return collector.extremes;
    }
    if (firstBlock < endBlock) {
        AddWholeBlocks(firstBlock, endBlock, collector);
    }
    AddPartialBlock(from, firstBlock * kBlock, collector);
    AddPartialBlock(endBlock * kBlock, to, collector);
    return collector.extremes;
}

void SampleSnapshot::AddWholeBlocks(size_t firstBlock, size_t endBlock,
                                    ExtremesCollector& collector) const {
    constexpr size_t kBlocks = SampleChunk::kBlocks;
    size_t firstChunk = firstBlock / kBlocks;
    size_t lastChunk = (endBlock - 1) / kBlocks;
    auto visit = [&](size_t c, size_t fromBlock, size_t toBlock) {
        VisitChunkRange(*chunks_[c], fromBlock * kBlock, toBlock * kBlock, collector);
    };
    if (firstChunk == lastChunk) {
        visit(firstChunk, firstBlock % kBlocks, (endBlock - 1) % kBlocks + 1);
        return;
    }
    visit(firstChunk, firstBlock % kBlocks, kBlocks);
    visit(lastChunk, 0, (endBlock - 1) % kBlocks + 1);
    size_t count = chunks_.size();
    for (size_t lo = firstChunk + 1 + count, hi = lastChunk + count; lo < hi; lo /= 2, hi /= 2) {
        if (lo & 1) {
            collector.AddSummary(chunkTree_[lo++]);
        }
        if (hi & 1) {
            collector.AddSummary(chunkTree_[--hi]);
        }
    }
}

void SampleSnapshot::AddPartialBlock(size_t from, size_t to, ExtremesCollector& collector) const {
    if (from >= to) {
        return;
    }
    const SampleChunk& chunk = *chunks_[from / kChunk];
    size_t block = from % kChunk / kBlock;
    // A block's summary exists once its last sample is in; the block may reach before the
    // snapshot's first sample, which only widens the summary.
    bool complete = (from / kBlock + 1) * kBlock <= frontSkip_ + size_;
    if (complete) {
        ValueExtremes whole = chunk.tree[SampleChunk::kBlocks + block].Extremes(collector.value);
        if (collector.extremes.min <= whole.min && whole.max <= collector.extremes.max) {
            return;
        }
    }
    const StoredSample* samples = chunk.samples;
    for (size_t slot = from % kChunk, end = slot + (to - from); slot < end; ++slot) {
        collector.AddSample(samples[slot]);
    }
}

void SampleSnapshot::Prefetch(size_t i) const {
    size_t slot = i + frontSkip_;
    const SampleChunk& chunk = *chunks_[slot / kChunk];
    const StoredSample* sample = &chunk.samples[slot % kChunk];
    __builtin_prefetch(sample);
    __builtin_prefetch(sample + 1);
    for (size_t node = SampleChunk::kBlocks + slot % kChunk / kBlock; node > 1; node /= 2) {
        __builtin_prefetch(&chunk.tree[node]);
        __builtin_prefetch(&chunk.tree[node ^ 1]);
    }
}

std::optional<size_t> SampleSnapshot::FindVbusReading(size_t first, size_t last, int32_t voltage,
                                                      int32_t current) const {
    size_t from = first + frontSkip_;
    size_t to = last + frontSkip_ + 1;
    size_t count = chunks_.size();
    for (size_t c = from / kChunk; c <= (to - 1) / kChunk; ++c) {
        if (!MayHold(chunkTree_[count + c], voltage, current)) {
            continue;
        }
        size_t chunkFrom = std::max(from, c * kChunk) - c * kChunk;
        size_t chunkTo = std::min(to, (c + 1) * kChunk) - c * kChunk;
        if (auto slot =
                FindInNode(*chunks_[c], 1, 0, kChunk, chunkFrom, chunkTo, voltage, current)) {
            return c * kChunk + *slot - frontSkip_;
        }
    }
    return std::nullopt;
}

EnergySums SampleSnapshot::EnergyAt(size_t i) const {
    // From the nearer of the two checkpoints around i: the sums at the first sample of i's
    // block, plus the segments up to i; or, when the next block has begun within the snapshot,
    // the sums at its first sample minus the segments from i to it (the sums wrap, so the
    // difference is exact). Either walk is at most half a block.
    size_t slot = i + frontSkip_;
    size_t blockStart = slot - slot % kBlock;
    size_t nextBlock = blockStart + kBlock;
    auto checkpoint = [this](size_t blockSlot) {
        return chunks_[blockSlot / kChunk]->blockEnergy[blockSlot % kChunk / kBlock];
    };
    // Slots before the snapshot's first sample are still held: the first block may begin there.
    auto pointAt = [this](size_t s) {
        return EnergyPointOf(chunks_[s / kChunk]->samples[s % kChunk]);
    };
    // Segments between slots from and to, all inside from's block except perhaps to itself,
    // which may open the next chunk.
    auto segments = [&](size_t from, size_t to) {
        const StoredSample* run = &chunks_[from / kChunk]->samples[from % kChunk];
        EnergySums sums;
        EnergyPoint previous = EnergyPointOf(run[0]);
        for (size_t k = 1; k < to - from; ++k) {
            EnergyPoint point = EnergyPointOf(run[k]);
            AccumulateSegment(sums, previous, point);
            previous = point;
        }
        if (to > from) {
            AccumulateSegment(sums, previous, pointAt(to));
        }
        return sums;
    };
    if (slot - blockStart > kBlock / 2 && nextBlock < frontSkip_ + size_) {
        return checkpoint(nextBlock) - segments(slot, nextBlock);
    }
    EnergySums sums = checkpoint(blockStart);
    sums += segments(blockStart, slot);
    return sums;
}
