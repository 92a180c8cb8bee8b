#include "tools/chunk_copier.h"

#include <algorithm>
#include <new>

ChunkCopier::ChunkCopier(OutputFile& output, int64_t total, JobControl& control)
    : output_(output), total_(total), control_(control) {}

ToolResult ChunkCopier::Prepare() {
    try {
        buffer_.resize(kCopyChunkSize);
    } catch (const std::bad_alloc&) {
        return ToolResult::kOutOfMemory;
    }
    return ToolResult::kSucceeded;
}

ToolResult ChunkCopier::Copy(ReadOnlyFile& input, int64_t offset, int64_t count) {
    while (count > 0) {
        const auto want = static_cast<size_t>(std::min<int64_t>(count, kCopyChunkSize));
        if (input.ReadAt(offset, buffer_.data(), want) != want) {
            return ToolResult::kCannotRead;
        }
        if (!output_.Write(buffer_.data(), want)) {
            return output_.Error();
        }
        offset += static_cast<int64_t>(want);
        count -= static_cast<int64_t>(want);
        copied_ += static_cast<int64_t>(want);
        control_.SetProgress(total_ > 0 ? static_cast<int>(copied_ * 100 / total_) : 100);
        if (copied_ < total_ && control_.AbortRequested()) {
            return ToolResult::kAborted;
        }
    }
    return ToolResult::kSucceeded;
}
