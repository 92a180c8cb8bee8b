#include "pd/clean_bits.h"

#include <new>

#include "pd/interval_classes.h"

namespace {

// Bits gather in a word that is stored when full, as in the bit recovery.
class BitWriter {
  public:
    explicit BitWriter(CCCPacket& packet) : packet_(packet) {}

    // Appends a bit that starts at `edge`.
    void Add(CcEdge& edge, bool one) {
        edge.bitIndex = static_cast<uint16_t>(count_);
        word_ |= static_cast<uint64_t>(one) << wordBits_;
        ++count_;
        if (++wordBits_ == 64) {
            packet_.bits.Append(word_, 64);
            word_ = 0;
            wordBits_ = 0;
        }
    }
    int32_t Count() const { return count_; }
    void Finish() {
        packet_.bits.Append(word_, wordBits_);
        packet_.bitCount = static_cast<int16_t>(count_);
    }

  private:
    CCCPacket& packet_;
    uint64_t word_ = 0;
    unsigned wordBits_ = 0;
    int32_t count_ = 0;
};

}  // namespace

bool AppendCleanBits(CCCPacket& packet) {
    const float halfUiTicks = HalfUiTicksOf(packet);
    const int32_t count = packet.edgeCount;
    CcEdge* edges = packet.edges.data();
    try {
        packet.bits.clear();
        packet.bits.reserve(static_cast<size_t>(count));
    } catch (const std::bad_alloc&) {
        return false;  // the full path meets the same failure and reports it
    }
    BitWriter bits(packet);
    // The first interval is classified on its own; unless it is a full one (a zero) it starts
    // no bit, which is allowed before the first bit.
    const EdgeClass firstClass = Classify(TenthsOfHalfUi(edges[0].ticks, halfUiTicks), true);
    if (firstClass == EdgeClass::kFull) {
        bits.Add(edges[0], false);
    } else {
        edges[0].bitIndex = kNoBit;
    }
    int32_t totalTicks = edges[0].ticks;
    // Unsigned differences: one comparison tells whether the ticks lie in a class's range.
    const ClassRanges& ranges = ClassRangesFor(halfUiTicks);
    const auto halfFrom = static_cast<uint32_t>(ranges.HalfFrom());
    const auto halfSpan = static_cast<uint32_t>(ranges.AmbiguousFrom()) - halfFrom;
    const auto fullFrom = static_cast<uint32_t>(ranges.FullFrom());
    const auto fullSpan = static_cast<uint32_t>(ranges.LongFrom()) - fullFrom;
    int32_t openHalf = -1;  // a half interval waiting for the half that ends its one bit
    for (int32_t i = 1; i < count; ++i) {
        CcEdge& edge = edges[i];
        totalTicks += edge.ticks;
        if (edge.ticks - halfFrom < halfSpan) {
            if (openHalf < 0) {
                openHalf = i;
                continue;
            }
            bits.Add(edges[openHalf], true);
            edge.bitIndex = kNoBit;
            openHalf = -1;
        } else if (edge.ticks - fullFrom < fullSpan) {
            if (openHalf >= 0) {
                // A half between fulls is invalid: allowed only before the first bit.
                if (bits.Count() > 0) {
                    return false;
                }
                edges[openHalf].bitIndex = kNoBit;
                openHalf = -1;
            }
            bits.Add(edge, false);
        } else {
            return false;
        }
    }
    if (openHalf >= 0) {
        edges[openHalf].bitIndex = kNoBit;  // the last interval, which may stand alone
    }
    bits.Finish();
    packet.totalTicks = totalTicks;
    packet.shortCount = firstClass == EdgeClass::kShort ? 1 : 0;
    packet.longCount = 0;
    return true;
}
