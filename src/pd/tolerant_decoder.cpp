// Tolerant bit recovery: per-level half/full thresholds learned from the burst, glitch merging
// and resynchronisation instead of failing on a hole, an ordered-set search without a preamble
// minimum that takes three of four K-codes, and acceptance by CRC and header byte count.
#include "pd/tolerant_decoder.h"

#include <algorithm>
#include <array>
#include <optional>

#include "pd/bmc_decoder.h"
#include "pd/symbols.h"

namespace {

// Fewer intervals cannot hold an ordered set (20 bits) and a message.
constexpr size_t kMinIntervals = 40;
// Intervals below a third of the median are spikes, above three medians idle gaps: neither
// takes part in learning the half and full lengths.
constexpr uint32_t kOutlierFraction = 3;
// Unit intervals accepted for a burst, microseconds: wider than the 3.03-3.7 us of a compliant
// transmitter, narrow enough to refuse bursts at another bit rate.
constexpr double kMinUnitIntervalUs = 2.5;
constexpr double kMaxUnitIntervalUs = 4.5;

// Half and full interval lengths of one line level, in ticks.
struct LevelSplit {
    double half = 0.0;
    double full = 0.0;

    double Threshold() const { return (half + full) / 2.0; }
    double GlitchLimit() const { return half / 2.0; }
    double LongLimit() const { return full + (full - half); }
};

using Histogram = std::array<uint32_t, 256>;

// The two clusters of a histogram by Otsu's criterion (largest between-class variance), each
// with at least three members; nothing when the levels do not separate.
std::optional<LevelSplit> SplitLevel(const Histogram& histogram) {
    double total = 0.0;
    double weighted = 0.0;
    for (size_t v = 0; v < histogram.size(); ++v) {
        total += histogram[v];
        weighted += static_cast<double>(v) * histogram[v];
    }
    double below = 0.0;
    double belowWeighted = 0.0;
    double best = -1.0;
    LevelSplit split;
    for (size_t v = 1; v < histogram.size(); ++v) {
        below += histogram[v - 1];
        belowWeighted += static_cast<double>(v - 1) * histogram[v - 1];
        const double above = total - below;
        if (below < 3 || above < 3) {
            continue;
        }
        const double low = belowWeighted / below;
        const double high = (weighted - belowWeighted) / above;
        const double score = below * above * (high - low) * (high - low);
        if (score > best) {
            best = score;
            split = {low, high};
        }
    }
    const double ratio = split.half > 0.0 ? split.full / split.half : 0.0;
    if (best < 0.0 || ratio < 1.4 || ratio > 3.5) {
        return std::nullopt;
    }
    return split;
}

enum class Interval : uint8_t { kHalf, kFull, kOther };

// The learned lengths of both levels: interval i is at level i % 2, since every edge flips it.
struct BurstModel {
    std::array<LevelSplit, 2> level;
    double unitIntervalTicks = 0.0;

