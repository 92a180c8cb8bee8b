#include "tools/stitch_writer.h"

#include <memory>

#include "capture/record_file_io.h"
#include "capture/staged_file.h"
#include "tools/chunk_copier.h"

ToolResult WriteStitchedFile(const std::vector<std::string>& parts, const std::string& outputPath,
                             JobControl& control) {
    std::vector<std::unique_ptr<ReadOnlyFile>> inputs;
    std::vector<int64_t> lengths;
    int64_t total = 0;
    for (const std::string& part : parts) {
        if (SameFile(part, outputPath)) {
            return ToolResult::kCannotCreate;
        }
        auto input = std::make_unique<ReadOnlyFile>(part);
        const int64_t length = input->IsOpen() ? input->Length() : -1;
        if (length < 0) {
            return ToolResult::kCannotRead;
        }
        total += length;
        lengths.push_back(length);
        inputs.push_back(std::move(input));
    }
    OutputFile output(outputPath);
    if (!output.IsOpen()) {
        return ToolResult::kCannotCreate;
    }
    ChunkCopier copier(output, total, control);
    ToolResult result = copier.Prepare();
    for (size_t i = 0; i < inputs.size() && result == ToolResult::kSucceeded; ++i) {
        result = copier.Copy(*inputs[i], 0, lengths[i]);
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
