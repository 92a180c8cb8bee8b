// Builds record streams for tests: sample blocks and CC edge bursts with known packets.
#pragma once

#include <cassert>
#include <cstdint>
#include <cstring>
#include <vector>

#include "capture/info_block.h"
#include "capture/record_block.h"

// A raw sample as the analyzer sends it.
struct RawSample {
    uint32_t timestamp = 0;
    uint16_t vbusVoltage = 0;
    int16_t vbusCurrent = 0;
    uint16_t cc1Voltage = 0;
    int16_t cc1Current = 0;
    uint16_t cc2Voltage = 0;
    int16_t cc2Current = 0;
};

// What the edge parser should hand over for one generated packet.
struct ExpectedPacket {
    int ccLine = 0;
    int64_t startTime = 0;  // microseconds
    std::vector<uint8_t> entries;
    uint64_t firstBlockOffset = 0;
    uint64_t lastBlockOffset = 0;
};

class StreamBuilder {
  public:
    // Starts with the placeholder InfoBlock of a record file unless bare.
    explicit StreamBuilder(bool withInfoBlock = true) {
        if (withInfoBlock) {
            Add(PlaceholderInfoBlock());
        }
    }

    void Add(const RecordBlock& block) {
        bytes_.insert(bytes_.end(), block.bytes.begin(), block.bytes.end());
    }

    // Raw SampleBlock with an explicit kind word.
    void AddSampleBlock(uint16_t kindWord, const std::vector<RawSample>& samples) {
        RecordBlock block;
        WriteU16(block.bytes.data(), kindWord);
        for (size_t i = 0; i < samples.size() && i < 3; ++i) {
            uint8_t* p = block.bytes.data() + 2 + 16 * i;
            const RawSample& s = samples[i];
            WriteU32(p, s.timestamp);
            WriteU16(p + 4, s.vbusVoltage);
            WriteU16(p + 6, static_cast<uint16_t>(s.vbusCurrent));
            WriteU16(p + 8, s.cc1Voltage);
            WriteU16(p + 10, static_cast<uint16_t>(s.cc1Current));
            WriteU16(p + 12, s.cc2Voltage);
            WriteU16(p + 14, static_cast<uint16_t>(s.cc2Current));
        }
        Add(block);
    }

    // Samples packed three to a block.
    void AddSamples(const std::vector<RawSample>& samples) {
        for (size_t i = 0; i < samples.size(); i += 3) {
            std::vector<RawSample> group(
                samples.begin() + static_cast<ptrdiff_t>(i),
                samples.begin() + static_cast<ptrdiff_t>(std::min(i + 3, samples.size())));
            AddSampleBlock(static_cast<uint16_t>(0x2000 | group.size()), group);
        }
    }

    // A raw CcEdgeBlock.
    void AddEdgeBlock(int ccLine, int burst, int sequence, uint32_t timestamp, uint16_t clock,
                      const std::vector<uint8_t>& bytes) {
        RecordBlock block;
        uint16_t kind =
            static_cast<uint16_t>((sequence & 0x0F) | ((burst & 0xFF) << 4) | ((ccLine & 1) << 14));
        WriteU16(block.bytes.data(), kind);
        WriteU32(block.bytes.data() + 2, timestamp);
        WriteU16(block.bytes.data() + 6, clock);
        for (size_t i = 0; i < kEdgeBytesPerBlock && i < bytes.size(); ++i) {
            block.bytes[8 + i] = bytes[i];
        }
        Add(block);
    }

