// Copies byte ranges of input files into one output file in 1 MiB chunks, keeping the progress
// of the whole job and stopping at an abort request after a chunk.
#pragma once

#include <cstdint>
#include <vector>

#include "capture/record_file_io.h"
#include "tools/output_file.h"
#include "tools/tool_job.h"

inline constexpr size_t kCopyChunkSize = 1048576;

class ChunkCopier {
  public:
    // total: the bytes the whole job copies, the base of the progress percentage.
    ChunkCopier(OutputFile& output, int64_t total, JobControl& control);

    // Allocates the chunk buffer; kOutOfMemory when that fails.
    ToolResult Prepare();
    // Copies count bytes of input from offset on. Fails with kCannotRead when the input ends
    // early, with the output's error when a write fails, and with kAborted when an abort was
    // requested and bytes of the job are still left.
    ToolResult Copy(ReadOnlyFile& input, int64_t offset, int64_t count);
    int64_t Copied() const { return copied_; }

  private:
    OutputFile& output_;
    int64_t total_;
    JobControl& control_;
    int64_t copied_ = 0;
    std::vector<uint8_t> buffer_;
};
