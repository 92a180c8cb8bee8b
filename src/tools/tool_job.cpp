#include "tools/tool_job.h"

#include <utility>

const char* ToolResultText(ToolResult result) {
    switch (result) {
        case ToolResult::kSucceeded:
            return "completed";
        case ToolResult::kCannotCreate:
            return "cannot create the output file";
        case ToolResult::kCannotRead:
            return "cannot read an input file";
        case ToolResult::kAborted:
            return "aborted";
        case ToolResult::kDiskFull:
            return "the disk is full";
        case ToolResult::kWriteFailed:
            return "cannot write the output file";
        case ToolResult::kOutOfMemory:
            return "out of memory";
    }
    return "failed";
}

ToolJob::ToolJob(Work work)
    : thread_([this, work = std::move(work)] {
          result_ = work(control_);
          finished_.store(true, std::memory_order_release);
      }) {}

ToolJob::~ToolJob() {
    control_.RequestAbort();
    Wait();
}

void ToolJob::Wait() {
    if (thread_.joinable()) {
        thread_.join();
    }
}
