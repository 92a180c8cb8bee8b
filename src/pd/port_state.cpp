#include "pd/port_state.h"

#include "pd/message_header.h"

namespace {

// Fewer than two assembled bytes means the header itself is missing.
bool HasHeader(const CCCPacket& packet) {
    return packet.messageByteCount >= 2;
}

// A PS_RDY after an accepted swap: the sender has changed sides, and the swap ends once both
// ports have reported ready.
void SwapSides(PdPortState& state, CCCPacket& packet) {
    if (PortPowerRoleIsSource(packet)) {
        state.sourcePort = OtherPort(state.sourcePort);
        packet.port = state.sourcePort;
    } else {
        state.sinkPort = OtherPort(state.sinkPort);
        packet.port = state.sinkPort;
    }
    if (packet.port == state.prSwapInitiator) {
        state.initiatorReady = true;
        if (state.partnerReady) {
            state.prSwapActive = false;
        }
    } else {
        state.partnerReady = true;
        if (state.initiatorReady) {
            state.prSwapActive = false;
        }
    }
}

void FollowSwap(PdPortState& state, CCCPacket& packet) {
    switch (MessageType(packet)) {
        case kCtrlAccept:
            state.prSwapAccepted = true;
            break;
        case kCtrlReject:
        case kCtrlWait:
            state.prSwapActive = false;
            break;
        case kCtrlPsRdy:
            if (state.prSwapAccepted) {
                SwapSides(state, packet);
            }
            break;
        default:
            break;
    }
}

void AttributeSop(PdPortState& state, const PacketPtr& packetPtr) {
    CCCPacket& packet = *packetPtr;
    if (state.prSwapActive && state.ufpPort != 0) {
        // During a swap the power roles are in flux; the data roles still tell the ports apart.
        packet.port = PortDataRoleIsDfp(packet) ? state.dfpPort : state.ufpPort;
    } else {
        packet.port = PortPowerRoleIsSource(packet) ? state.sourcePort : state.sinkPort;
    }
    if (state.ufpPort == 0) {
        if (PortDataRoleIsDfp(packet)) {
            state.dfpPort = packet.port;
            state.ufpPort = OtherPort(packet.port);
        } else {
            state.ufpPort = packet.port;
            state.dfpPort = OtherPort(packet.port);
        }
    }
    if (IsControl(packet)) {
        if (MessageType(packet) == kCtrlPrSwap) {
            state.prSwapActive = true;
            state.prSwapInitiator = packet.port;
            state.prSwapAccepted = false;
            state.initiatorReady = false;
            state.partnerReady = false;
        }
        if (state.prSwapActive) {
            FollowSwap(state, packet);
        }
    } else if (IsData(packet)) {
        const int type = MessageType(packet);
        if (type == kDataSourceCapabilities && packet.port == state.sourcePort) {
            state.lastSourceCaps = packetPtr;
        } else if (type == kDataRequest && packet.port == state.sinkPort) {
            packet.sourceCapsRef = state.lastSourceCaps;
        }
    }
}

void AttributeCable(const PdPortState& state, CCCPacket& packet) {
    if (CablePlugBit(packet)) {
        packet.port = kPortCablePlug;
    } else if (state.dfpPort == 0 || state.dfpPort == state.sourcePort) {
        packet.port = state.sourcePort;
    }
}

}  // namespace

int32_t OtherPort(int32_t port) {
    return port == 1 ? 2 : 1;
}

void AttributePort(PdPortState& state, const PacketPtr& packet) {
    if (!packet) {
        return;
    }
    packet->port = kPortUnknown;
    packet->sourceCapsRef.reset();
    if (!HasHeader(*packet)) {
        return;
    }
    if (packet->orderedSetKind == kOsSop) {
        AttributeSop(state, packet);
    } else if (IsCableKind(packet->orderedSetKind)) {
        AttributeCable(state, *packet);
    }
}
