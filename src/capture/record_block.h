// The 64-byte block of the analyzer stream and of record files, its kinds, and one VBUS/CC
// sample as the capture document hands it out.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "capture/byte_order.h"

inline constexpr size_t kBlockSize = 64;
inline constexpr uint16_t kInfoKindWord = 0xFFF0;
inline constexpr uint16_t kSampleKindBit = 0x2000;
inline constexpr int kMaxSamplesPerBlock = 3;
inline constexpr size_t kSampleSize = 16;
inline constexpr size_t kSampleAreaOffset = 2;
inline constexpr size_t kEdgeBytesOffset = 8;
inline constexpr size_t kEdgeBytesPerBlock = 56;

// One block as written to a record file or produced by a stand-in device.
struct RecordBlock {
    std::array<uint8_t, kBlockSize> bytes{};
};

enum class BlockKind : uint8_t {
    kSample,
    kCcEdge,
    kInfo,
};

// The kind word is the first 16-bit field of every block. 0xFFF0 also has the sample bit set
// with a sample count of 0, so the sample parser may see InfoBlocks without harm.
constexpr BlockKind KindOf(uint16_t kindWord) {
    if (kindWord == kInfoKindWord) {
        return BlockKind::kInfo;
    }
    return (kindWord & kSampleKindBit) != 0 ? BlockKind::kSample : BlockKind::kCcEdge;
}

inline uint16_t KindWord(const uint8_t* block) {
    return ReadU16(block);
}

constexpr bool HasSampleBit(uint16_t kindWord) {
    return (kindWord & kSampleKindBit) != 0;
}

// Samples actually present in a SampleBlock: bits 0-3, at most three fit in a block.
constexpr int SampleCount(uint16_t kindWord) {
    int count = kindWord & 0x0F;
    return count > kMaxSamplesPerBlock ? kMaxSamplesPerBlock : count;
}

// CcEdgeBlock kind word fields.
constexpr int EdgeSequence(uint16_t kindWord) {
    return kindWord & 0x0F;
}
constexpr int EdgeBurst(uint16_t kindWord) {
    return (kindWord >> 4) & 0xFF;
}
constexpr int EdgeCcLine(uint16_t kindWord) {
    return (kindWord >> 14) & 0x01;
}

// The edge timer divider of a CcEdgeBlock's clock setting; 0 means the default of 20.
constexpr int ClockDividerOf(uint16_t clockSetting) {
    return clockSetting == 0 ? 20 : (clockSetting & 0xFF) + 1;
}

// Header fields of a CcEdgeBlock.
struct EdgeBlockHeader {
    int sequence = 0;
    int burst = 0;
    int ccLine = 0;
    uint32_t timestamp = 0;
    int divider = 20;
};

inline EdgeBlockHeader ReadEdgeBlockHeader(const uint8_t* block) {
    uint16_t kindWord = KindWord(block);
    return {EdgeSequence(kindWord), EdgeBurst(kindWord), EdgeCcLine(kindWord), ReadU32(block + 2),
            ClockDividerOf(ReadU16(block + 6))};
}

// One VBUS/CC sample. time is relative to the document's capture start time.
struct CVbusInfo {
    int64_t time = 0;
    uint16_t vbusVoltage = 0;
    int16_t cc1Voltage = 0;
    int16_t cc2Voltage = 0;
    int16_t vbusCurrent = 0;
    int16_t cc1Current = 0;
    int16_t cc2Current = 0;
    uint64_t blockOffset = 0;
};
