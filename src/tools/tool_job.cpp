#include "tools/tool_job.h"

#include <new>
#include <stdexcept>
#include <system_error>
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

ToolJob::ToolJob(Work work) {
    auto run = [this](const Work& writer) {
        // A writer that runs out of memory anywhere (a row's text, a buffer) stops with its
        // output removed, like one that fails to write.
        try {
            result_ = writer(control_);
        } catch (const std::bad_alloc&) {
            result_ = ToolResult::kOutOfMemory;
        }
        finished_.store(true, std::memory_order_release);
    };
    try {
        thread_ = std::thread(run, std::move(work));
    } catch (const std::exception&) {
        // No thread (or no memory for one): the job ends before it starts.
        result_ = ToolResult::kOutOfMemory;
        finished_.store(true, std::memory_order_release);
    }
}

ToolJob::~ToolJob() {
    control_.RequestAbort();
    Wait();
}

void ToolJob::Wait() {
    if (thread_.joinable()) {
        thread_.join();
    }
}
