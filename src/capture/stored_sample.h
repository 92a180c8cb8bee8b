// One VBUS/CC sample as the sample store keeps it: 28 bytes, without its owning document.
#pragma once

#include <cstdint>
#include <type_traits>

#include "capture/record_block.h"
#include "pd/electrical_readings.h"

// One sample without its owning document; the block offset is kept as a 48-bit block index
// (offsets of sample blocks are multiples of 64).
// Trivial on purpose: chunks are allocated without being zero-filled first.
struct StoredSample {
    uint32_t timeLow;
    int32_t timeHigh;
    uint16_t vbusVoltage;
    int16_t cc1Voltage;
    int16_t cc2Voltage;
    int16_t vbusCurrent;
    int16_t cc1Current;
    int16_t cc2Current;
    uint32_t blockIndexLow;
    uint16_t blockIndexHigh;

    int64_t Time() const {
        return static_cast<int64_t>((static_cast<uint64_t>(static_cast<uint32_t>(timeHigh)) << 32) |
                                    timeLow);
    }
};
static_assert(sizeof(StoredSample) == 28);
static_assert(std::is_trivially_default_constructible_v<StoredSample>);

// Writes the sample's fields straight into `stored`. Inline: the decode packs every sample of a
// capture, and building a copy first would read back fields just written one by one.
inline void PackSampleInto(const CVbusInfo& sample, StoredSample& stored) {
    auto time = static_cast<uint64_t>(sample.time);
    stored.timeLow = static_cast<uint32_t>(time);
    stored.timeHigh = static_cast<int32_t>(static_cast<uint32_t>(time >> 32));
    CopyElectricalReadings(sample, stored);
    uint64_t blockIndex = sample.blockOffset / kBlockSize;
    stored.blockIndexLow = static_cast<uint32_t>(blockIndex);
    stored.blockIndexHigh = static_cast<uint16_t>(blockIndex >> 32);
}

inline StoredSample PackSample(const CVbusInfo& sample) {
    StoredSample stored{};
    PackSampleInto(sample, stored);
    return stored;
}
CVbusInfo UnpackSample(const StoredSample& stored);
