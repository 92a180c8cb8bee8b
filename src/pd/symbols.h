// 4b5b symbols, ordered sets, message bytes and CRC of a CC packet whose bits are recovered.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "pd/cc_packet.h"

// Value of one 5-bit group: 0-15 are data nibbles, the rest K-codes or invalid.
enum SymbolCode : uint8_t {
    kSymSync1 = 17,
    kSymSync2 = 18,
    kSymSync3 = 19,
    kSymRst1 = 33,
    kSymRst2 = 34,
    kSymEop = 48,
    kSymInvalid = 255,
};

// The K-codes of one ordered set, first to fourth symbol.
struct OrderedSetPattern {
    int32_t kind;
    std::array<uint8_t, 4> codes;
};

// The seven ordered sets in the order they are recognised: SOP, SOP', SOP'', SOP'_Debug,
// SOP''_Debug, Hard Reset, Cable Reset.
std::span<const OrderedSetPattern> OrderedSetPatterns();

// Maps a 5-bit group (first received bit in bit 0) to its SymbolCode; 255 for unused codes.
uint8_t SymbolCodeOf(unsigned fiveBits);

// True for the ordered sets that carry a message: SOP, SOP', SOP'' and both debug sets.
bool IsSopKind(int32_t orderedSetKind);

// Cuts the bits after the preamble into symbols; returns symbolCount (0 = no symbol formed).
int32_t GroupSymbols(CCCPacket& packet);

// Symbol i of the packet (i < symbolCount): the group of five bits at sopStartBit + 5 i;
// kSymInvalid outside the symbols.
uint8_t SymbolAt(const CCCPacket& packet, int32_t i);

// Recognises the ordered set from the first four symbols; true for kinds 1-7.
bool MatchOrderedSet(CCCPacket& packet);

// Assembles the message bytes up to the EOP and compares the CRC; true only when it is correct.
bool CheckMessage(CCCPacket& packet);

// Text of one symbol: "%X" for a nibble, "[SYNC-1]" etc. for K-codes, empty for invalid codes.
std::string SymbolCodeText(uint8_t code);

// All symbol texts of the packet concatenated (the payload column).
std::string SymbolText(const CCCPacket& packet);

// Received CRC as "%08Xh", with "(Bad)" appended when it is wrong; "-" for non-message kinds.
std::string CrcText(const CCCPacket& packet);

// "SOP", "SOP'", "SOP''", "Hard Reset", "Cable Reset", otherwise "Invalid".
std::string OrderedSetName(const CCCPacket& packet);
