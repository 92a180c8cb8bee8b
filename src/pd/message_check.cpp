// Byte assembly between the ordered set and the EOP, and the CRC verdict.
#include <algorithm>

#include "pd/crc32.h"
#include "pd/symbols.h"

namespace {

constexpr int32_t kFirstPayloadSymbol = 4;  // right after the ordered set
constexpr int32_t kMinSymbols = 11;
constexpr int32_t kCrcBytes = 4;

bool IsNibble(uint8_t code) {
    return code <= 0xF;
}

// Appends bytes from symbol pairs until the first symbol of a pair is an EOP or the symbols run
// out. False on a non-nibble symbol, an EOP in the high-nibble position, a missing high nibble,
// or a message longer than messageBytes can hold.
bool AssembleBytes(CCCPacket& packet) {
    const int32_t symbolCount =
        std::min<int32_t>(packet.symbolCount, static_cast<int32_t>(packet.symbols.size()));
    for (int32_t i = kFirstPayloadSymbol; i < symbolCount; i += 2) {
        const uint8_t low = packet.symbols[i];
        if (low == kSymEop) {
            return true;
        }
        if (i + 1 >= symbolCount || !IsNibble(low) || !IsNibble(packet.symbols[i + 1])) {
            return false;
        }
        if (packet.messageByteCount >= kMaxMessageBytes) {
            return false;
        }
        packet.messageBytes[packet.messageByteCount++] =
            static_cast<uint8_t>(low | packet.symbols[i + 1] << 4);
    }
    return true;
}

}  // namespace

bool CheckMessage(CCCPacket& packet) {
    packet.messageByteCount = 0;
    packet.crcOk = false;
    packet.bytesAssembled = false;
    packet.receivedCrc = 0xFFFFFFFFu;
    if (!packet.eopFound || packet.symbolCount < kMinSymbols) {
        return false;
    }
    if (!AssembleBytes(packet) || packet.messageByteCount < kCrcBytes) {
        return false;
    }
    packet.bytesAssembled = true;
    packet.messageByteCount -= kCrcBytes;
    const uint8_t* crc = packet.messageBytes.data() + packet.messageByteCount;
    packet.receivedCrc = static_cast<uint32_t>(crc[0]) | static_cast<uint32_t>(crc[1]) << 8 |
                         static_cast<uint32_t>(crc[2]) << 16 | static_cast<uint32_t>(crc[3]) << 24;
    packet.crcOk = Crc32(packet.messageBytes.data(),
                         static_cast<size_t>(packet.messageByteCount)) == packet.receivedCrc;
    return packet.crcOk;
}
