#include "pd/packet_faults.h"

#include <vector>

#include "pd/bmc_decoder.h"
#include "pd/crc32.h"
#include "pd/symbols.h"
#include "pd/text_format.h"

namespace {

constexpr int32_t kFirstPayloadSymbol = 4;  // right after the ordered set

// The first symbol after the ordered set that is neither data nor the EOP; -1 when none is.
int32_t FirstUndecodableSymbol(const CCCPacket& packet) {
    for (int32_t i = kFirstPayloadSymbol; i < packet.symbolCount; ++i) {
        const uint8_t code = SymbolAt(packet, i);
        if (code == kSymEop) {
            return -1;
        }
        if (code > 0xF) {
            return i;
        }
    }
    return -1;
}

}  // namespace

PacketFaults FindPacketFaults(const CCCPacket& packet) {
    PacketFaults faults;
    if (packet.edgeCount <= 0) {
        return faults;
    }
    if (!packet.preambleFound) {
        faults.noPreamble = true;
        return faults;
    }
    const bool reset =
        packet.orderedSetKind == kOsHardReset || packet.orderedSetKind == kOsCableReset;
    if (!reset) {
        faults.noEop = !packet.eopFound;
        faults.crcMismatch = packet.eopFound && packet.bytesAssembled && !packet.crcOk;
        faults.undecodable = packet.eopFound && !packet.bytesAssembled && !packet.crcOk;
    }
    faults.unitInterval = UnitIntervalOutOfRange(packet);
    return faults;
}

std::string PacketFaultText(const CCCPacket& packet) {
    const PacketFaults faults = FindPacketFaults(packet);
    std::vector<std::string> reasons;
    if (faults.noPreamble) {
        reasons.push_back("no preamble");
    }
    if (faults.noEop) {
        reasons.push_back("no EOP");
    }
    if (faults.undecodable) {
        const int32_t symbol = FirstUndecodableSymbol(packet);
        reasons.push_back(symbol >= 0 ? FormatText("undecodable symbol %d", symbol)
                                      : std::string("too few symbols for a message and its CRC"));
    }
    if (faults.crcMismatch) {
        const uint32_t expected =
            Crc32(packet.messageBytes.data(), static_cast<size_t>(packet.messageByteCount));
        reasons.push_back(
            FormatText("expected %08Xh, received %08Xh", expected, packet.receivedCrc));
    }
    if (faults.unitInterval) {
        reasons.push_back(FormatText("unit interval %.3f us out of range",
                                     static_cast<double>(packet.averageUnitInterval)));
    }
    if (reasons.empty()) {
        return {};
    }
    // A packet whose only fault is its CRC is a CRC error; anything else makes it invalid.
    std::string text =
        faults.crcMismatch && reasons.size() == 1 ? "CRC error: " : "Invalid packet: ";
    for (size_t i = 0; i < reasons.size(); ++i) {
        text += (i == 0 ? "" : "; ") + reasons[i];
    }
    return text;
}
