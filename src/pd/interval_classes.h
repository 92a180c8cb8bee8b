// The length classes of edge intervals, measured in half unit intervals: the packet's
// unit-interval estimate and the class of each interval under it.
#pragma once

#include <cstdint>

#include "pd/cc_packet.h"

// The interval in tenths of a half unit interval, truncated. A degenerate estimate (zero or not
// a number) must not reach the float-to-int conversion, so the quotient is clamped to [0, 1000].
int32_t TenthsOfHalfUi(uint8_t ticks, float halfUiTicks);

// The class of an interval by its tenths. The first interval of a packet is never ambiguous nor
// long.
EdgeClass Classify(int32_t tenths, bool firstEdge);

// Half a unit interval in edge-timer ticks: measured over the preamble's intervals 1 to 150 when
// the packet has more, the nominal 3.3 µs otherwise. Expects the edge list and a positive clock
// divider.
float HalfUiTicksOf(const CCCPacket& packet);

// The tick counts of each class for one estimate. The tenths never fall as the ticks grow, so
// each class holds one range of tick counts, ended where the tenths first pass the class's bound:
// a few divisions find the ends instead of a division for every interval.
class ClassRanges {
  public:
    explicit ClassRanges(float halfUiTicks);

    float HalfUiTicks() const { return halfUiTicks_; }
    // The first tick count of each class after kShort, in class order up to kLong (kTickValues
    // when a class and those above it hold no tick count).
    int32_t HalfFrom() const { return ends_[0]; }
    int32_t AmbiguousFrom() const { return ends_[1]; }
    int32_t FullFrom() const { return ends_[2]; }
    int32_t LongFrom() const { return ends_[3]; }

    static constexpr int32_t kTickValues = 256;

  private:
    int32_t Tenths(int32_t ticks) const;
    // The fewest ticks whose tenths exceed `bound` (kTickValues when none do).
    int32_t FirstAbove(int32_t bound) const;

    float halfUiTicks_;
    int32_t ends_[4];
};

// Every interval but the first as classification leaves it, by its tick count, for one estimate.
class ClassTable {
  public:
    explicit ClassTable(const ClassRanges& ranges);

    // The interval with its class and its role before the resolve pass (full intervals are
    // zeros, every other one has no role yet).
    CcEdge Classified(const CcEdge& edge) const {
        CcEdge classified = edges_[edge.ticks];
        classified.bitIndex = edge.bitIndex;
        return classified;
    }
    EdgeClass ClassOf(uint8_t ticks) const {
        return static_cast<EdgeClass>(edges_[ticks].edgeClass);
    }

    float HalfUiTicks() const { return halfUiTicks_; }

  private:
    // Tick counts [from, to) get the class.
    void Fill(int32_t from, int32_t to, EdgeClass edgeClass);

    float halfUiTicks_;
    CcEdge edges_[ClassRanges::kTickValues];
};

// The ranges and the table for an estimate, kept per thread for the last estimate asked for: a
// packet of up to 150 intervals has its divider's nominal estimate, so runs of short packets
// share them.
const ClassRanges& ClassRangesFor(float halfUiTicks);
const ClassTable& ClassTableFor(float halfUiTicks);
