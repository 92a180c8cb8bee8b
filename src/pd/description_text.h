// The "Description" text of a packet: the decoding of its data objects or extended data.
#pragma once

#include <string>

#include "pd/cc_packet.h"

// Dispatches by message class and type to the text of that message; empty for packets without
// a preamble, without a correct CRC or of a kind that carries no message, and for every message
// that has no description (control messages, Battery_Status, Alert, most extended messages).
std::string DescriptionText(const CCCPacket& packet);