    Interval Classify(uint32_t ticks, size_t index) const {
        const LevelSplit& split = level[index & 1];
        if (ticks < split.GlitchLimit() || ticks > split.LongLimit()) {
            return Interval::kOther;
        }
        return ticks < split.Threshold() ? Interval::kHalf : Interval::kFull;
    }
};

std::optional<BurstModel> LearnBurst(std::span<const uint8_t> ticks, int32_t clockDivider) {
    // The first and the last interval may be cut short by the receiver; they are not learned.
    const std::span<const uint8_t> inner = ticks.subspan(1, ticks.size() - 2);
    std::vector<uint8_t> sorted(inner.begin(), inner.end());
    std::nth_element(sorted.begin(), sorted.begin() + static_cast<ptrdiff_t>(sorted.size() / 2),
                     sorted.end());
    const uint32_t median = sorted[sorted.size() / 2];
    std::array<Histogram, 2> histograms{};
    for (size_t i = 1; i + 1 < ticks.size(); ++i) {
        const uint32_t t = ticks[i];
        if (t * kOutlierFraction >= median && t <= median * kOutlierFraction) {
            ++histograms[i & 1][t];
        }
    }
    BurstModel model;
    for (size_t parity = 0; parity < 2; ++parity) {
        const std::optional<LevelSplit> split = SplitLevel(histograms[parity]);
        if (!split) {
            return std::nullopt;
        }
        model.level[parity] = *split;
    }
    // One level's skew shortens what the other lengthens: sums over both levels cancel it.
    const double halves = model.level[0].half + model.level[1].half;
    const double fulls = model.level[0].full + model.level[1].full;
    if (fulls < 1.6 * halves || fulls > 2.4 * halves) {
        return std::nullopt;
    }
    model.unitIntervalTicks = (halves + fulls / 2.0) / 2.0;
    const double unitIntervalUs = model.unitIntervalTicks * clockDivider / 48.0;
    if (unitIntervalUs < kMinUnitIntervalUs || unitIntervalUs > kMaxUnitIntervalUs) {
        return std::nullopt;
    }
    return model;
}

// Bits with the tick count at which each starts.
struct RecoveredBits {
    std::vector<uint8_t> bits;
    std::vector<uint32_t> startTick;
};

// Spikes are merged back into the interval they split (the interval before, the spike and the
// one after are one interval of the level before); then full intervals give zeros and pairs of
// halves ones. A lone half or an unclassifiable interval is skipped and recovery goes on with
// the next interval.
RecoveredBits RecoverBitsTolerant(std::span<const uint8_t> ticks, const BurstModel& model) {
    std::vector<uint32_t> merged;
    merged.reserve(ticks.size());
    for (size_t i = 0; i < ticks.size(); ++i) {
        const uint32_t t = ticks[i];
        const size_t index = merged.size();
        if (t < model.level[index & 1].GlitchLimit() && !merged.empty() && i + 1 < ticks.size()) {
            merged.back() += t + ticks[i + 1];
            ++i;
            continue;
        }
        merged.push_back(t);
    }
    RecoveredBits out;
    out.bits.reserve(merged.size());
    out.startTick.reserve(merged.size() + 1);
    uint32_t at = 0;
    for (size_t i = 0; i < merged.size();) {
        const Interval kind = model.Classify(merged[i], i);
        if (kind == Interval::kFull) {
            out.bits.push_back(0);
            out.startTick.push_back(at);
            at += merged[i];
            ++i;
        } else if (kind == Interval::kHalf && i + 1 < merged.size() &&
                   model.Classify(merged[i + 1], i + 1) == Interval::kHalf) {
            out.bits.push_back(1);
            out.startTick.push_back(at);
            at += merged[i] + merged[i + 1];
            i += 2;
        } else {
            at += merged[i];
            ++i;
        }
    }
    out.startTick.push_back(at);  // the end of the last bit
    return out;
}

bool IsKCode(uint8_t code) {
    return code > 0xF && code != kSymInvalid && code != kSymEop;
}

// The message ordered set that at least three of the four codes name, when exactly one
// ordered set does and it is no reset: a damaged K-code that leaves two readings open, or that
// may have been a reset, is not guessed.
std::optional<int32_t> TolerantOrderedSet(const std::array<uint8_t, 4>& codes) {
    std::optional<int32_t> found;
    for (const OrderedSetPattern& pattern : OrderedSetPatterns()) {
        int matches = 0;
        for (size_t k = 0; k < 4; ++k) {
            matches += pattern.codes[k] == codes[k] ? 1 : 0;
        }
        if (matches >= 3) {
            if (found) {
                return std::nullopt;
            }
            found = pattern.kind;
        }
    }
    if (found && !IsSopKind(*found)) {
        return std::nullopt;
    }
    return found;
}

struct Candidate {
    int32_t sopStartBit = -1;
    int32_t kind = kOsNotDecoded;
};

// Ordered-set positions in bit order, at most kTolerantCrcTries of them.
std::vector<Candidate> FindOrderedSets(const std::vector<uint8_t>& bits) {
    std::vector<Candidate> found;
    if (bits.size() < 20) {
        return found;
    }
    std::vector<uint8_t> codes(bits.size() - 4);
    for (size_t s = 0; s < codes.size(); ++s) {
        codes[s] = SymbolCodeOf(static_cast<unsigned>(
            bits[s] | bits[s + 1] << 1 | bits[s + 2] << 2 | bits[s + 3] << 3 | bits[s + 4] << 4));
    }
    for (size_t s = 0; s + 15 < codes.size() && found.size() < kTolerantCrcTries; ++s) {
        const std::array<uint8_t, 4> set = {codes[s], codes[s + 5], codes[s + 10], codes[s + 15]};
        if (std::count_if(set.begin(), set.end(), IsKCode) < 3) {
            continue;
        }
        if (const std::optional<int32_t> kind = TolerantOrderedSet(set)) {
            found.push_back({static_cast<int32_t>(s), *kind});
        }
    }
    return found;
}

// Writes the bits and the preamble measured before the ordered set, then runs the strict
// symbol, ordered-set and message stages. True with a correct CRC and the header's byte count.
bool DecodeFrom(CCCPacket& packet, const RecoveredBits& recovered, const BurstModel& model,
                const Candidate& candidate) {
    packet.bits.clear();
    packet.bits.reserve(recovered.bits.size());
    for (const uint8_t bit : recovered.bits) {
        packet.bits.push_back(bit);
    }
    packet.bitCount = static_cast<int16_t>(recovered.bits.size());
    const int32_t sop = candidate.sopStartBit;
    int32_t start = std::max(sop - 1, 0);
    while (start > 0 && recovered.bits[static_cast<size_t>(start - 1)] !=
                            recovered.bits[static_cast<size_t>(start)]) {
        --start;
    }
    packet.preambleFound = true;
    packet.preambleStartBit = static_cast<int16_t>(start);
    packet.sopStartBit = static_cast<int16_t>(sop);
    packet.preambleLength = static_cast<int16_t>(sop - start);
    // As the strict measurement: the preamble without its first bit.
    double ticks = model.unitIntervalTicks;
    if (packet.preambleLength >= 2) {
        ticks = static_cast<double>(recovered.startTick[static_cast<size_t>(sop)] -
                                    recovered.startTick[static_cast<size_t>(start + 1)]) /
                (packet.preambleLength - 1);
    }
    packet.averageUnitInterval = static_cast<float>(packet.clockDivider * ticks / 48.0);
    if (GroupSymbols(packet) == 0) {
        return false;
    }
    MatchOrderedSet(packet);
    packet.orderedSetKind = static_cast<int16_t>(candidate.kind);
    if (!CheckMessage(packet)) {
        return false;
    }
    const std::span<const uint8_t> bytes(packet.messageBytes.data(),
                                         static_cast<size_t>(packet.messageByteCount));
    return packet.messageByteCount == ExpectedMessageBytes(bytes);
}

}  // namespace

