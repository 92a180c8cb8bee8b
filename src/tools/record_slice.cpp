#include "tools/record_slice.h"

#include <algorithm>

#include "capture/document_snapshot.h"
#include "capture/record_file_io.h"
#include "capture/stored_sample.h"
#include "tools/chunk_copier.h"

RecordSlice FindRecordSlice(const DocumentSnapshot& capture, int64_t rangeStart, int64_t rangeEnd) {
    const std::optional<size_t> s = capture.FindSample(rangeStart);
    const std::optional<size_t> e = capture.FindSample(rangeEnd);
    const std::optional<size_t> ps = capture.FindPacket(rangeStart);
    const std::optional<size_t> pe = capture.FindPacket(rangeEnd);
    if (!e && !pe) {
        return {};  // no block lies at or before the end of the range
    }
    auto sampleOffset = [&capture](size_t i) {
        return static_cast<int64_t>(UnpackSample(capture.samples.At(i), nullptr).blockOffset);
    };
    RecordSlice slice;
    slice.first = s ? sampleOffset(*s) : 0;
    if (ps) {
        slice.first =
            std::min(slice.first, static_cast<int64_t>(capture.packets[*ps]->firstBlockOffset));
    }
    slice.last = e ? sampleOffset(*e) + static_cast<int64_t>(kBlockSize) - 1 : 0;
    if (pe) {
        slice.last =
            std::max(slice.last, static_cast<int64_t>(capture.packets[*pe]->lastBlockOffset));
    }
    return slice;
}

ToolResult WriteRecordSlice(const std::string& recordPath, const RecordSlice& slice,
                            const std::string& outputPath, JobControl& control) {
    ReadOnlyFile input(recordPath);
    if (!input.IsOpen()) {
        return ToolResult::kCannotRead;
    }
    OutputFile output(outputPath);
    if (!output.IsOpen()) {
        return ToolResult::kCannotCreate;
    }
    ChunkCopier copier(output, slice.Size(), control);
    ToolResult result = copier.Prepare();
    if (result == ToolResult::kSucceeded) {
        result = copier.Copy(input, slice.first, slice.Size());
    }
    // A failed copy leaves nothing; an aborted one keeps what was copied, as the dialog promises.
    if (result == ToolResult::kAborted) {
        output.Finish();
    } else if (result == ToolResult::kSucceeded && !output.Finish()) {
        result = output.Error();
    }
    if (result == ToolResult::kSucceeded) {
        control.SetProgress(100);
    }
    return result;
}
