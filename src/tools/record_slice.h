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

// The slice of the range [rangeStart, rangeEnd] (times relative to the origin): it starts at
// the block of the last sample at or before rangeStart, or at the first block of the last
// packet at or before it when that is earlier (offset 0 when there is no such sample), and
// ends with the block of the last sample or packet at or before rangeEnd, whichever ends
// later. With neither at or before rangeEnd the slice is empty.
RecordSlice FindRecordSlice(const DocumentSnapshot& capture, int64_t rangeStart, int64_t rangeEnd);

// Copies the slice of recordPath to outputPath (created or truncated) in 1 MiB chunks; the
// abort flag is checked after every chunk, and the partial output stays on disk.
ToolResult WriteRecordSlice(const std::string& recordPath, const RecordSlice& slice,
                            const std::string& outputPath, JobControl& control);