bool StrictlyAccepted(const CCCPacket& packet) {
    return packet.crcOk || packet.orderedSetKind == kOsHardReset ||
           packet.orderedSetKind == kOsCableReset;
}

int32_t ExpectedMessageBytes(std::span<const uint8_t> bytes) {
    if (bytes.size() < 2) {
        return 0;
    }
    const unsigned header = bytes[0] | bytes[1] << 8;
    const int32_t objects = static_cast<int32_t>((header >> 12) & 0x7);
    if (objects != 0 || (header & 0x8000u) == 0) {
        return 2 + 4 * objects;
    }
    if (bytes.size() < 4) {
        return 0;
    }
    const unsigned extended = bytes[2] | bytes[3] << 8;
    if ((extended & 0x8000u) != 0) {
        return 2;  // a chunk always counts its data objects
    }
    return 4 + static_cast<int32_t>(extended & 0x1FF);
}

bool RecoverTolerant(std::span<const uint8_t> ticks, int32_t clockDivider, CCCPacket* packet) {
    if (ticks.size() < kMinIntervals || clockDivider <= 0) {
        return false;
    }
    const std::optional<BurstModel> model = LearnBurst(ticks, clockDivider);
    if (!model) {
        return false;
    }
    const RecoveredBits recovered = RecoverBitsTolerant(ticks, *model);
    // Each candidate is tried on a scratch record; the packet takes only an accepted one.
    CCCPacket trial;
    trial.clockDivider = static_cast<int16_t>(clockDivider);
    for (const Candidate& candidate : FindOrderedSets(recovered.bits)) {
        if (DecodeFrom(trial, recovered, *model, candidate)) {
            if (packet != nullptr) {
                DecodeFrom(*packet, recovered, *model, candidate);
                packet->recovered = true;
                packet->bits.shrink_to_fit();
            }
            return true;
        }
    }
    return false;
}

TolerantOutcome DecodePacketTolerant(CCCPacket& packet, int64_t captureStartTime, TolerantMode mode,
                                     TolerantScratch& scratch) {
    // The ticks are read back only when the strict decode fails: it leaves them as they came.
    const bool keep = mode != TolerantMode::kOff && HasEdgeList(packet);
    AmbiguitySearch search;
    DecodePacketKeepingEdges(packet, captureStartTime, search);
    const bool accepted = StrictlyAccepted(packet);
    if (keep && !accepted) {
        scratch.ticks.resize(static_cast<size_t>(packet.edgeCount));
        for (size_t i = 0; i < scratch.ticks.size(); ++i) {
            scratch.ticks[i] = packet.edges[i].ticks;
        }
    }
    ReleaseEdges(packet);
    if (accepted) {
        return TolerantOutcome::kStrictAccepted;
    }
    if (!keep) {
        return TolerantOutcome::kRejected;
    }
    if (mode == TolerantMode::kCount) {
        return RecoverTolerant(scratch.ticks, packet.clockDivider, nullptr)
                   ? TolerantOutcome::kRecoverable
                   : TolerantOutcome::kRejected;
    }
    return RecoverTolerant(scratch.ticks, packet.clockDivider, &packet)
               ? TolerantOutcome::kRecovered
               : TolerantOutcome::kRejected;
}
