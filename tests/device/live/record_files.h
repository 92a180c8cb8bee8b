// Reading back what a capture recorded.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "capture/byte_order.h"
#include "capture/document.h"
#include "capture/record_block.h"
#include "temp_files.h"

// The stream bytes of a finished record file: everything after its leading InfoBlock.
inline std::vector<uint8_t> StreamOf(const std::vector<uint8_t>& file) {
    return file.size() <= kBlockSize ? std::vector<uint8_t>{}
                                     : std::vector<uint8_t>(file.begin() + kBlockSize, file.end());
}

// InfoByteCount of a finished leading InfoBlock (bytes 26-33), or -1 when the block is not one.
inline int64_t FinishedByteCount(const std::vector<uint8_t>& file) {
    if (file.size() < kBlockSize || file[0] != 0xF0 || file[1] != 0xFF || file[2] != 0x01 ||
        file[24] != 0x04 || file[25] != 0x08 || file[34] != 0xFF) {
        return -1;
    }
    return static_cast<int64_t>(ReadU64(file.data() + 26));
}

// Relative time and bytes of every decoded packet, to compare two decodes.
inline std::vector<std::pair<int64_t, std::vector<uint8_t>>> PacketsOf(const std::string& path) {
    CKVDoc doc;
    doc.OpenRecordFile(path);
    std::vector<std::pair<int64_t, std::vector<uint8_t>>> packets;
    for (const PacketPtr& p : doc.Packets()) {
        packets.emplace_back(p->relTime,
                             std::vector<uint8_t>(p->messageBytes.begin(),
                                                  p->messageBytes.begin() + p->messageByteCount));
    }
    return packets;
}
