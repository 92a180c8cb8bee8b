// The field table of one node of a packet's detail tree, as zoduz-cli fields shows it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "pd/field_rows.h"

// A node code in hex (up to eight digits, optional "0x"); none for any other text.
std::optional<uint32_t> ParseNodeCode(std::string text);

// The rows of tree node `node` of the packet, by default the node its tree selects. None with
// error "packet NUMBER has no node CODE" (CODE as %08X) when the tree has no such node.
std::optional<std::vector<FieldRow>> NodeFieldRows(const CCCPacket& packet, int32_t number,
                                                   std::optional<uint32_t> node,
                                                   std::string& error);
