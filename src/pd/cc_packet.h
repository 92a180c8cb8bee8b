// One burst of BMC signalling on a CC wire, from raw edge intervals to decoded message bytes.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

class CKVDoc;

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

// Reassembled payload of a chunked extended message, shared by every chunk packet of it.
using ChunkBuffer = std::shared_ptr<std::vector<uint8_t>>;

// Fields in the order of the packet record. Raw fields come from the stream parser, the rest
// from the decoding stages; see the decoder for what each stage writes.
struct CCCPacket {
    CKVDoc* doc = nullptr;
    uint64_t firstBlockOffset = 0;
    uint64_t lastBlockOffset = 0;
    int32_t packetNumber = -1;
    bool marked = false;
    int64_t startTime = 0;
    int64_t relTime = 0;
    bool vbusValid = false;
    uint16_t vbusVoltage = 0;  // unsigned like the sample: EPR voltages exceed 32767 mV
    int16_t vbusCurrent = 0;
    int16_t cc1Voltage = 0;
    int16_t cc2Voltage = 0;
    int16_t cc1Current = 0;
    int16_t cc2Current = 0;
    int32_t ccLine = 0;
    int32_t clockDivider = 20;
    int32_t edgeCount = 0;
    std::vector<CcEdge> edges;  // empty once released after decoding

    std::vector<uint8_t> bits;
    bool preambleFound = false;
    int32_t preambleStartBit = -1;
    int32_t preambleLength = 0;
    int32_t sopStartBit = -1;
    int32_t eopStartBit = -1;
    float averageUnitInterval = 0.0f;
    bool crcOk = false;
    bool bytesAssembled = false;
    uint32_t receivedCrc = 0xFFFFFFFF;
    bool eopFound = false;
    int32_t orderedSetKind = kOsNotDecoded;
    std::array<uint8_t, kMaxMessageBytes> messageBytes{};  // zeroed at creation
    int32_t messageByteCount = 0;
    int32_t port = 0;
    // Latest Source_Capabilities this Request refers to; expires when that packet is removed.
    std::weak_ptr<CCCPacket> sourceCapsRef;
    bool chunkStart = false;
    ChunkBuffer chunkBuffer;
    int32_t chunkTotalSize = 0;
    int32_t chunkOffset = 0;
    int32_t chunkLength = 0;
    int32_t totalTicks = 0;
    int32_t bitCount = 0;
    int32_t shortCount = 0;
    int32_t longCount = 0;
    std::vector<uint8_t> symbols;
    int32_t symbolCount = 0;
};
