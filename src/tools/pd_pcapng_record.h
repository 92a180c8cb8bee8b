// What one CC packet becomes in a pcapng export: an exported PDU (link type 252) that names the
// "zoduz_pd" dissector, followed by Zoduz's own record of the packet. The record's layout is
// part of the file format that packaging/wireshark/zoduz_pd.lua reads (docs/cli.md lists it):
// a little-endian header whose second byte gives its length, then the message bytes, the
// reassembled extended data block and the Description text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "columns/column_text.h"
#include "pd/cc_packet.h"

// Name of the dissector the exported PDU tag asks Wireshark for.
inline constexpr const char* kPdDissectorName = "zoduz_pd";
inline constexpr uint8_t kPdRecordVersion = 1;
inline constexpr uint8_t kPdRecordHeaderLength = 52;

// Why a packet has no message: kMessage for a message with its bytes (whatever its CRC says)
// and for Hard Reset and Cable Reset, which are complete as an ordered set.
enum class PdRecordReason : uint8_t {
    kMessage = 0,
    kNoPreamble = 1,
    kNoOrderedSet = 2,       // too few symbols for an ordered set
    kUnknownOrderedSet = 3,  // four symbols that are no ordered set
    kNoEop = 4,              // a message ordered set without its EOP
    kBadSymbols = 5,         // the symbols before the EOP do not form whole bytes and a CRC
};
PdRecordReason PacketReason(const CCCPacket& packet);

// Flag bits of the record header.
enum PdRecordFlag : uint16_t {
    kPdFlagCrcGood = 1u << 0,
    kPdFlagRecovered = 1u << 1,  // decoded by the tolerant pass
    kPdFlagVbus = 1u << 2,       // the VBUS/CC readings are present
    kPdFlagRequestedPdo = 1u << 3,
    kPdFlagPreamble = 1u << 4,
    kPdFlagEop = 1u << 5,
    kPdFlagBytesAssembled = 1u << 6,
    kPdFlagMarked = 1u << 7,
};

// What the record carries beyond the packet's own fields.
struct PdRecordExtras {
    std::optional<PacketVbusValues> vbus;
    // The PDO of the Source_Capabilities that a Request's Object Position selects.
    std::optional<uint32_t> requestedPdo;
    std::string description;  // the Description column's text
    int32_t number = -1;      // the packet's number in the capture (the list's # column)
    bool marked = false;      // the user marked the packet
};

// The extras of a packet: its VBUS snapshot (or the context's sample), the requested PDO and
// the Description text.
PdRecordExtras PacketRecordExtras(const PacketRow& row, const ColumnContext& context);

// The whole exported PDU of a packet: the dissector-name tag, the end tag and the record.
std::string BuildPdRecord(const CCCPacket& packet, const PdRecordExtras& extras);
