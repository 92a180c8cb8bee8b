// A packet as the checks see it: its burst times, ordered set, sender and header fields, taken
// once from the decoded packet so that every rule reads the same few bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pd/cc_packet.h"

enum class MessageKind : uint8_t {
    kNone = 0,  // no readable header (noise, an undecoded burst)
    kControl,
    kData,
    kExtended,
    kHardReset,
    kCableReset,
};

struct WalkMessage {
    const CCCPacket* packet = nullptr;
    int64_t number = 0;  // packet number in the snapshot
    int64_t start = 0;   // s(X): first transition, µs on the relTime scale
    int64_t end = 0;     // e(X): last transition
    int64_t guard = 1;   // δ: the edge-timer tick plus the µs rounding, in µs
    int16_t orderedSet = kOsNotDecoded;
    MessageKind kind = MessageKind::kNone;
    bool crcOk = false;
    uint8_t type = 0;
    uint8_t id = 0;
    uint8_t revision = 0;  // header field: 1 = PD 2.0, 2 = PD 3.x
    uint8_t objects = 0;
    bool source = false;  // power role bit (SOP) / cable plug bit (SOP', SOP'')
    bool dfp = false;
    int8_t port = 0;  // as attributed by the decoder: 1, 2, 3 = cable plug, 0 = unknown

    // A message with a good CRC and a header (not a reset).
    bool IsMessage() const {
        return crcOk && (kind == MessageKind::kControl || kind == MessageKind::kData ||
                         kind == MessageKind::kExtended);
    }
    bool IsControl(int controlType) const {
        return crcOk && kind == MessageKind::kControl && type == controlType;
    }
    bool IsData(int dataType) const {
        return crcOk && kind == MessageKind::kData && type == dataType;
    }
    bool IsExtended(int extendedType) const {
        return crcOk && kind == MessageKind::kExtended && type == extendedType;
    }
    bool IsGoodCrc() const;
    bool IsSop() const { return orderedSet == kOsSop; }
    // Sender key for MessageID counters: the ordered set and the attributed port.
    int Sender() const { return orderedSet * 8 + port; }
    // Data object i (0-based), 0 when missing.
    uint32_t Object(int i) const;
    // True when the header, payload and CRC equal the other message's.
    bool SameContent(const WalkMessage& other) const;
};

WalkMessage MakeWalkMessage(const CCCPacket& packet, int64_t number);

// "Source_Capabilities #12", "Hard Reset #40".
std::string MessageLabel(const WalkMessage& message);

// The payload of an EPR_Source_Capabilities as PDOs: the reassembled block on the packet that
// starts it, empty when incomplete.
std::vector<uint32_t> ExtendedPdos(const WalkMessage& message);
