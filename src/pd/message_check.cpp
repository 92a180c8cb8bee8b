// Byte assembly between the ordered set and the EOP, and the CRC verdict.
#include <array>

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
// or a message longer than the message bytes can hold. `count` tells how many were assembled.
bool AssembleBytes(const CCCPacket& packet, std::array<uint8_t, kMaxMessageBytes>& bytes,
                   int32_t& count) {
    for (int32_t i = kFirstPayloadSymbol; i < packet.symbolCount; i += 2) {
        const uint8_t low = SymbolAt(packet, i);
        if (low == kSymEop) {
            return true;
        }
        if (i + 1 >= packet.symbolCount || !IsNibble(low) || !IsNibble(SymbolAt(packet, i + 1))) {
            return false;
        }
        if (count >= kMaxMessageBytes) {
            return false;
        }
        bytes[static_cast<size_t>(count++)] =
            static_cast<uint8_t>(low | SymbolAt(packet, i + 1) << 4);
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
    std::array<uint8_t, kMaxMessageBytes> bytes;
    int32_t count = 0;
    const bool complete = AssembleBytes(packet, bytes, count);
    // A failed assembly keeps the bytes assembled before the failure.
    packet.messageBytes.Assign(bytes.data(), static_cast<size_t>(count));
    packet.messageByteCount = count;
    if (!complete || count < kCrcBytes) {
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
