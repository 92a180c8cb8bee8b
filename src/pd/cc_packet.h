// One burst of BMC signalling on a CC wire, from raw edge intervals to decoded message bytes.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "pd/chunk_block.h"
#include "pd/packet_buffers.h"

// Largest number of edge intervals kept for one packet; later intervals are dropped.
inline constexpr int kMaxEdges = 5000;
// Capacity of the assembled message: headers, up to 260 payload bytes and the CRC.
inline constexpr int kMaxMessageBytes = 268;

enum class EdgeClass : uint8_t {
    kShort = 0,
    kHalf = 1,
    kFull = 2,
    kAmbiguous = 3,
    kLong = 4,
    kHalfResolved = 5,
    kFullResolved = 6,
};

enum class BitRole : uint8_t {
    kUnassigned = 0,
    kZero = 1,
    kOneFirst = 2,
    kOneSecond = 3,
    kInvalid = 7,
};

// One edge interval, packed into four bytes.
struct CcEdge {
    uint8_t ticks = 0;  // interval from the previous edge, in edge-timer ticks
    uint8_t edgeClass : 3 = 0;
    uint8_t bitRole : 3 = 0;
    uint16_t bitIndex = 0;  // bit starting at this edge, kNoBit when none
};
static_assert(sizeof(CcEdge) == 4);

inline constexpr uint16_t kNoBit = 0xFFFF;

// Ordered set that starts a packet.
enum OrderedSetKind : int32_t {
    kOsSop = 1,
    kOsSopPrime = 2,
    kOsSopDoublePrime = 3,
    kOsHardReset = 4,
    kOsCableReset = 5,
    kOsSopPrimeDebug = 6,
    kOsSopDoublePrimeDebug = 7,
    kOsNotDecoded = 254,
    kOsUnrecognised = 255,
};

struct CCCPacket;
using PacketPtr = std::shared_ptr<CCCPacket>;

// One packet: raw fields from the stream parser, then what each decoding stage fills in (see
// the decoder). Thousands of packets stay in memory for the life of a capture, so the fields are
// ordered by size and only as wide as their values: bit and interval counts stay below 5000,
// message byte counts below 268. Once the document stores a packet it does not change, so that
// readers on other threads need no lock for it: its number (its index), the user's marks and the
// markers are the document's.
struct CCCPacket {
    // 8-byte fields and owned buffers.
    uint64_t firstBlockOffset = 0;
    uint64_t lastBlockOffset = 0;
    // Where the edge parser can decode the packet from and up to which block it must read to
    // hand it over: the first block of the run of continuing edge blocks it lies in (both lines
    // start afresh there), and the block in which it was handed over.
    uint64_t runStartOffset = 0;
    uint64_t handoverOffset = 0;
    int64_t startTime = 0;
    int64_t relTime = 0;
    std::vector<CcEdge> edges;  // empty once released after decoding
    PackedBits bits;
    MessageBytes messageBytes;  // what was assembled, CRC included; reads as 0 beyond
    // Latest Source_Capabilities this Request refers to; expires when that packet is removed.
    std::weak_ptr<CCCPacket> sourceCapsRef;
    ChunkBuffer chunkBuffer;

    // Stream parser, and the VBUS snapshot the document takes before it stores the packet.
    uint16_t vbusVoltage = 0;  // unsigned like the sample: EPR voltages exceed 32767 mV
    int16_t vbusCurrent = 0;
    int16_t cc1Voltage = 0;
    int16_t cc2Voltage = 0;
    int16_t cc1Current = 0;
    int16_t cc2Current = 0;
    int16_t clockDivider = 20;
    int16_t edgeCount = 0;
    uint8_t ccLine = 0;
    bool vbusValid = false;

    // Bit recovery, symbols, bytes and CRC.
    bool preambleFound = false;
    bool crcOk = false;
    bool bytesAssembled = false;
    bool eopFound = false;
    float averageUnitInterval = 0.0f;
    uint32_t receivedCrc = 0xFFFFFFFF;
    int32_t totalTicks = 0;
    int16_t preambleStartBit = -1;
    int16_t preambleLength = 0;
    int16_t sopStartBit = -1;
    int16_t eopStartBit = -1;
    int16_t bitCount = 0;
    int16_t shortCount = 0;
    int16_t longCount = 0;
    // The symbols are the 5-bit groups of the bits from sopStartBit on (SymbolAt, pd/symbols.h).
    int16_t symbolCount = 0;
    int16_t orderedSetKind = kOsNotDecoded;
    int16_t messageByteCount = 0;

    // Port attribution and chunk reassembly.
    int16_t chunkTotalSize = 0;
    int16_t chunkOffset = 0;
    int16_t chunkLength = 0;
    int8_t port = 0;
    bool chunkStart = false;
    // Decoded by the tolerant pass after the strict decode rejected it (pd/tolerant_decoder.h).
    bool recovered = false;
};
