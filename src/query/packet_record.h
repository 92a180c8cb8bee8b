// The raw facts of one packet beside its column texts, as zoduz-cli decode --format json and
// the Python module give them.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "pd/cc_packet.h"

// The message header, none when the packet carries no message (not SOP, SOP', SOP'' or their
// debug variants, or fewer than two bytes assembled).
std::optional<uint16_t> PacketHeader(const CCCPacket& packet);

// The data objects of a message that is not extended, as far as all four bytes of each were
// assembled; empty otherwise.
std::vector<uint32_t> PacketDataObjects(const CCCPacket& packet);

// The message bytes the packet counts (messageByteCount), as zoduz-cli decode --format json
// gives them.
std::span<const uint8_t> PacketMessageBytes(const CCCPacket& packet);
