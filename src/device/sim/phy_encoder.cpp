#include "device/sim/phy_encoder.h"

#include <algorithm>
#include <cmath>

namespace {

// 4b5b data codes, indexed by nibble; bit 0 of each code goes on the wire first.
constexpr std::array<uint8_t, 16> kNibbleCodes = {
    0b11110, 0b01001, 0b10100, 0b10101, 0b01010, 0b01011, 0b01110, 0b01111,
    0b10010, 0b10011, 0b10110, 0b10111, 0b11010, 0b11011, 0b11100, 0b11101,
};

void AppendCode(std::vector<uint8_t>& bits, uint8_t code) {
    for (int i = 0; i < 5; ++i) {
        bits.push_back(static_cast<uint8_t>((code >> i) & 1));
    }
}

void AppendByte(std::vector<uint8_t>& bits, uint8_t byte) {
    AppendCode(bits, NibbleCode(byte & 0x0F));
    AppendCode(bits, NibbleCode(byte >> 4));
}

}  // namespace

const char* PhyFaultName(PhyFault fault) {
    switch (fault) {
        case PhyFault::kNone:
            return "none";
        case PhyFault::kGlitch:
            return "glitch";
        case PhyFault::kBadCrc:
            return "bad-crc";
        case PhyFault::kMissingEop:
            return "missing-eop";
        case PhyFault::kDamagedOrderedSet:
            return "damaged-ordered-set";
        case PhyFault::kUnitIntervalOutOfRange:
            return "unit-interval";
        case PhyFault::kTruncated:
            return "truncated";
    }
    return "none";
}

uint8_t NibbleCode(int nibble) {
    return kNibbleCodes[static_cast<size_t>(nibble & 0x0F)];
}

uint8_t KCodeBits(KCode code) {
    switch (code) {
        case KCode::kSync1:
            return 0b11000;
        case KCode::kSync2:
            return 0b10001;
        case KCode::kSync3:
            return 0b00110;
        case KCode::kRst1:
            return 0b00111;
        case KCode::kRst2:
            return 0b11001;
        case KCode::kEop:
            return 0b01101;
    }
    return 0;
}

std::optional<std::array<KCode, 4>> OrderedSetCodes(int32_t orderedSet) {
    using K = KCode;
    switch (orderedSet) {
        case kOsSop:
            return std::array{K::kSync1, K::kSync1, K::kSync1, K::kSync2};
        case kOsSopPrime:
            return std::array{K::kSync1, K::kSync1, K::kSync3, K::kSync3};
        case kOsSopDoublePrime:
            return std::array{K::kSync1, K::kSync3, K::kSync1, K::kSync3};
        case kOsHardReset:
            return std::array{K::kRst1, K::kRst1, K::kRst1, K::kRst2};
        case kOsCableReset:
            return std::array{K::kRst1, K::kSync1, K::kRst1, K::kSync3};
        case kOsSopPrimeDebug:
            return std::array{K::kSync1, K::kRst2, K::kRst2, K::kSync3};
        case kOsSopDoublePrimeDebug:
            return std::array{K::kSync1, K::kRst2, K::kSync3, K::kSync2};
        default:
            return std::nullopt;
    }
}

std::vector<uint8_t> EncodePacketBits(const LineCodeInput& input) {
    std::vector<uint8_t> bits;
    bits.reserve(kPreambleBits + 20 + (input.bytes.size() + 4) * 10 + 5);
    for (int i = kPreambleBits - std::clamp(input.preambleBits, 1, kPreambleBits);
         i < kPreambleBits; ++i) {
        bits.push_back(static_cast<uint8_t>(i & 1));
    }
    std::array<KCode, 4> codes =
        OrderedSetCodes(input.orderedSet)
            .value_or(std::array{KCode::kSync1, KCode::kSync1, KCode::kSync1, KCode::kSync2});
    if (input.fault == PhyFault::kDamagedOrderedSet) {
        codes[3] = KCode::kRst1;  // no ordered set ends in RST-1
    }
    for (size_t k = 0; k < codes.size(); ++k) {
        const bool damaged = input.damagedKCode == static_cast<int>(k) + 1;
        AppendCode(bits, damaged ? NibbleCode(0) : KCodeBits(codes[k]));
    }
    if (input.orderedSet == kOsHardReset || input.orderedSet == kOsCableReset) {
        return bits;
    }
    for (uint8_t byte : input.bytes) {
        AppendByte(bits, byte);
    }
    for (int i = 0; i < 4; ++i) {
        AppendByte(bits, static_cast<uint8_t>(input.crc >> (8 * i)));
    }
    if (input.fault != PhyFault::kMissingEop) {
        AppendCode(bits, KCodeBits(KCode::kEop));
    }
    return bits;
}

std::vector<int64_t> BmcTransitions(const std::vector<uint8_t>& bits, double unitIntervalUs,
                                    double jitterUs, SimRandom& random) {
    std::vector<int64_t> times;
    times.reserve(bits.size() * 2 + 1);
    const double uiNs = unitIntervalUs * 1000.0;
    const double jitterNs = std::max(0.0, jitterUs) * 1000.0;
    auto place = [&](double nominalNs) {
        double t = nominalNs;
        if (!times.empty() && jitterNs > 0.0) {
            t += random.Symmetric() * jitterNs;
        }
        auto ns = static_cast<int64_t>(std::llround(t));
        if (!times.empty() && ns <= times.back()) {
            ns = times.back() + 1;
        }
        times.push_back(ns);
    };
    double cell = 0.0;
    for (uint8_t bit : bits) {
        place(cell);
        if (bit != 0) {
            place(cell + uiNs / 2.0);
        }
        cell += uiNs;
    }
    place(cell);
    return times;
}

void ApplyLevelSkew(std::vector<int64_t>& transitions, double skewUs) {
    const auto skewNs = static_cast<int64_t>(std::llround(skewUs * 1000.0));
    if (skewNs == 0) {
        return;
    }
    for (size_t i = 1; i < transitions.size(); i += 2) {
        transitions[i] += skewNs;
    }
    for (size_t i = 1; i < transitions.size(); ++i) {
        transitions[i] = std::max(transitions[i], transitions[i - 1] + 1);
    }
}

void InsertGlitches(std::vector<int64_t>& transitions, int64_t widthNs, SimRandom& random) {
    // Spikes go between the preamble and the CRC (three transitions per preamble bit pair,
    // at most fifteen per byte), where they always break a symbol the decoder needs.
    const size_t first = static_cast<size_t>(kPreambleBits) * 3 / 2 + 2;
    const size_t tail = 4 * 15 + 8;
    if (transitions.size() < first + tail + 4) {
        return;
    }
    int count = static_cast<int>(random.Between(2, 3));
    for (int i = 0; i < count; ++i) {
        // From a random place on, the first interval wide enough to hold a spike.
        const size_t span = transitions.size() - tail - first;
        auto start = static_cast<size_t>(random.Between(0, static_cast<int64_t>(span) - 1));
        for (size_t step = 0; step < span; ++step) {
            size_t at = first + (start + step) % span;
            int64_t gap = transitions[at + 1] - transitions[at];
            if (gap < 4 * widthNs) {
                continue;
            }
            int64_t spike = transitions[at] + gap / 2 - widthNs / 2;
            transitions.insert(transitions.begin() + static_cast<std::ptrdiff_t>(at) + 1,
                               {spike, spike + widthNs});
            break;
        }
    }
}
