// What zoduz-cli info reports of a capture: the record stream block by block (block kinds,
// samples, raw packets, InfoBlock entries) and the decoded document (counts, extremes, packet
// statistics, markers).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "capture/document.h"

struct InfoEntryLine {
    uint64_t offset = 0;  // of the entry in the file
    std::string type;     // InfoTypeName
    std::string value;    // InfoValueText
};

struct StreamInfo {
    int64_t size = 0;
    uint64_t sampleBlocks = 0;
    uint64_t ccEdgeBlocks = 0;
    uint64_t infoBlocks = 0;
    uint64_t trailingBytes = 0;  // of a partial block at the end
    uint64_t samples = 0;
    uint64_t rawPackets = 0;
    std::vector<InfoEntryLine> entries;  // zero padding of InfoBlocks left out
};

// Reads the record stream of path. A sigrok session (".sr") is imported into a temporary record
// file first, whose stream is read; none with error set (the importer's reason, or "cannot
// read 'PATH'") when that or reading fails.
std::optional<StreamInfo> ReadCaptureStream(const std::string& path, std::string& error);

struct InfoValue {
    std::string name;
    int64_t value = 0;
};

struct InfoPacketMark {
    int32_t number = 0;
    int64_t relTime = 0;
};

struct DocumentInfo {
    // packets, samples, times, sample extremes, then the packet statistics counters that are
    // not zero, by the names zoduz-cli info prints.
    std::vector<InfoValue> values;
    std::optional<InfoPacketMark> markerA;
    std::optional<InfoPacketMark> markerB;
    std::vector<InfoPacketMark> marked;
    int64_t graphMarkerOTime = -1;
    int64_t graphMarkerXTime = -1;
};

DocumentInfo ReadDocumentInfo(const CKVDoc& doc);
