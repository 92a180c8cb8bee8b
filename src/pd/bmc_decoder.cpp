// Decode driver and the bounded depth-first search over ambiguous intervals.
#include "pd/bmc_decoder.h"

#include <algorithm>
#include <new>
#include <vector>

#include "pd/chunk_assembler.h"

namespace {

// More short or long intervals than this mark the burst as noise: no bits are recovered.
constexpr int32_t kNoiseGate = 10;

void ResetDecodedFields(CCCPacket& packet) {
    packet.totalTicks = 0;
    packet.bitCount = 0;
    packet.messageByteCount = 0;
    packet.symbolCount = 0;
    packet.shortCount = 0;
    packet.longCount = 0;
    packet.preambleFound = false;
    packet.crcOk = false;
    packet.bytesAssembled = false;
    packet.eopFound = false;
    packet.preambleStartBit = -1;
    packet.sopStartBit = -1;
    packet.eopStartBit = -1;
    packet.preambleLength = 0;
    packet.averageUnitInterval = 0.0f;
    packet.orderedSetKind = kOsNotDecoded;
    packet.receivedCrc = 0xFFFFFFFFu;
    ClearChunkFields(packet);
    // Later stages read the header of failed decodes and resets as 0.
    packet.messageBytes.fill(0);
    packet.bits.clear();
    packet.symbols.clear();
}

// The edge list goes once the packet is decoded; bits and symbols stay for the packet's life, so
// they give back the room reserved for the worst case.
void ReleaseEdges(CCCPacket& packet) {
    std::vector<CcEdge>().swap(packet.edges);
    packet.bits.shrink_to_fit();
    packet.symbols.shrink_to_fit();
}

// Charges one pass over the edge list to the search budget; false when the budget is spent.
bool Charge(AmbiguitySearch& search, int32_t edgeCount) {
    const int64_t cost = std::max<int64_t>(edgeCount, 1);
    if (search.edgeVisitsLeft < cost) {
        search.exhausted = true;
        return false;
    }
    search.edgeVisitsLeft -= cost;
    return true;
}

}  // namespace

void DecodePacket(CCCPacket& packet, int64_t captureStartTime) {
    AmbiguitySearch search;
    DecodePacket(packet, captureStartTime, search);
}

void DecodePacket(CCCPacket& packet, int64_t captureStartTime, AmbiguitySearch& search) {
    packet.relTime = packet.startTime - captureStartTime;
    ResetDecodedFields(packet);
    if (packet.edgeCount > 0 && ClassifyEdges(packet)) {
        if (packet.shortCount <= kNoiseGate && packet.longCount <= kNoiseGate) {
            if (ResolveEdges(packet) == 0) {
                // A complete assignment is decoded once; a bad CRC is not retried.
                RecoverBits(packet);
            } else if (!TryAmbiguous(packet, EdgeClass::kHalfResolved, search)) {
                TryAmbiguous(packet, EdgeClass::kFullResolved, search);
            }
        }
    }
    ReleaseEdges(packet);
}

bool TryAmbiguous(CCCPacket& packet, EdgeClass decided, AmbiguitySearch& search) {
    if (!HasEdgeList(packet)) {
        return false;
    }
    const int32_t count = packet.edgeCount;
    const auto begin = packet.edges.begin();
    const auto end = begin + count;
    const auto first = std::find_if(begin, end, [](const CcEdge& edge) {
        return edge.edgeClass == static_cast<uint8_t>(EdgeClass::kAmbiguous);
    });
    if (first == end || !Charge(search, count)) {
        return false;
    }
    std::vector<CcEdge> saved;
    try {
        saved.assign(begin, end);
    } catch (const std::bad_alloc&) {
        search.exhausted = true;
        return false;
    }
    ++search.steps;
    first->edgeClass = static_cast<uint8_t>(decided) & 0x7u;

    if (ResolveEdges(packet) == 0) {
        if (Charge(search, count)) {
            ++search.leaves;
            if (RecoverBits(packet)) {
                return true;
            }
        }
    } else if (TryAmbiguous(packet, EdgeClass::kHalfResolved, search) ||
               TryAmbiguous(packet, EdgeClass::kFullResolved, search)) {
        return true;
    }
    std::copy(saved.begin(), saved.end(), packet.edges.begin());
    return false;
}

int64_t PacketLengthUs(const CCCPacket& packet) {
    return static_cast<int64_t>(packet.totalTicks) * packet.clockDivider / 48;
}

bool UnitIntervalOutOfRange(const CCCPacket& packet) {
    const float ui = packet.averageUnitInterval;
    return !(ui >= 3.03f && ui <= 3.7f);
}
