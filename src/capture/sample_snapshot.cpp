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

struct ExtremesCollector {
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
    size_t from = first + frontSkip_;
    size_t to = last + frontSkip_ + 1;
    size_t firstChunk = from / kChunk;
    size_t lastChunk = (to - 1) / kChunk;
    if (firstChunk == lastChunk) {
        VisitChunkRange(*chunks_[firstChunk], from % kChunk, (to - 1) % kChunk + 1, collector);
        return collector.extremes;
    }
    VisitChunkRange(*chunks_[firstChunk], from % kChunk, kChunk, collector);
    VisitChunkRange(*chunks_[lastChunk], 0, (to - 1) % kChunk + 1, collector);
    size_t count = chunks_.size();
    for (size_t lo = firstChunk + 1 + count, hi = lastChunk + count; lo < hi; lo /= 2, hi /= 2) {
        if (lo & 1) {
            collector.AddSummary(chunkTree_[lo++]);
        }
        if (hi & 1) {
            collector.AddSummary(chunkTree_[--hi]);
        }
    }
    return collector.extremes;
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
    size_t slot = i + frontSkip_;
    const SampleChunk& chunk = *chunks_[slot / kChunk];
    size_t inChunk = slot % kChunk;
    size_t blockStart = inChunk - inChunk % SampleChunk::kBlockSamples;
    EnergySums sums = chunk.blockEnergy[blockStart / SampleChunk::kBlockSamples];
    EnergyPoint previous = EnergyPointOf(chunk.samples[blockStart]);
    for (size_t k = blockStart + 1; k <= inChunk; ++k) {
        EnergyPoint point = EnergyPointOf(chunk.samples[k]);
        AccumulateSegment(sums, previous, point);
        previous = point;
    }
    return sums;
}
