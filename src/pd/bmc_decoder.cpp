// Decode driver and the bounded depth-first search over ambiguous intervals.
#include "pd/bmc_decoder.h"

#include <algorithm>
#include <new>
#include <vector>

#include "pd/chunk_assembler.h"
#include "pd/clean_bits.h"
#include "pd/edge_resolve.h"

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
    packet.messageBytes.Clear();
    packet.bits.clear();
}

// Spends `cost` edge visits; false (and the search exhausted) when the budget cannot pay them.
bool Charge(AmbiguitySearch& search, int64_t cost) {
    if (search.edgeVisitsLeft < cost) {
        search.exhausted = true;
        return false;
    }
    search.edgeVisitsLeft -= cost;
    return true;
}

bool IsAmbiguous(const CcEdge& edge) {
    return edge.edgeClass == static_cast<uint8_t>(EdgeClass::kAmbiguous);
}

bool HasRole(const CcEdge& edge) {
    return edge.bitRole != static_cast<uint8_t>(BitRole::kUnassigned);
}

// Working memory of the search, kept per thread so that a search allocates nothing once the
// largest packet has been seen.
struct SearchScratch {
    std::vector<CcEdge> saved;     // the edge list before the search, restored when it fails
    EdgeUndoLog log;               // edges changed along the current path of decisions
    std::vector<CcEdge> lastLeaf;  // the latest complete assignment not yet recovered
    bool leafPending = false;
};

SearchScratch& Scratch() {
    thread_local SearchScratch scratch;
    return scratch;
}

// A preamble alone is 61 bits and every bit starts at its own interval: a shorter packet has no
// assignment the bit recovery accepts.
constexpr int32_t kFewestAcceptableEdges = 61;

struct SearchPath {
    CCCPacket& packet;
    AmbiguitySearch& search;
    SearchScratch& scratch;
};

// Bit recovery of a complete assignment; false when the budget cannot pay for it. When no
// assignment can be accepted, only the last one tried leaves its bits behind, so the recovery
// is put off until the search has failed (RecoverLastLeaf).
bool TryLeaf(SearchPath& path) {
    CCCPacket& packet = path.packet;
    if (!Charge(path.search, std::max<int32_t>(packet.edgeCount, 1))) {
        return false;
    }
    ++path.search.leaves;
    if (packet.edgeCount < kFewestAcceptableEdges) {
        path.scratch.lastLeaf.assign(packet.edges.begin(), packet.edges.begin() + packet.edgeCount);
        path.scratch.leafPending = true;
        return false;
    }
    return RecoverBits(packet);
}

// The fields a failed search leaves: those of the bit recovery of its last assignment.
void RecoverLastLeaf(CCCPacket& packet, SearchScratch& scratch) {
    if (scratch.leafPending) {
        std::copy(scratch.lastLeaf.begin(), scratch.lastLeaf.end(), packet.edges.begin());
        RecoverBits(packet);
        scratch.leafPending = false;
    }
}

// After a decision: a leaf when no interval is left unresolved, otherwise the next ambiguous
// interval (from `from` on) decided half, then full.
bool Descend(SearchPath& path, int32_t from, int32_t unresolved);

// One search step below the first: every edge before `from` is decided, `unresolved` edges lie
// in unresolved runs. Only the run that holds the decided interval can change: the resolve pass
// leaves every other unresolved run as it is.
bool SearchStep(SearchPath& path, EdgeClass decided, int32_t from, int32_t unresolved) {
    CCCPacket& packet = path.packet;
    CcEdge* edges = packet.edges.data();
    const int32_t count = packet.edgeCount;
    int32_t first = from;
    while (first < count && !IsAmbiguous(edges[first])) {
        ++first;
    }
    if (first == count) {
        Charge(path.search, std::min<int64_t>(count - from, path.search.edgeVisitsLeft));
        return false;
    }
    int32_t runBegin = first;
    while (runBegin > 1 && !HasRole(edges[runBegin - 1])) {
        --runBegin;
    }
    int32_t runEnd = first + 1;
    while (runEnd < count && !HasRole(edges[runEnd])) {
        ++runEnd;
    }
    if (!Charge(path.search, (first - from) + (runEnd - runBegin) + 1)) {
        return false;
    }
    ++path.search.steps;
    EdgeUndoLog& log = path.scratch.log;
    const size_t mark = log.size();
    LogChange(&log, edges, first);
    edges[first].edgeClass = static_cast<uint8_t>(decided) & 0x7u;
    unresolved += ResolveRange(edges, runBegin, runEnd, &log) - (runEnd - runBegin);

    if (Descend(path, first + 1, unresolved)) {
        return true;
    }
    UndoChanges(log, edges, mark);
    return false;
}

