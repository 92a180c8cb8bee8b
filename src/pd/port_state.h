// Attribution of packets to the two ports of the connection and to the cable plug, following
// power role swaps, and linking each Request to the Source_Capabilities it answers.
#pragma once

#include <cstdint>
#include <memory>

#include "pd/cc_packet.h"

// Port numbers written to CCCPacket::port.
inline constexpr int32_t kPortUnknown = 0;
inline constexpr int32_t kPortCablePlug = 3;

// Per-document attribution state; a value-initialised state is the state after a reset.
struct PdPortState {
    int32_t sourcePort = 1;  // port currently in the power role Source
    int32_t sinkPort = 2;    // port currently in the power role Sink
    int32_t ufpPort = 0;     // port in the data role UFP, 0 until the first SOP packet
    int32_t dfpPort = 0;     // port in the data role DFP, 0 until the first SOP packet
    bool prSwapActive = false;
    bool prSwapAccepted = false;
    int32_t prSwapInitiator = 0;
    bool initiatorReady = false;  // the initiator sent PS_RDY during the swap
    bool partnerReady = false;    // the other port sent PS_RDY during the swap
    // Latest Source_Capabilities from sourcePort. Held weakly so that a packet removed from the
    // document reads as "no reference" instead of dangling.
    std::weak_ptr<CCCPacket> lastSourceCaps;
};

// The other port of a port number: 2 for 1, 1 for anything else.
int32_t OtherPort(int32_t port);

// Sets the packet's `port` and `sourceCapsRef` and advances the state. Runs on the header bits
// whatever the CRC verdict; a packet whose header was never assembled is left unattributed.
void AttributePort(PdPortState& state, const PacketPtr& packet);
