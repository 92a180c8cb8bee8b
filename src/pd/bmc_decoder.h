// Physical-layer decoding of one CC packet: edge intervals to BMC bits, preamble and unit
// interval, then symbols, ordered set, message bytes and CRC (pd/symbols.h).
#pragma once

#include <cstdint>

#include "pd/cc_packet.h"

// Work allowed to the ambiguity search of one packet, counted in edge visits: a search step
// visits the edges from the previous decision to the next ambiguous interval and the run of
// role-less edges around it, and every leaf reruns the bit recovery over the whole edge list.
// The budget of a packet is kSearchVisitsPerEdge visits for each of its edges, so that the
// search of a whole file stays linear in its size however its bursts are crafted, and never more
// than kAmbiguitySearchBudget.
inline constexpr int64_t kSearchVisitsPerEdge = 16;
inline constexpr int64_t kAmbiguitySearchBudget = 500'000;

// Budget and counters of one packet's ambiguity search.
struct AmbiguitySearch {
    int64_t edgeVisitsLeft = kAmbiguitySearchBudget;
    int32_t steps = 0;       // intervals decided (TryAmbiguous calls that changed a class)
    int32_t leaves = 0;      // complete assignments handed to RecoverBits
    bool exhausted = false;  // the budget ran out before the search was complete
};

// Decodes one packet once: sets relTime, resets the decoded fields, classifies and resolves the
// edge intervals, searches the ambiguous ones when needed, and releases the edge list.
void DecodePacket(CCCPacket& packet, int64_t captureStartTime);
// As above, reporting the ambiguity search through `search`, whose budget is lowered to the
// packet's own.
void DecodePacket(CCCPacket& packet, int64_t captureStartTime, AmbiguitySearch& search);
// As above, except that the edge list stays for the caller, with its tick counts as they came
// (classes, roles and bit indices are the decode's); ReleaseEdges gives it back.
void DecodePacketKeepingEdges(CCCPacket& packet, int64_t captureStartTime, AmbiguitySearch& search);
// Frees the edge list, and the room reserved for bits that the decode did not use.
void ReleaseEdges(CCCPacket& packet);

// True while the packet holds its edge list: 0 <= edgeCount <= 5000 and `edges` has at least
// edgeCount entries. False once the list is released after decoding.
bool HasEdgeList(const CCCPacket& packet);

// Estimates the unit interval and classifies every interval. False when the edge list is missing
// or shorter than edgeCount, when the clock divider is not positive, or when the bit array cannot
// be allocated.
bool ClassifyEdges(CCCPacket& packet);

// Gives every interval it can a bit role; returns the number of intervals left in unresolved runs.
int32_t ResolveEdges(CCCPacket& packet);

// The depth-first ambiguity search: decides the first ambiguous interval as `decided`
// (kHalfResolved or kFullResolved), resolves, and recurses with half before full. True when an
// assignment was accepted by RecoverBits (edges keep it); false restores the edges. Expects the
// edges as the resolve pass left them; a step takes its decision back through an undo log
// instead of a copy of the edge list.
bool TryAmbiguous(CCCPacket& packet, EdgeClass decided, AmbiguitySearch& search);

// Bits from the roles, preamble, average unit interval, then symbols, ordered set and CRC.
// True when the packet is accepted: a Hard Reset or Cable Reset, or a message with a correct CRC.
bool RecoverBits(CCCPacket& packet);
// The steps of RecoverBits after the bits are appended.
bool RecoverFromBits(CCCPacket& packet);

// Packet length in microseconds: totalTicks x clockDivider / 48, truncated.
int64_t PacketLengthUs(const CCCPacket& packet);

// True when the average unit interval lies below 3.03 or above 3.7 microseconds (compared as
// 32-bit floats); also for an unmeasured (0) or not-a-number value.
bool UnitIntervalOutOfRange(const CCCPacket& packet);
