// Physical layer of the synthesizer: 4b5b line code, preamble, ordered sets, CRC, EOP and BMC
// transition times, with optional faults. The code tables here are written independently of
// the decoder's so that a round trip checks both.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "device/sim/message_builder.h"
#include "device/sim/sim_random.h"

// Faults the synthesizer can put into one transmitted packet.
enum class PhyFault : uint8_t {
    kNone = 0,
    kGlitch,                  // short spikes inside the packet
    kBadCrc,                  // the carried CRC does not match the bytes
    kMissingEop,              // no EOP after the CRC
    kDamagedOrderedSet,       // the fourth K-code of the ordered set is replaced
    kUnitIntervalOutOfRange,  // sent at a 4.0 us unit interval
    kTruncated,               // the burst stops partway through the message
};
inline constexpr int kPhyFaultCount = 7;

// "none", "glitch", "bad-crc", "missing-eop", "damaged-ordered-set", "unit-interval",
// "truncated".
const char* PhyFaultName(PhyFault fault);

// Line code symbols that are not data nibbles.
enum class KCode : uint8_t { kSync1, kSync2, kSync3, kRst1, kRst2, kEop };

// 5-bit line code of a data nibble (0-15) and of a K-code. The code is sent least significant
// bit first.
uint8_t NibbleCode(int nibble);
uint8_t KCodeBits(KCode code);
// The four K-codes of an ordered set; none for kinds other than 1-7.
std::optional<std::array<KCode, 4>> OrderedSetCodes(int32_t orderedSet);

inline constexpr int kPreambleBits = 64;
inline constexpr double kNominalUnitIntervalUs = 3.3;
inline constexpr double kOutOfRangeUnitIntervalUs = 4.0;

// What a real transmitter and receiver path does to every packet, beyond the faults: unequal
// line levels, a receiver that locks late onto the preamble, a K-code misread.
struct PhyDistortion {
    // Duty-cycle skew: every interval at the level after the first transition lasts this much
    // longer and every interval at the other level this much shorter.
    double levelSkewUs = 0.0;
    int preambleBits = kPreambleBits;  // the last this many of the 64 preamble bits are received
    int damagedKCode = 0;              // 1-4: that K-code of every ordered set arrives as the
                                       // code of data nibble 0; 0 = none
};

// Largest skew: a half unit interval must keep a positive length.
inline constexpr double kMaxLevelSkewUs = 1.0;

// Everything a packet's bits depend on.
struct LineCodeInput {
    int32_t orderedSet = kOsSop;
    std::vector<uint8_t> bytes;  // message header onwards, without the CRC
    uint32_t crc = 0;            // CRC to carry
    PhyFault fault = PhyFault::kNone;
    int preambleBits = kPreambleBits;  // 1-64, the end of the alternating preamble
    int damagedKCode = 0;              // 1-4 or 0, as in PhyDistortion
};

// Bits in transmission order: the alternating preamble (all 64 bits start with 0 and end with
// 1; a shorter one is their end), the ordered set, then for messages the bytes and the CRC as
// 4b5b nibbles (low nibble first) and the EOP. Hard Reset and Cable Reset end after the ordered
// set.
std::vector<uint8_t> EncodePacketBits(const LineCodeInput& input);

// BMC transition times in nanoseconds from the first transition: one at the start of every bit,
// one in the middle of every one bit, and one closing the last bit. Each transition after the
// first moves by up to +-jitterUs. Times are strictly increasing.
std::vector<int64_t> BmcTransitions(const std::vector<uint8_t>& bits, double unitIntervalUs,
                                    double jitterUs, SimRandom& random);

// Moves every second transition (the ones that end the first level) later by skewUs, keeping
// the times strictly increasing.
void ApplyLevelSkew(std::vector<int64_t>& transitions, double skewUs);

// Adds two or three glitches (pairs of transitions `widthNs` apart) between the preamble and
// the CRC, each in an interval at least four widths long.
void InsertGlitches(std::vector<int64_t>& transitions, int64_t widthNs, SimRandom& random);
