// Why a packet counts as invalid, in words: the faults the decoding stages found in it.
#pragma once

#include <string>

#include "pd/cc_packet.h"

struct PacketFaults {
    bool noPreamble = false;    // no preamble: nothing after it can be trusted
    bool noEop = false;         // the message never ended in an EOP
    bool undecodable = false;   // a symbol between the ordered set and the EOP is no data
    bool crcMismatch = false;   // the bytes assembled, their CRC is wrong
    bool unitInterval = false;  // the average unit interval lies outside 3.03-3.7 us

    bool Any() const { return noPreamble || noEop || undecodable || crcMismatch || unitInterval; }
};

// A packet without edges has none; one without a preamble only that one; a reset is checked
// only for its unit interval.
PacketFaults FindPacketFaults(const CCCPacket& packet);

// "" for a packet without faults; otherwise the faults in words, for example "CRC error:
// expected 1A2B3C4Dh, received 1A2B3C4Ch" or "Invalid packet: no EOP; unit interval 3.900 us
// out of range".
std::string PacketFaultText(const CCCPacket& packet);
