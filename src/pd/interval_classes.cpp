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

ClassTable::ClassTable(float halfUiTicks) : halfUiTicks_(halfUiTicks) {
    constexpr struct {
        int32_t bound;
        EdgeClass edgeClass;
    } kRanges[] = {{5, EdgeClass::kShort},
                   {12, EdgeClass::kHalf},
                   {15, EdgeClass::kAmbiguous},
                   {25, EdgeClass::kFull}};
    int32_t ticks = 0;
    for (const auto& range : kRanges) {
        ticks = Fill(ticks, std::max(ticks, FirstAbove(range.bound)), range.edgeClass);
    }
    Fill(ticks, kTickValues, EdgeClass::kLong);
}

int32_t ClassTable::Tenths(int32_t ticks) const {
    return TenthsOfHalfUi(static_cast<uint8_t>(ticks), halfUiTicks_);
}

// Estimated, then stepped to with the classification's own arithmetic.
int32_t ClassTable::FirstAbove(int32_t bound) const {
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

int32_t ClassTable::Fill(int32_t from, int32_t to, EdgeClass edgeClass) {
    const BitRole role = edgeClass == EdgeClass::kFull ? BitRole::kZero : BitRole::kUnassigned;
    for (int32_t ticks = from; ticks < to; ++ticks) {
        CcEdge& edge = edges_[ticks];
        edge.ticks = static_cast<uint8_t>(ticks);
        edge.edgeClass = static_cast<uint8_t>(edgeClass) & 0x7u;
        edge.bitRole = static_cast<uint8_t>(role) & 0x7u;
    }
    return to;
}

const ClassTable& ClassTableFor(float halfUiTicks) {
    thread_local std::optional<ClassTable> table;
    // Compared bit for bit, so that a not-a-number estimate finds its table too.
    if (!table ||
        std::bit_cast<uint32_t>(table->HalfUiTicks()) != std::bit_cast<uint32_t>(halfUiTicks)) {
        table.emplace(halfUiTicks);
    }
    return *table;
}