bool Descend(SearchPath& path, int32_t from, int32_t unresolved) {
    if (unresolved == 0) {
        return TryLeaf(path);
    }
    return SearchStep(path, EdgeClass::kHalfResolved, from, unresolved) ||
           SearchStep(path, EdgeClass::kFullResolved, from, unresolved);
}

}  // namespace

void DecodePacket(CCCPacket& packet, int64_t captureStartTime) {
    AmbiguitySearch search;
    DecodePacket(packet, captureStartTime, search);
}

void DecodePacket(CCCPacket& packet, int64_t captureStartTime, AmbiguitySearch& search) {
    DecodePacketKeepingEdges(packet, captureStartTime, search);
    ReleaseEdges(packet);
}

// The edge list goes once the packet is decoded; the bits stay for the packet's life, so they
// give back the room reserved for the worst case.
void ReleaseEdges(CCCPacket& packet) {
    std::vector<CcEdge>().swap(packet.edges);
    packet.bits.shrink_to_fit();
}

void DecodePacketKeepingEdges(CCCPacket& packet, int64_t captureStartTime,
                              AmbiguitySearch& search) {
    packet.relTime = packet.startTime - captureStartTime;
    ResetDecodedFields(packet);
    if (packet.edgeCount > 0 && HasEdgeList(packet) && packet.clockDivider > 0 &&
        AppendCleanBits(packet)) {
        RecoverFromBits(packet);
    } else if (packet.edgeCount > 0 && ClassifyEdges(packet)) {
        if (packet.shortCount <= kNoiseGate && packet.longCount <= kNoiseGate) {
            if (ResolveEdges(packet) == 0) {
                // A complete assignment is decoded once; a bad CRC is not retried.
                RecoverBits(packet);
            } else {
                search.edgeVisitsLeft =
                    std::min(search.edgeVisitsLeft, kSearchVisitsPerEdge * packet.edgeCount);
                if (!TryAmbiguous(packet, EdgeClass::kHalfResolved, search)) {
                    TryAmbiguous(packet, EdgeClass::kFullResolved, search);
                }
            }
        }
    }
}

bool TryAmbiguous(CCCPacket& packet, EdgeClass decided, AmbiguitySearch& search) {
    if (!HasEdgeList(packet)) {
        return false;
    }
    const int32_t count = packet.edgeCount;
    CcEdge* edges = packet.edges.data();
    const CcEdge* first = std::find_if(edges, edges + count, IsAmbiguous);
    if (first == edges + count || !Charge(search, count)) {
        return false;
    }
    SearchScratch& scratch = Scratch();
    try {
        scratch.saved.assign(edges, edges + count);
        scratch.log.clear();
        scratch.leafPending = false;
        // Along one path every edge is logged at most twice: once when decided, once resolved.
        scratch.log.reserve(2 * static_cast<size_t>(count) + 1);
    } catch (const std::bad_alloc&) {
        search.exhausted = true;
        return false;
    }
    ++search.steps;
    const auto firstIndex = static_cast<int32_t>(first - edges);
    edges[firstIndex].edgeClass = static_cast<uint8_t>(decided) & 0x7u;

    // The first step resolves the whole list, as the edges need not be resolved around it.
    const int32_t unresolved = ResolveEdges(packet);
    SearchPath path{packet, search, scratch};
    if (Descend(path, firstIndex + 1, unresolved)) {
        return true;
    }
    RecoverLastLeaf(packet, scratch);
    std::copy(scratch.saved.begin(), scratch.saved.end(), edges);
    return false;
}

int64_t PacketLengthUs(const CCCPacket& packet) {
    return static_cast<int64_t>(packet.totalTicks) * packet.clockDivider / 48;
}

bool UnitIntervalOutOfRange(const CCCPacket& packet) {
    const float ui = packet.averageUnitInterval;
    return !(ui >= 3.03f && ui <= 3.7f);
}
