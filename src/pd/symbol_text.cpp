// Texts of the symbols, the CRC and the ordered set of a packet.
#include <algorithm>
#include <cstdio>

#include "pd/symbols.h"

std::string SymbolCodeText(uint8_t code) {
    if (code <= 0xF) {
        char digit[2];
        std::snprintf(digit, sizeof digit, "%X", code);
        return digit;
    }
    switch (code) {
        case kSymSync1:
            return "[SYNC-1]";
        case kSymSync2:
            return "[SYNC-2]";
        case kSymSync3:
            return "[SYNC-3]";
        case kSymRst1:
            return "[RST-1]";
        case kSymRst2:
            return "[RST-2]";
        case kSymEop:
            return "[EOP]";
        default:
            return {};
    }
}

std::string SymbolText(const CCCPacket& packet) {
    std::string text;
    const int32_t count = std::max<int32_t>(packet.symbolCount, 0);
    text.reserve(static_cast<size_t>(count) * 2);
    for (int32_t i = 0; i < count; ++i) {
        text += SymbolCodeText(SymbolAt(packet, i));
    }
    return text;
}

std::string CrcText(const CCCPacket& packet) {
    if (!IsSopKind(packet.orderedSetKind)) {
        return "-";
    }
    char text[16];
    std::snprintf(text, sizeof text, "%08Xh", static_cast<unsigned>(packet.receivedCrc));
    std::string result = text;
    if (!packet.crcOk) {
        result += "(Bad)";
    }
    return result;
}

std::string OrderedSetName(const CCCPacket& packet) {
    switch (packet.orderedSetKind) {
        case kOsSop:
            return "SOP";
        case kOsSopPrime:
            return "SOP'";
        case kOsSopDoublePrime:
            return "SOP''";
        case kOsHardReset:
            return "Hard Reset";
        case kOsCableReset:
            return "Cable Reset";
        default:
            return "Invalid";
    }
}
