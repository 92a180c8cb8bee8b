// Test-side physical layer: encodes symbols and bytes to BMC edge intervals, independently of
// the decoder's tables, so that decoding them checks both directions.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "pd/cc_packet.h"

namespace bmc {

// Five-bit line code of every symbol, written with the first transmitted bit as bit 0.
enum Line : uint8_t {
    kSync1 = 0b11000,
    kSync2 = 0b10001,
    kSync3 = 0b00110,
    kRst1 = 0b00111,
    kRst2 = 0b11001,
    kEop = 0b01101,
};
inline constexpr std::array<uint8_t, 16> kNibbleLine = {
    0b11110, 0b01001, 0b10100, 0b10101, 0b01010, 0b01011, 0b01110, 0b01111,
    0b10010, 0b10011, 0b10110, 0b10111, 0b11010, 0b11011, 0b11100, 0b11101,
};

using OrderedSet = std::array<uint8_t, 4>;
inline constexpr OrderedSet kSop = {kSync1, kSync1, kSync1, kSync2};
inline constexpr OrderedSet kSopPrime = {kSync1, kSync1, kSync3, kSync3};
inline constexpr OrderedSet kSopDoublePrime = {kSync1, kSync3, kSync1, kSync3};
inline constexpr OrderedSet kSopPrimeDebug = {kSync1, kRst2, kRst2, kSync3};
inline constexpr OrderedSet kSopDoublePrimeDebug = {kSync1, kRst2, kSync3, kSync2};
inline constexpr OrderedSet kHardReset = {kRst1, kRst1, kRst1, kRst2};
inline constexpr OrderedSet kCableReset = {kRst1, kSync1, kRst1, kSync3};

using Bits = std::vector<uint8_t>;

// Bitwise CRC-32 (reflected 0xEDB88320, initial all ones, complemented result).
inline uint32_t ReferenceCrc(const std::vector<uint8_t>& bytes) {
    uint32_t crc = 0xFFFFFFFFu;
    for (uint8_t byte : bytes) {
        crc ^= byte;
        for (int i = 0; i < 8; ++i) {
            crc = (crc & 1u) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
        }
    }
    return ~crc;
}

// `count` alternating bits starting with 0.
inline Bits Preamble(int count = 64) {
    Bits bits;
    for (int i = 0; i < count; ++i) {
        bits.push_back(static_cast<uint8_t>(i & 1));
    }
    return bits;
}

inline void AppendLine(Bits& bits, uint8_t line) {
    for (int i = 0; i < 5; ++i) {
        bits.push_back(static_cast<uint8_t>((line >> i) & 1u));
    }
}

inline void AppendOrderedSet(Bits& bits, const OrderedSet& set) {
    for (uint8_t line : set) {
        AppendLine(bits, line);
    }
}

// A byte goes out low nibble first.
inline void AppendByte(Bits& bits, uint8_t byte) {
    AppendLine(bits, kNibbleLine[byte & 0xF]);
    AppendLine(bits, kNibbleLine[byte >> 4]);
}

inline std::vector<uint8_t> WithCrc(std::vector<uint8_t> bytes) {
    const uint32_t crc = ReferenceCrc(bytes);
    for (int i = 0; i < 4; ++i) {
        bytes.push_back(static_cast<uint8_t>(crc >> (8 * i)));
    }
    return bytes;
}

// Preamble, ordered set, `framed` as it is (a CRC, right or wrong, already appended), and EOP.
inline Bits FramedBits(const OrderedSet& set, const std::vector<uint8_t>& framed) {
    Bits bits = Preamble();
    AppendOrderedSet(bits, set);
    for (uint8_t byte : framed) {
        AppendByte(bits, byte);
    }
    AppendLine(bits, kEop);
    return bits;
}

// Preamble, ordered set, `bytes` followed by their CRC, and EOP.
inline Bits MessageBits(const OrderedSet& set, const std::vector<uint8_t>& bytes) {
    return FramedBits(set, WithCrc(bytes));
}

inline Bits ResetBits(const OrderedSet& set) {
    Bits bits = Preamble();
    AppendOrderedSet(bits, set);
    return bits;
}

// BMC intervals: a zero is one full interval, a one two half intervals.
inline std::vector<uint8_t> Intervals(const Bits& bits, uint8_t full = 8, uint8_t half = 4) {
    std::vector<uint8_t> ticks;
    for (uint8_t bit : bits) {
        if (bit) {
            ticks.push_back(half);
            ticks.push_back(half);
        } else {
            ticks.push_back(full);
        }
    }
    return ticks;
}

// A raw packet as the edge parser delivers it.
inline CCCPacket Packet(const std::vector<uint8_t>& ticks, int32_t divider = 20) {
    CCCPacket packet;
    packet.clockDivider = divider;
    packet.startTime = 1'000'000;
    packet.edgeCount = static_cast<int32_t>(ticks.size());
    packet.edges.resize(ticks.size());
    for (size_t i = 0; i < ticks.size(); ++i) {
        packet.edges[i].ticks = ticks[i];
    }
    return packet;
}

inline CCCPacket BitsPacket(const Bits& bits) {
    return Packet(Intervals(bits));
}

// GoodCRC header (type 1, revision 3.0, source/DFP, MessageID 5).
inline std::vector<uint8_t> GoodCrcBytes() {
    return {0xA1, 0x0B};
}

// Source_Capabilities with seven fixed/PPS PDOs (header then little-endian objects).
inline std::vector<uint8_t> SourceCapsBytes() {
    const uint32_t pdos[7] = {0x2701912C, 0x0002D12C, 0x0004B12C, 0x000641F4,
                              0xC8DC213C, 0xC9402128, 0xC8DC2164};
    std::vector<uint8_t> bytes = {0xA1, 0x71};
    for (uint32_t pdo : pdos) {
        for (int i = 0; i < 4; ++i) {
            bytes.push_back(static_cast<uint8_t>(pdo >> (8 * i)));
        }
    }
    return bytes;
}

// First chunk of an extended message: extended header (chunked, 40 bytes in total) and 26 bytes.
inline std::vector<uint8_t> ExtendedChunkBytes() {
    std::vector<uint8_t> bytes = {0xB1, 0xF1, 0x28, 0x80};
    for (int i = 0; i < 26; ++i) {
        bytes.push_back(static_cast<uint8_t>(0x30 + i));
    }
    return bytes;
}

}  // namespace bmc
