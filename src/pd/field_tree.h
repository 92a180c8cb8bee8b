// The tree of a packet's message parts shown next to the field table, with the node codes the
// field table is selected by and the bit range each node stands for.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "pd/cc_packet.h"

// Node codes (the item data of each tree node). Data object and block word codes add
// index x 0x10000; data line codes add the line's byte offset.
inline constexpr uint32_t kNodePacket = 0x01000000;
inline constexpr uint32_t kNodeMessageHeader = 0x02000000;
inline constexpr uint32_t kNodeDataObject = 0x04000000;
inline constexpr uint32_t kNodeExtendedHeader = 0x08000000;
inline constexpr uint32_t kNodeExtendedData = 0x10000000;
inline constexpr uint32_t kNodeExtendedBlock = 0x20000000;
inline constexpr uint32_t kNodeBlockDataObject = 0x24000000;
inline constexpr uint32_t kNodeRecovered = 0x40000000;  // a line, no field table of its own
inline constexpr uint32_t kNodeFault = 0x48000000;      // why the packet is invalid; a line too
inline constexpr uint32_t kNodeIndexStep = 0x10000;

struct PacketTreeNode {
    uint32_t code = 0;
    int32_t depth = 0;  // 0 for top-level nodes
    std::string text;
    bool expanded = false;
};

struct PacketTree {
    std::vector<PacketTreeNode> nodes;    // in tree order (each node before its children)
    uint32_t selectedCode = kNodePacket;  // the node selected once the tree is built
};

// The nodes of packet `packet`: "Packet #n", for a packet the tolerant pass recovered the line
// "Recovered by the tolerant decoder (preamble N bits, unit interval U us)", and for SOP, SOP' and
// SOP'' messages the headers, the data objects or extended data, and the reassembled data block.
// The message header is selected; a packet without a message has only its packet node, which is
// then selected.
PacketTree BuildPacketTree(const CCCPacket& packet, int32_t number);

// Bits a node stands for: `length` bits from `start` of the message bytes, or of the
// reassembled data block when `reassembled`. Bounded by the bytes the packet carries.
struct FieldBitRange {
    int32_t start = 0;
    int32_t length = 0;
    bool reassembled = false;
};

// The bit range of node `code`; code 0 (nothing selected) stands for the packet node. Empty
// for a code that is not one of the node kinds above.
std::optional<FieldBitRange> NodeBitRange(const CCCPacket& packet, uint32_t code);
