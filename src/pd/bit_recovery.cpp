// Bits from the resolved edge roles, the preamble, the average unit interval, and the hand-over
// to symbol grouping, ordered-set recognition and the CRC check.
#include "pd/bmc_decoder.h"
#include "pd/symbols.h"

namespace {

// A preamble needs this many alternations, i.e. at least 61 alternating bits.
constexpr int32_t kPreambleAlternations = 60;

// Appends the bits the roles describe. A role-less or invalid interval is tolerated on the first
// and the last edge and before the first bit; anywhere else it is a hole and the recovery fails
// (every remaining edge still gets kNoBit). Zeros and ones follow the data, so the loop takes no
// branch on them: the bits gather in a word that is stored when full.
bool AppendBits(CCCPacket& packet) {
    const int32_t count = packet.edgeCount;
    CcEdge* edges = packet.edges.data();
    int32_t bitCount = packet.bitCount;
    uint64_t word = 0;
    unsigned wordBits = 0;
    bool ok = true;
    int32_t i = 0;
    for (; i < count; ++i) {
        CcEdge& edge = edges[i];
        const auto role = static_cast<BitRole>(edge.bitRole);
        const bool one = role == BitRole::kOneFirst;
        const bool startsBit = one || role == BitRole::kZero;
        edge.bitIndex = startsBit ? static_cast<uint16_t>(bitCount) : kNoBit;
        word |= static_cast<uint64_t>(one) << wordBits;
        wordBits += startsBit ? 1 : 0;
        bitCount += startsBit ? 1 : 0;
        if (wordBits == 64) {
            packet.bits.Append(word, 64);
            word = 0;
            wordBits = 0;
        }
        if (!startsBit && role != BitRole::kOneSecond && i != 0 && i != count - 1 && bitCount > 0) {
            ok = false;
            break;
        }
    }
    for (++i; i < count; ++i) {
        edges[i].bitIndex = kNoBit;
    }
    packet.bits.Append(word, wordBits);
    packet.bitCount = static_cast<int16_t>(bitCount);
    return ok;
}

// Finds the first run of at least 61 alternating bits; it ends at its last one bit.
bool FindPreamble(CCCPacket& packet) {
    const PackedBits& bits = packet.bits;
    int32_t run = 0;
    int32_t start = -1;
    int32_t lastOne = -1;
    bool found = false;
    for (int32_t i = 1; i < packet.bitCount; ++i) {
        const uint8_t d = bits[i];
        if (d == bits[i - 1]) {
            if (found) {
                break;
            }
            start = -1;
            run = 0;
            continue;
        }
        ++run;
        if (start == -1) {
            start = i - 1;
        }
        if (d == 1) {
            lastOne = i;
        }
        if (run >= kPreambleAlternations) {
            found = true;
        }
    }
    if (!found) {
        return false;
    }
    packet.preambleStartBit = start;
    packet.sopStartBit = lastOne + 1;
    packet.preambleLength = packet.sopStartBit - start;
    packet.preambleFound = true;
    return true;
}

// Average unit interval over the preamble without its first bit: the ticks from the edge that
// starts bit preambleStartBit + 1 up to the edge that starts the ordered set.
void MeasureUnitInterval(CCCPacket& packet) {
    const int32_t firstBit = packet.preambleStartBit + 1;
    int64_t sum = 0;
    bool started = false;
    for (int32_t i = 0; i < packet.edgeCount; ++i) {
        const CcEdge& edge = packet.edges[i];
        if (!started) {
            started = edge.bitIndex == firstBit;
        } else if (edge.bitIndex == packet.sopStartBit) {
            packet.averageUnitInterval =
                static_cast<float>(static_cast<double>(packet.clockDivider) *
                                   static_cast<double>(sum) / (packet.preambleLength - 1) / 48.0);
            return;
        }
        if (started) {
            sum += edge.ticks;
        }
    }
}

// Clears what the symbol stage wrote. Within the ambiguity search the stage does not run on
// every attempt (no preamble, no symbols, a reset ordered set), and an earlier rejected attempt
// must not leave its ordered set, bytes or CRC behind on a packet decoded differently.
void ClearSymbolStage(CCCPacket& packet) {
    packet.symbolCount = 0;
    packet.eopStartBit = -1;
    packet.eopFound = false;
    packet.orderedSetKind = kOsNotDecoded;
    packet.crcOk = false;
    packet.bytesAssembled = false;
    packet.receivedCrc = 0xFFFFFFFFu;
    packet.messageByteCount = 0;
    packet.messageBytes.Clear();
}

}  // namespace

bool RecoverBits(CCCPacket& packet) {
    packet.bitCount = 0;
    packet.bits.clear();
    if (!HasEdgeList(packet) || !AppendBits(packet)) {
        return false;
    }
    return RecoverFromBits(packet);
}

bool RecoverFromBits(CCCPacket& packet) {
    packet.preambleFound = false;
    packet.preambleStartBit = -1;
    packet.sopStartBit = -1;
    packet.preambleLength = 0;
    packet.averageUnitInterval = 0.0f;
    ClearSymbolStage(packet);
    if (packet.bitCount == 0 || !FindPreamble(packet)) {
        return false;
    }
    MeasureUnitInterval(packet);

    if (GroupSymbols(packet) == 0 || !MatchOrderedSet(packet)) {
        return false;
    }
    if (packet.orderedSetKind == kOsHardReset || packet.orderedSetKind == kOsCableReset) {
        return true;
    }
    return CheckMessage(packet);
}
