// Description texts of the extended messages Source_Capabilities_Extended,
// Sink_Capabilities_Extended and Extended_Control.
#pragma once

#include <string>

#include "pd/cc_packet.h"

// Extended_Control types (message byte 4).
enum ExtendedControlType : int {
    kEprGetSourceCap = 1,
    kEprGetSinkCap = 2,
    kEprKeepAlive = 3,
    kEprKeepAliveAck = 4,
};

// "(SPR Source Rating=%d[W])" and, from 25 bytes on, "(EPR Source Rating=%d[W])". Only the
// packet holding the start of the reassembled block has the text.
std::string SourceCapsExtText(const CCCPacket& packet);
// "(Sink Min/Ope/Max PDP=%d/%d/%d[W])" and, from 24 bytes on, the EPR values in the same form.
std::string SinkCapsExtText(const CCCPacket& packet);
// The name of the Extended_Control type, "(Invalid Type)" for others; empty below two bytes.
std::string ExtendedControlText(const CCCPacket& packet);
