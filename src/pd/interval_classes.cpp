#include "pd/interval_classes.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <optional>

namespace {

constexpr float kNominalUnitIntervalUs = 3.3f;
// Intervals 1 to 150 of an alternating preamble span 100 unit intervals.
constexpr int32_t kEstimateIntervals = 150;
constexpr float kEstimateHalfPeriods = 50.0f;

}  // namespace

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

float HalfUiTicksOf(const CCCPacket& packet) {
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
    return ui * 48.0f / divider * 0.5f;
}

ClassRanges::ClassRanges(float halfUiTicks) : halfUiTicks_(halfUiTicks) {
    constexpr int32_t kBounds[] = {5, 12, 15, 25};  // the tenths that end kShort to kFull
    int32_t ticks = 0;
    for (size_t i = 0; i < std::size(kBounds); ++i) {
        ticks = std::max(ticks, FirstAbove(kBounds[i]));
        ends_[i] = ticks;
    }
}

int32_t ClassRanges::Tenths(int32_t ticks) const {
    return TenthsOfHalfUi(static_cast<uint8_t>(ticks), halfUiTicks_);
}

// Estimated, then stepped to with the classification's own arithmetic.
int32_t ClassRanges::FirstAbove(int32_t bound) const {
    const double estimate = std::ceil((bound + 1) * static_cast<double>(halfUiTicks_) / 10.0);
    int32_t ticks = estimate >= 0.0 ? kTickValues : 0;
    if (estimate >= 0.0 && estimate < kTickValues) {
        ticks = static_cast<int32_t>(estimate);
    }
    while (ticks > 0 && Tenths(ticks - 1) > bound) {
        --ticks;
    }
    while (ticks < kTickValues && Tenths(ticks) <= bound) {
        ++ticks;
    }
    return ticks;
}

ClassTable::ClassTable(const ClassRanges& ranges) : halfUiTicks_(ranges.HalfUiTicks()) {
    Fill(0, ranges.HalfFrom(), EdgeClass::kShort);
    Fill(ranges.HalfFrom(), ranges.AmbiguousFrom(), EdgeClass::kHalf);
    Fill(ranges.AmbiguousFrom(), ranges.FullFrom(), EdgeClass::kAmbiguous);
    Fill(ranges.FullFrom(), ranges.LongFrom(), EdgeClass::kFull);
    Fill(ranges.LongFrom(), ClassRanges::kTickValues, EdgeClass::kLong);
}

void ClassTable::Fill(int32_t from, int32_t to, EdgeClass edgeClass) {
    CcEdge edge;
    edge.edgeClass = static_cast<uint8_t>(edgeClass) & 0x7u;
    const BitRole role = edgeClass == EdgeClass::kFull ? BitRole::kZero : BitRole::kUnassigned;
    edge.bitRole = static_cast<uint8_t>(role) & 0x7u;
    for (int32_t ticks = from; ticks < to; ++ticks) {
        edge.ticks = static_cast<uint8_t>(ticks);
        edges_[ticks] = edge;
    }
}

namespace {

// Compared bit for bit, so that a not-a-number estimate finds its own entry too.
bool SameEstimate(float a, float b) {
    return std::bit_cast<uint32_t>(a) == std::bit_cast<uint32_t>(b);
}

}  // namespace

const ClassRanges& ClassRangesFor(float halfUiTicks) {
    thread_local std::optional<ClassRanges> ranges;
    if (!ranges || !SameEstimate(ranges->HalfUiTicks(), halfUiTicks)) {
        ranges.emplace(halfUiTicks);
    }
    return *ranges;
}

const ClassTable& ClassTableFor(float halfUiTicks) {
    thread_local std::optional<ClassTable> table;
    if (!table || !SameEstimate(table->HalfUiTicks(), halfUiTicks)) {
        table.emplace(ClassRangesFor(halfUiTicks));
    }
    return *table;
}
