#include "pd/extended_text.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "pd/chunk_assembler.h"
#include "pd/message_header.h"

namespace {

// The data block a description reads, as far as it is held: only for the packet that holds its
// start, empty for the others.
std::span<const uint8_t> BlockStart(const CCCPacket& packet) {
    return packet.chunkOffset == 0 ? ReassembledBytes(packet) : std::span<const uint8_t>{};
}

std::string PdpText(const char* label, int minimum, int operational, int maximum) {
    char text[96];
    std::snprintf(text, sizeof text, "(%sMin/Ope/Max PDP=%d/%d/%d[W])", label, minimum, operational,
                  maximum);
    return text;
}

std::string RatingText(const char* label, int watts) {
    char text[64];
    std::snprintf(text, sizeof text, "(%s Source Rating=%d[W])", label, watts);
    return text;
}

}  // namespace

std::string SourceCapsExtText(const CCCPacket& packet) {
    const std::span<const uint8_t> block = BlockStart(packet);
    std::string text;
    if (block.size() >= 24) {
        text += RatingText("SPR", block[23] & 0x7F);
    }
    if (block.size() >= 25) {
        text += RatingText("EPR", block[24]);
    }
    return text;
}

std::string SinkCapsExtText(const CCCPacket& packet) {
    const std::span<const uint8_t> b = BlockStart(packet);
    const size_t size = b.size();
    std::string text;
    if (size >= 21) {
        text += PdpText("Sink ", b[18] & 0x7F, b[19] & 0x7F, b[20] & 0x7F);
    }
    if (size >= 24) {
        text += PdpText("EPR Sink ", b[21], b[22], b[23]);
    }
    return text;
}

std::string ExtendedControlText(const CCCPacket& packet) {
    // The type byte must have been received, not just announced by the Data Size.
    if (ExtDataSize(packet) < 2 || packet.messageByteCount < 5) {
        return {};
    }
    switch (packet.messageBytes[4]) {
        case kEprGetSourceCap:
            return "EPR_Get_Source_Cap";
        case kEprGetSinkCap:
            return "EPR_Get_Sink_Cap";
        case kEprKeepAlive:
            return "EPR_KeepAlive";
        case kEprKeepAliveAck:
            return "EPR_KeepAlive_Ack";
        default:
            return "(Invalid Type)";
    }
}
