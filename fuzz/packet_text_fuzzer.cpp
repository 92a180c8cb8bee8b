// Arbitrary packets: the input is a sequence of records (ordered set, CRC verdict, byte count,
// message bytes). They run through port attribution and chunk reassembly as in a document, then
// every column text, description, tree node and field table row of each is built.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "columns/idle_time.h"
#include "packet_walk.h"
#include "pd/chunk_assembler.h"
#include "pd/port_state.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    PdPortState ports;
    ChunkAssembler chunks;
    std::vector<PacketPtr> packets;
    size_t pos = 0;
    while (pos + 3 <= size && packets.size() < 64) {
        auto packet = std::make_shared<CCCPacket>();
        packet->orderedSetKind = data[pos] % 9 + 1;  // 1-7, 8 and 9 stand for not decoded
        if (packet->orderedSetKind > 7) {
            packet->orderedSetKind = packet->orderedSetKind == 8 ? kOsNotDecoded : kOsUnrecognised;
        }
        packet->crcOk = (data[pos + 1] & 1) != 0;
        packet->bytesAssembled = (data[pos + 1] & 2) != 0;
        packet->preambleFound = (data[pos + 1] & 4) != 0;
        packet->ccLine = (data[pos + 1] >> 3) & 1;
        const size_t count =
            std::min<size_t>(data[pos + 2] % (kMaxMessageBytes + 1), size - pos - 3);
        packet->messageByteCount = static_cast<int32_t>(count);
        packet->messageBytes.Assign(data + pos + 3, count);
        packet->relTime = static_cast<int64_t>(packets.size()) * 1000;
        pos += 3 + count;

        AttributePort(ports, packet);
        AssembleChunks(chunks, *packet);
        packets.push_back(std::move(packet));
    }
    const std::vector<int64_t> idleTimes = IdleTimes(packets, 0);
    for (size_t i = 0; i < packets.size(); ++i) {
        WalkPacketTexts({packets[i].get(), static_cast<int32_t>(i), idleTimes[i]}, {});
    }
    return 0;
}
