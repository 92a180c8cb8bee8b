// A second decoding pass for bursts the strict decoder rejects although a PD receiver accepts
// them: duty-cycle distortion (the two line levels' half and full bits differ in length),
// truncated preambles and a damaged K-code in the ordered set. It never accepts a reset and
// accepts a message only with a correct CRC and a byte count that agrees with its header.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "pd/cc_packet.h"

// Message candidates (ordered-set positions) checked against their CRC per burst.
inline constexpr int kTolerantCrcTries = 8;

// What to do with a packet the strict decode did not accept.
enum class TolerantMode : uint8_t {
    kOff,    // nothing: the strict result stands
    kCount,  // find out whether the tolerant pass would recover it, change nothing
    kApply,  // recover it when the tolerant pass can
};

enum class TolerantOutcome : uint8_t {
    kStrictAccepted,  // a correct CRC or a reset: the tolerant pass does not run
    kRejected,        // the strict decode and the tolerant pass found nothing
    kRecoverable,     // kCount: the tolerant pass would recover it
    kRecovered,       // kApply: recovered, the packet's fields hold the message
};

// True when the strict decode accepted the packet: a correct CRC, or a Hard or Cable Reset.
bool StrictlyAccepted(const CCCPacket& packet);

// Bytes of a message as its header announces them: 2 + 4 per data object; an unchunked
// extended message without data objects carries its extended header and data size. 0 when
// fewer than 2 (or, extended, 4) bytes are given.
int32_t ExpectedMessageBytes(std::span<const uint8_t> bytes);

// Buffers reused from packet to packet.
struct TolerantScratch {
    std::vector<uint8_t> ticks;
};

// The strict DecodePacket, then, for a packet it did not accept and by `mode`, the tolerant
// pass over the same edge intervals. A recovered packet has `recovered` set, its bits from the
// tolerant recovery, the measured preamble and unit interval, and the symbols, ordered set,
// bytes and CRC of the strict stages.
TolerantOutcome DecodePacketTolerant(CCCPacket& packet, int64_t captureStartTime, TolerantMode mode,
                                     TolerantScratch& scratch);

// The tolerant pass alone over raw edge intervals (`ticks`, at `clockDivider`): true when it
// recovers a message. Then a given `packet` gets the decoded fields DecodePacketTolerant
// describes; it is left untouched otherwise. The packet's clockDivider should be clockDivider.
bool RecoverTolerant(std::span<const uint8_t> ticks, int32_t clockDivider, CCCPacket* packet);
