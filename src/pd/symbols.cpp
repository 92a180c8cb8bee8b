#include "pd/symbols.h"

#include <algorithm>
#include <array>
#include <new>

namespace {

// The 4b5b code indexed by the 5-bit value with the first received bit as bit 0.
constexpr std::array<uint8_t, 32> kFiveBitCodes = {
    kSymInvalid, kSymInvalid, kSymInvalid, kSymInvalid, kSymInvalid, kSymInvalid, kSymSync3,
    kSymRst1,    kSymInvalid, 0x1,         0x4,         0x5,         kSymInvalid, kSymEop,
    0x6,         0x7,         kSymInvalid, kSymSync2,   0x8,         0x9,         0x2,
    0x3,         0xA,         0xB,         kSymSync1,   kSymRst2,    0xC,         0xD,
    0xE,         0xF,         0x0,         kSymInvalid,
};

struct OrderedSetPattern {
    int32_t kind;
    std::array<uint8_t, 4> codes;
};

// Tried in this order; the first full match of all four symbols wins.
constexpr std::array<OrderedSetPattern, 7> kOrderedSets = {{
    {kOsSop, {kSymSync1, kSymSync1, kSymSync1, kSymSync2}},
    {kOsSopPrime, {kSymSync1, kSymSync1, kSymSync3, kSymSync3}},
    {kOsSopDoublePrime, {kSymSync1, kSymSync3, kSymSync1, kSymSync3}},
    {kOsSopPrimeDebug, {kSymSync1, kSymRst2, kSymRst2, kSymSync3}},
    {kOsSopDoublePrimeDebug, {kSymSync1, kSymRst2, kSymSync3, kSymSync2}},
    {kOsHardReset, {kSymRst1, kSymRst1, kSymRst1, kSymRst2}},
    {kOsCableReset, {kSymRst1, kSymSync1, kSymRst1, kSymSync3}},
}};

}  // namespace

uint8_t SymbolCodeOf(unsigned fiveBits) {
    return kFiveBitCodes[fiveBits & 0x1Fu];
}

bool IsSopKind(int32_t orderedSetKind) {
    switch (orderedSetKind) {
        case kOsSop:
        case kOsSopPrime:
        case kOsSopDoublePrime:
        case kOsSopPrimeDebug:
        case kOsSopDoublePrimeDebug:
            return true;
        default:
            return false;
    }
}

int32_t GroupSymbols(CCCPacket& packet) {
    packet.symbolCount = 0;
    packet.eopStartBit = -1;
    packet.eopFound = false;
    packet.symbols.clear();
    if (!packet.preambleFound || packet.sopStartBit < 0) {
        return 0;
    }
    const int32_t bitCount =
        std::min<int32_t>(packet.bitCount, static_cast<int32_t>(packet.bits.size()));
    const int32_t capacity = (bitCount + 4) / 5;
    try {
        packet.symbols.reserve(static_cast<size_t>(capacity));
    } catch (const std::bad_alloc&) {
        // No user interface here: the packet simply stays without symbols.
        return 0;
    }
    const uint8_t* bits = packet.bits.data();
    for (int32_t offset = packet.sopStartBit;
         offset + 4 < bitCount && packet.symbolCount < capacity; offset += 5) {
        const unsigned value = (bits[offset] & 1u) | (bits[offset + 1] & 1u) << 1 |
                               (bits[offset + 2] & 1u) << 2 | (bits[offset + 3] & 1u) << 3 |
                               (bits[offset + 4] & 1u) << 4;
        const uint8_t code = SymbolCodeOf(value);
        packet.symbols.push_back(code);
        ++packet.symbolCount;
        if (code == kSymEop) {
            // A later EOP overwrites this one: eopStartBit marks the last EOP.
            packet.eopStartBit = offset;
            packet.eopFound = true;
        }
    }
    return packet.symbolCount;
}

bool MatchOrderedSet(CCCPacket& packet) {
    packet.orderedSetKind = kOsNotDecoded;
    if (packet.symbolCount < 4 || packet.symbols.size() < 4) {
        return false;
    }
    for (const OrderedSetPattern& pattern : kOrderedSets) {
        if (std::equal(pattern.codes.begin(), pattern.codes.end(), packet.symbols.begin())) {
            packet.orderedSetKind = pattern.kind;
            return true;
        }
    }
    packet.orderedSetKind = kOsUnrecognised;
    return false;
}
