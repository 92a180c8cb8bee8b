// A long file operation (export, stitch) on a worker thread of its own: the caller polls an
// atomic progress, may request an abort, and reads the result once the job has finished.
#pragma once

#include <atomic>
#include <functional>
#include <thread>

// How a writer ended. The causes stay apart so that callers can report them precisely.
enum class ToolResult {
    kSucceeded,
    kCannotCreate,  // the output file could not be created
    kCannotRead,    // an input file could not be opened or read to its end
    kAborted,       // the user asked the job to stop
    kDiskFull,      // the output device ran out of space
    kWriteFailed,   // any other write error
    kOutOfMemory,   // the copy buffer could not be allocated
};

// One line naming the result, for the command line and logs.
const char* ToolResultText(ToolResult result);

// What a writer shares with the thread that watches it.
class JobControl {
  public:
    // Percentage 0-100 of the work done.
    void SetProgress(int percent) { progress_.store(percent, std::memory_order_relaxed); }
    int Progress() const { return progress_.load(std::memory_order_relaxed); }

    void RequestAbort() { abortRequested_.store(true, std::memory_order_relaxed); }
    bool AbortRequested() const { return abortRequested_.load(std::memory_order_relaxed); }

  private:
    std::atomic<int> progress_{0};
    std::atomic<bool> abortRequested_{false};
};

// Runs one writer on its own thread from construction on. Destroying the job requests an
// abort and waits for the thread, so a writer never outlives the data its owner handed it. A
// writer that runs out of memory, or a job whose thread cannot start, ends with kOutOfMemory.
class ToolJob {
  public:
    using Work = std::function<ToolResult(JobControl& control)>;

    explicit ToolJob(Work work);
    ~ToolJob();
    ToolJob(const ToolJob&) = delete;
    ToolJob& operator=(const ToolJob&) = delete;

    int Progress() const { return control_.Progress(); }
    void RequestAbort() { control_.RequestAbort(); }
    // True once the writer has returned; Result() is valid from then on.
    bool Finished() const { return finished_.load(std::memory_order_acquire); }
    ToolResult Result() const { return result_; }
    // Blocks until the writer has returned.
    void Wait();

  private:
    JobControl control_;
    ToolResult result_ = ToolResult::kAborted;
    std::atomic<bool> finished_{false};
    std::thread thread_;
};
