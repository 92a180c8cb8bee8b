// Interval classification of a packet and the resolve pass that turns classes into bit roles.
#include <new>

#include "pd/bmc_decoder.h"
#include "pd/edge_resolve.h"
#include "pd/interval_classes.h"

namespace {

EdgeClass ClassOf(const CcEdge& edge) {
    return static_cast<EdgeClass>(edge.edgeClass);
}
BitRole RoleOf(const CcEdge& edge) {
    return static_cast<BitRole>(edge.bitRole);
}
void SetClass(CcEdge& edge, EdgeClass edgeClass) {
    edge.edgeClass = static_cast<uint8_t>(edgeClass) & 0x7u;
}
void SetRole(CcEdge& edge, BitRole role) {
    edge.bitRole = static_cast<uint8_t>(role) & 0x7u;
}
bool HasRole(const CcEdge& edge) {
    return RoleOf(edge) != BitRole::kUnassigned;
}
bool IsFullLike(EdgeClass c) {
    return c == EdgeClass::kFull || c == EdgeClass::kFullResolved;
}
bool IsHalfLike(EdgeClass c) {
    return c == EdgeClass::kHalf || c == EdgeClass::kHalfResolved;
}
bool CanBeSecondHalf(EdgeClass c) {
    return IsHalfLike(c) || c == EdgeClass::kAmbiguous;
}

void DecideAmbiguousAsHalf(CcEdge& edge) {
    if (ClassOf(edge) == EdgeClass::kAmbiguous) {
        SetClass(edge, EdgeClass::kHalfResolved);
    }
}

// Records edges[index] in the log before it changes, in the logged variant of the pass.
template <bool kLogged>
void Note(EdgeUndoLog* log, const CcEdge* edges, int32_t index) {
    if constexpr (kLogged) {
        LogChange(log, edges, index);
    }
}

// Pairs two intervals into one bit: `first` starts a one bit, `second` ends it. One of them is
// half or half-resolved; the other, when ambiguous, is decided as half.
template <bool kLogged>
void PairAsOne(CcEdge* edges, int32_t first, int32_t second, EdgeUndoLog* log) {
    Note<kLogged>(log, edges, first);
    Note<kLogged>(log, edges, second);
    DecideAmbiguousAsHalf(edges[first]);
    DecideAmbiguousAsHalf(edges[second]);
    SetRole(edges[first], BitRole::kOneFirst);
    SetRole(edges[second], BitRole::kOneSecond);
}

// The resolve pass (ResolveRange). The decode's own pass keeps no log: its variant is compiled
// without one, which lets the pairing be inlined.
template <bool kLogged>
int32_t Resolve(CcEdge* edges, int32_t begin, int32_t end, EdgeUndoLog* log) {
    int32_t unresolved = 0;
    // End of the run of role-less edges that contains `a`. Every edge in [a, runEnd) stays
    // role-less until `a` passes it or the back pairing shortens the run, so the run is measured
    // once instead of at every step.
    int32_t runEnd = 0;
    int32_t a = begin;
    while (a < end) {
        CcEdge& edge = edges[a];
        if (HasRole(edge)) {
            ++a;
            continue;
        }
        if (IsFullLike(ClassOf(edge))) {
            Note<kLogged>(log, edges, a);
            SetRole(edge, BitRole::kZero);
            ++a;
            continue;
        }
        if (runEnd <= a) {
            runEnd = a;
            while (runEnd < end && !HasRole(edges[runEnd])) {
                ++runEnd;
            }
        }
        const int32_t n = runEnd - a;
        if (n == 1) {
            Note<kLogged>(log, edges, a);
            if (ClassOf(edge) == EdgeClass::kAmbiguous) {
                SetClass(edge, EdgeClass::kFullResolved);
                SetRole(edge, BitRole::kZero);
            } else {
                SetRole(edge, BitRole::kInvalid);
            }
            ++a;
        } else if (IsHalfLike(ClassOf(edge)) && CanBeSecondHalf(ClassOf(edges[a + 1]))) {
            PairAsOne<kLogged>(edges, a, a + 1, log);
            a += 2;
        } else if (IsHalfLike(ClassOf(edges[runEnd - 1])) &&
                   CanBeSecondHalf(ClassOf(edges[runEnd - 2]))) {
            // The pair at the back is taken in receive order: first half, then second half.
            PairAsOne<kLogged>(edges, runEnd - 2, runEnd - 1, log);
            runEnd -= 2;
        } else {
            unresolved += n;
            a = runEnd;
        }
    }
    return unresolved;
}

}  // namespace

bool HasEdgeList(const CCCPacket& packet) {
    return packet.edgeCount >= 0 && packet.edgeCount <= kMaxEdges &&
           static_cast<size_t>(packet.edgeCount) <= packet.edges.size();
}

bool ClassifyEdges(CCCPacket& packet) {
    packet.totalTicks = 0;
    packet.shortCount = 0;
    packet.longCount = 0;
    if (!HasEdgeList(packet) || packet.clockDivider <= 0) {
        return false;
    }
    try {
        packet.bits.clear();
        packet.bits.reserve(static_cast<size_t>(packet.edgeCount));
    } catch (const std::bad_alloc&) {
        // No user interface here: the decode stops with the fields as reset.
        return false;
    }
    const int32_t count = packet.edgeCount;
    const float halfUiTicks = HalfUiTicksOf(packet);

    int32_t totalTicks = 0;
    int32_t shortCount = 0;
    int32_t longCount = 0;
    if (count > 0) {
        // The first interval is never ambiguous nor long: it is classified on its own.
        CcEdge& firstEdge = packet.edges[0];
        const EdgeClass firstClass = Classify(TenthsOfHalfUi(firstEdge.ticks, halfUiTicks), true);
        SetClass(firstEdge, firstClass);
        SetRole(firstEdge, firstClass == EdgeClass::kFull ? BitRole::kZero : BitRole::kUnassigned);
        totalTicks = firstEdge.ticks;
        shortCount = firstClass == EdgeClass::kShort ? 1 : 0;
    }
    const ClassTable& classes = ClassTableFor(halfUiTicks);
    for (int32_t i = 1; i < count; ++i) {
        CcEdge& edge = packet.edges[i];
        edge = classes.Classified(edge);
        totalTicks += edge.ticks;
        shortCount += ClassOf(edge) == EdgeClass::kShort ? 1 : 0;
        longCount += ClassOf(edge) == EdgeClass::kLong ? 1 : 0;
    }
    packet.totalTicks = totalTicks;
    packet.shortCount = static_cast<int16_t>(shortCount);
    packet.longCount = static_cast<int16_t>(longCount);
    return true;
}

int32_t ResolveEdges(CCCPacket& packet) {
    if (!HasEdgeList(packet)) {
        return 0;
    }
    return ResolveRange(packet.edges.data(), 1, packet.edgeCount, nullptr);
}

int32_t ResolveRange(CcEdge* edges, int32_t begin, int32_t end, EdgeUndoLog* log) {
    return log != nullptr ? Resolve<true>(edges, begin, end, log)
                          : Resolve<false>(edges, begin, end, nullptr);
}
