#include "pd/symbols.h"

#include <algorithm>
#include <array>

namespace {

// The 4b5b code indexed by the 5-bit value with the first received bit as bit 0.
constexpr std::array<uint8_t, 32> kFiveBitCodes = {
    kSymInvalid, kSymInvalid, kSymInvalid, kSymInvalid, kSymInvalid, kSymInvalid, kSymSync3,
    kSymRst1,    kSymInvalid, 0x1,         0x4,         0x5,         kSymInvalid, kSymEop,
    0x6,         0x7,         kSymInvalid, kSymSync2,   0x8,         0x9,         0x2,
    0x3,         0xA,         0xB,         kSymSync1,   kSymRst2,    0xC,         0xD,
    0xE,         0xF,         0x0,         kSymInvalid,
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

std::span<const OrderedSetPattern> OrderedSetPatterns() {
    return kOrderedSets;
}

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

namespace {

uint8_t GroupAt(const PackedBits& bits, int32_t offset) {
    return SymbolCodeOf(bits.Field(static_cast<size_t>(offset), 5));
}

}  // namespace

int32_t GroupSymbols(CCCPacket& packet) {
    packet.symbolCount = 0;
    packet.eopStartBit = -1;
    packet.eopFound = false;
    if (!packet.preambleFound || packet.sopStartBit < 0) {
        return 0;
    }
    // The symbols are not stored: they are read from the bits (SymbolAt). Grouping counts them
    // and finds the last EOP.
    const int32_t bitCount =
        std::min<int32_t>(packet.bitCount, static_cast<int32_t>(packet.bits.size()));
    const int32_t capacity = (bitCount + 4) / 5;
    for (int32_t offset = packet.sopStartBit;
         offset + 4 < bitCount && packet.symbolCount < capacity; offset += 5) {
        ++packet.symbolCount;
        if (GroupAt(packet.bits, offset) == kSymEop) {
            // A later EOP overwrites this one: eopStartBit marks the last EOP.
            packet.eopStartBit = offset;
            packet.eopFound = true;
        }
    }
    return packet.symbolCount;
}

uint8_t SymbolAt(const CCCPacket& packet, int32_t i) {
    if (i < 0 || i >= packet.symbolCount || packet.sopStartBit < 0) {
        return kSymInvalid;
    }
    const int64_t offset = packet.sopStartBit + int64_t{5} * i;
    if (offset + 5 > static_cast<int64_t>(packet.bits.size())) {
        return kSymInvalid;
    }
    return GroupAt(packet.bits, static_cast<int32_t>(offset));
}

bool MatchOrderedSet(CCCPacket& packet) {
    packet.orderedSetKind = kOsNotDecoded;
    if (packet.symbolCount < 4) {
        return false;
    }
    const std::array<uint8_t, 4> first = {SymbolAt(packet, 0), SymbolAt(packet, 1),
                                          SymbolAt(packet, 2), SymbolAt(packet, 3)};
    for (const OrderedSetPattern& pattern : kOrderedSets) {
        if (pattern.codes == first) {
            packet.orderedSetKind = pattern.kind;
            return true;
        }
    }
    packet.orderedSetKind = kOsUnrecognised;
    return false;
}
