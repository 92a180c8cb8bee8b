#include "capture/record_stream.h"

#include <algorithm>
#include <cstring>
#include <iterator>

void RecordStreamParser::Feed(std::span<const uint8_t> data, RecordSink& sink) {
    if (data.empty()) {
        return;
    }
    if (pendingSize_ > 0) {
        size_t take = std::min(kBlockSize - pendingSize_, data.size());
        std::memcpy(pending_ + pendingSize_, data.data(), take);
        pendingSize_ += take;
        data = data.subspan(take);
        if (pendingSize_ < kBlockSize) {
            return;
        }
        pendingSize_ = 0;
        ParseBlocks(pending_, 1, nextOffset_, sink);
    }
    size_t whole = data.size() / kBlockSize;
    if (whole > 0) {
        ParseBlocks(data.data(), whole, nextOffset_, sink);
    }
    size_t rest = data.size() - whole * kBlockSize;
    if (rest > 0) {
        std::memcpy(pending_, data.data() + whole * kBlockSize, rest);
    }
    pendingSize_ = rest;
}

void RecordStreamParser::ParseBlocks(const uint8_t* blocks, size_t count, uint64_t offset,
                                     RecordSink& sink) {
    for (size_t k = 0; k < count; ++k) {
        const uint8_t* block = blocks + k * kBlockSize;
        uint64_t blockOffset = offset + k * kBlockSize;
        uint16_t kindWord = KindWord(block);
        switch (KindOf(kindWord)) {
            case BlockKind::kInfo:
                ++counts_.info;
                FlushSamples(sink);
                ReadInfoBlock(
                    block, [&](const InfoEntry& entry) { sink.OnInfoEntry(entry, blockOffset); });
                break;
            case BlockKind::kSample:
                ++counts_.sample;
                if (batchSize_ + kMaxSamplesPerBlock > std::size(batch_)) {
                    FlushSamples(sink);
                }
                batchSize_ += static_cast<size_t>(
                    samples_.ParseBlock(block, blockOffset, batch_ + batchSize_));
                break;
            case BlockKind::kCcEdge:
                ++counts_.ccEdge;
                break;
        }
    }
    FlushSamples(sink);
    for (size_t k = 0; k < count; ++k) {
        const uint8_t* block = blocks + k * kBlockSize;
        if (!HasSampleBit(KindWord(block))) {
            edges_.ParseBlock(block, offset + k * kBlockSize, sink);
        }
    }
    nextOffset_ = std::max(nextOffset_, offset + count * kBlockSize);
}

void RecordStreamParser::FlushSamples(RecordSink& sink) {
    if (batchSize_ > 0) {
        // Emptied first: a sink that throws must not see these samples again.
        const size_t count = batchSize_;
        batchSize_ = 0;
        sink.OnSamples({batch_, count});
    }
}

void RecordStreamParser::Reset() {
    samples_.Reset();
    batchSize_ = 0;
    edges_.Reset();
    counts_ = {};
    nextOffset_ = 0;
    pendingSize_ = 0;
}
