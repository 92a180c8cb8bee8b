// Unit-interval estimate, interval classes and the resolve pass that turns classes into bit
// roles.
#include <new>

#include "pd/bmc_decoder.h"
#include "pd/edge_resolve.h"

namespace {

constexpr float kNominalUnitIntervalUs = 3.3f;
// Intervals 1 to 150 of an alternating preamble span 100 unit intervals.
constexpr int32_t kEstimateIntervals = 150;
constexpr float kEstimateHalfPeriods = 50.0f;

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

// The interval in tenths of a half unit interval, truncated. A degenerate estimate (zero or not
// a number) must not reach the float-to-int conversion, so the quotient is clamped.
int32_t TenthsOfHalfUi(uint8_t ticks, float halfUiTicks) {
    const float tenths = static_cast<float>(ticks) * 10.0f / halfUiTicks;
    if (!(tenths >= 0.0f)) {
        return 0;
    }
    return tenths >= 1000.0f ? 1000 : static_cast<int32_t>(tenths);
}

EdgeClass Classify(int32_t tenths, bool firstEdge) {
    if (tenths <= 5) {
        return EdgeClass::kShort;
    }
    if (tenths <= 12) {
        return EdgeClass::kHalf;
    }
    if (firstEdge) {
        return EdgeClass::kFull;
    }
    if (tenths <= 15) {
        return EdgeClass::kAmbiguous;
    }
    return tenths <= 25 ? EdgeClass::kFull : EdgeClass::kLong;
}

// The class of every tick count for one estimate, for every interval but the first. The tenths
// never fall as the ticks grow, so each class holds one range of tick counts: the table is
// filled range by range, with the ends found by bisection, instead of a division for every
// interval.
class ClassTable {
  public:
    explicit ClassTable(float halfUiTicks) : halfUiTicks_(halfUiTicks) {
        int32_t ticks = 0;
        while (ticks < kTickValues) {
            const EdgeClass edgeClass = Direct(ticks);
            // The first tick count of the next class: bisection over [ticks, end).
            int32_t low = ticks;
            int32_t high = kTickValues;
            while (high - low > 1) {
                const int32_t middle = (low + high) / 2;
                if (Direct(middle) == edgeClass) {
                    low = middle;
                } else {
                    high = middle;
                }
            }
            for (; ticks < high; ++ticks) {
                classes_[ticks] = edgeClass;
            }
        }
    }

    EdgeClass operator[](uint8_t ticks) const { return classes_[ticks]; }

  private:
    static constexpr int32_t kTickValues = 256;

    EdgeClass Direct(int32_t ticks) const {
        return Classify(TenthsOfHalfUi(static_cast<uint8_t>(ticks), halfUiTicks_), false);
    }

    float halfUiTicks_;
    EdgeClass classes_[kTickValues];
};

void DecideAmbiguousAsHalf(CcEdge& edge) {
    if (ClassOf(edge) == EdgeClass::kAmbiguous) {
        SetClass(edge, EdgeClass::kHalfResolved);
    }
}

// Pairs two intervals into one bit: `first` starts a one bit, `second` ends it. One of them is
// half or half-resolved; the other, when ambiguous, is decided as half.
void PairAsOne(CcEdge* edges, int32_t first, int32_t second, EdgeUndoLog* log) {
    LogChange(log, edges, first);
    LogChange(log, edges, second);
    DecideAmbiguousAsHalf(edges[first]);
    DecideAmbiguousAsHalf(edges[second]);
    SetRole(edges[first], BitRole::kOneFirst);
    SetRole(edges[second], BitRole::kOneSecond);
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
    const float divider = static_cast<float>(packet.clockDivider);
    float ui = kNominalUnitIntervalUs;
    if (count > kEstimateIntervals) {
        int32_t sum = 0;
        for (int32_t i = 1; i <= kEstimateIntervals; ++i) {
            sum += packet.edges[i].ticks;
        }
        ui = divider * static_cast<float>(sum) / 48.0f / kEstimateHalfPeriods * 0.5f;
    }
    const float halfUiTicks = ui * 48.0f / divider * 0.5f;

    const ClassTable classes(halfUiTicks);
    int32_t totalTicks = 0;
    int32_t shortCount = 0;
    int32_t longCount = 0;
    for (int32_t i = 0; i < count; ++i) {
        CcEdge& edge = packet.edges[i];
        totalTicks += edge.ticks;
        const EdgeClass edgeClass =
            i == 0 ? Classify(TenthsOfHalfUi(edge.ticks, halfUiTicks), true) : classes[edge.ticks];
        SetClass(edge, edgeClass);
        shortCount += edgeClass == EdgeClass::kShort ? 1 : 0;
        longCount += edgeClass == EdgeClass::kLong ? 1 : 0;
        SetRole(edge, edgeClass == EdgeClass::kFull ? BitRole::kZero : BitRole::kUnassigned);
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
            LogChange(log, edges, a);
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
            LogChange(log, edges, a);
            if (ClassOf(edge) == EdgeClass::kAmbiguous) {
                SetClass(edge, EdgeClass::kFullResolved);
                SetRole(edge, BitRole::kZero);
            } else {
                SetRole(edge, BitRole::kInvalid);
            }
            ++a;
        } else if (IsHalfLike(ClassOf(edge)) && CanBeSecondHalf(ClassOf(edges[a + 1]))) {
            PairAsOne(edges, a, a + 1, log);
            a += 2;
        } else if (IsHalfLike(ClassOf(edges[runEnd - 1])) &&
                   CanBeSecondHalf(ClassOf(edges[runEnd - 2]))) {
            // The pair at the back is taken in receive order: first half, then second half.
            PairAsOne(edges, runEnd - 2, runEnd - 1, log);
            runEnd -= 2;
        } else {
            unresolved += n;
            a = runEnd;
        }
    }
    return unresolved;
}
