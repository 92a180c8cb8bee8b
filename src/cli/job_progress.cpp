#include "cli/job_progress.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <thread>

namespace {

std::atomic<bool> interrupted{false};

extern "C" void OnInterrupt(int /*signal*/) {
    interrupted.store(true);
}

}  // namespace

ToolResult WaitForJob(ToolJob& job, const char* verb) {
    using Clock = std::chrono::steady_clock;
    // The writer stops and removes its output itself; the handlers before come back after.
    void (*previousInt)(int) = std::signal(SIGINT, OnInterrupt);
    void (*previousTerm)(int) = std::signal(SIGTERM, OnInterrupt);
    Clock::time_point nextReport = Clock::now() + std::chrono::seconds(1);
    while (!job.Finished()) {
        if (interrupted.load()) {
            job.RequestAbort();
        }
        if (Clock::now() >= nextReport) {
            std::fprintf(stderr, "%s... %d%%\n", verb, job.Progress());
            nextReport += std::chrono::seconds(1);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    job.Wait();
    std::signal(SIGINT, previousInt);
    std::signal(SIGTERM, previousTerm);
    return job.Result();
}
