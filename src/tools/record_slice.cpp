#include "tools/record_slice.h"

#include <algorithm>

#include "capture/document_snapshot.h"
#include "capture/record_file_io.h"
#include "capture/stored_sample.h"
#include "tools/chunk_copier.h"

RecordSlice FindRecordSlice(const DocumentSnapshot& capture, int64_t rangeStart, int64_t rangeEnd) {
    const std::optional<size_t> ps = capture.FindPacket(rangeStart);
    const std::optional<size_t> pe = capture.FindPacket(rangeEnd);
    const std::optional<size_t> e = capture.FindSample(rangeEnd);
    if (!e && !pe) {
        return {};  // no block lies at or before the end of the range
    }
    auto sampleOffset = [&capture](size_t i) {
        return static_cast<int64_t>(UnpackSample(capture.samples.At(i)).blockOffset);
    };
    // The earliest packet of the range needs a sample at or before it for its time base.
    int64_t earliest = rangeStart;
    if (ps) {
        earliest = std::min(earliest, capture.packets[*ps]->relTime - capture.timeOrigin);
    }
    const std::optional<size_t> s = capture.FindSample(earliest);
    RecordSlice slice;
    slice.first = s ? sampleOffset(*s) : 0;
    slice.last = e ? sampleOffset(*e) + static_cast<int64_t>(kBlockSize) - 1 : 0;
    // Every packet of the range whole: from the start of the run of edge blocks it lies in, where
    // the parser synchronises, to the block that hands it over. The lines interleave in the file,
    // so any packet of the range may lie earliest or latest.
    if (pe) {
        for (size_t i = ps.value_or(0); i <= *pe; ++i) {
            const CCCPacket& packet = *capture.packets[i];
            slice.first = std::min(slice.first, static_cast<int64_t>(packet.runStartOffset));
            slice.last =
                std::max(slice.last, static_cast<int64_t>(packet.handoverOffset + kBlockSize - 1));
        }
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