    // One burst of activity on a CC line: packets given as their first transition tick and
    // intervals (each 1..255 and short enough to stay in the packet), in increasing tick
    // order, separated by idle gaps. The burst starts with a new burst number so that it
    // never continues the previous edge block: the line synchronises on its first block.
    void AddEdgeBurst(int ccLine, int divider, const std::vector<uint64_t>& firstTicks,
                      const std::vector<std::vector<uint8_t>>& intervals) {
        assert(firstTicks.size() == intervals.size() && !firstTicks.empty());
        burst_ = (burst_ + 2) & 0xFF;
        // Baseline byte: a tick just before the first transition whose time is a whole
        // microsecond, so that synchronising on it loses nothing to truncation.
        uint64_t base = firstTicks[0] - 1;
        while ((base * static_cast<uint64_t>(divider)) % 48 != 0) {
            --base;
        }
        std::vector<uint8_t> bytes{static_cast<uint8_t>(base)};
        std::vector<uint64_t> byteTicks{base};
        uint64_t tick = base;
        auto emitIdleUntil = [&](uint64_t until) {
            // One repeated byte for every pass of the timer through zero.
            uint64_t next = (tick / 256 + 1) * 256;
            while (next <= until) {
                assert(bytes.back() != 0 || bytes.size() == 1);
                bytes.push_back(bytes.back());
                byteTicks.push_back(next);
                tick = next;
                next += 256;
            }
        };
        size_t firstPacket = expected_.size();
        for (size_t k = 0; k < firstTicks.size(); ++k) {
            uint64_t t = firstTicks[k];
            assert(t > tick);
            uint64_t length = 0;
            for (uint8_t interval : intervals[k]) {
                length += interval;
            }
            // What the 8-bit captures cannot express moves the packet on by a tick: a
            // transition equal to the byte before it, and a last transition at timer value 0
            // (the wrap marker after it would count no time).
            for (;;) {
                emitIdleUntil(t);
                if (static_cast<uint8_t>(t) == bytes.back() || (t + length) % 256 == 0) {
                    ++t;
                    continue;
                }
                break;
            }
            ExpectedPacket packet;
            packet.ccLine = ccLine;
            packet.startTime = static_cast<int64_t>(t * static_cast<uint64_t>(divider) / 48);
            packet.firstBlockOffset = bytes.size();  // byte index for now
            bytes.push_back(static_cast<uint8_t>(t));
            byteTicks.push_back(t);
            for (uint8_t interval : intervals[k]) {
                t += interval;
                bytes.push_back(static_cast<uint8_t>(t));
                byteTicks.push_back(t);
                packet.entries.push_back(interval);
            }
            packet.lastBlockOffset = bytes.size() - 1;  // byte index for now
            tick = t;
            expected_.push_back(packet);
        }
        // Two passes through zero end the last packet; then fill the block.
        emitIdleUntil(tick + 512 + 1);
        while (bytes.size() % kEdgeBytesPerBlock != 0) {
            bytes.push_back(bytes.back());
            byteTicks.push_back(byteTicks.back() / 256 * 256 + 256);
        }
        uint64_t firstBlock = bytes_.size();
        uint16_t clock = static_cast<uint16_t>(divider == 20 ? 0 : divider - 1);
        size_t blocks = bytes.size() / kEdgeBytesPerBlock;
        for (size_t b = 0; b < blocks; ++b) {
            std::vector<uint8_t> chunk(
                bytes.begin() + static_cast<ptrdiff_t>(b * kEdgeBytesPerBlock),
                bytes.begin() + static_cast<ptrdiff_t>((b + 1) * kEdgeBytesPerBlock));
            auto time = static_cast<uint32_t>(byteTicks[b * kEdgeBytesPerBlock] *
                                              static_cast<uint64_t>(divider) / 48);
            int sequence = static_cast<int>(b % 8);
            int burst = (burst_ + static_cast<int>(b / 8)) & 0xFF;
            AddEdgeBlock(ccLine, burst, sequence, time, clock, chunk);
        }
        burst_ = (burst_ + static_cast<int>((blocks - 1) / 8)) & 0xFF;
        for (size_t k = firstPacket; k < expected_.size(); ++k) {
            ExpectedPacket& packet = expected_[k];
            packet.firstBlockOffset =
                firstBlock + packet.firstBlockOffset / kEdgeBytesPerBlock * 64;
            packet.lastBlockOffset =
                firstBlock + packet.lastBlockOffset / kEdgeBytesPerBlock * 64 + 63;
        }
    }

    const std::vector<uint8_t>& Bytes() const { return bytes_; }
    const std::vector<ExpectedPacket>& Expected() const { return expected_; }

  private:
    std::vector<uint8_t> bytes_;
    std::vector<ExpectedPacket> expected_;
    int burst_ = 0;
};

// A packet of n intervals alternating like BMC half and full unit intervals at divider 20.
inline std::vector<uint8_t> BmcLikeIntervals(size_t n) {
    std::vector<uint8_t> intervals;
    for (size_t i = 0; i < n; ++i) {
        intervals.push_back(i % 3 == 2 ? 8 : 4);
    }
    return intervals;
}
