// The record-file export: the byte-exact slice of the record file from the first block of the
// range's first sample or packet to the last block of its last one.
#pragma once

#include <cstdint>
#include <string>

#include "tools/tool_job.h"

struct DocumentSnapshot;

// Inclusive byte range of the record file; empty when last < first.
struct RecordSlice {
    int64_t first = 0;
    int64_t last = -1;

    int64_t Size() const { return last < first ? 0 : last - first + 1; }
};

// The slice of the range [rangeStart, rangeEnd] (times relative to the origin), which decodes
// to every packet of the range with the same bytes: the packets from the last one at or before
// rangeStart to the last one at or before rangeEnd, each from the start of the run of edge
// blocks it lies in to the block that hands it over, and the samples from the last one at or
// before the earliest of them (offset 0 when there is none) to the last one at or before
// rangeEnd. Packets before the range may come along. With neither a sample nor a packet at or
// before rangeEnd the slice is empty.
RecordSlice FindRecordSlice(const DocumentSnapshot& capture, int64_t rangeStart, int64_t rangeEnd);

// Copies the slice of recordPath to outputPath (created or truncated) in 1 MiB chunks; the
// abort flag is checked after every chunk, and the partial output stays on disk.
ToolResult WriteRecordSlice(const std::string& recordPath, const RecordSlice& slice,
                            const std::string& outputPath, JobControl& control);
