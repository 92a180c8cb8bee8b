#include "live/reader_thread.h"

#include <chrono>

namespace {

constexpr auto kIdleWait = std::chrono::milliseconds(1000);
// While idle the flags are looked at this often, so that reading starts as soon as a poll has
// connected the analyzer (the stream would otherwise pile up in the analyzer for a second).
constexpr auto kIdleCheck = std::chrono::milliseconds(20);

}  // namespace

ReaderThread::ReaderThread(CaptureState& state, StreamSource& source,
                           const CalibrationRatios& ratios, VbusPresenceListener listener)
    : state_(state), core_(state, source, ratios, std::move(listener)) {}

ReaderThread::~ReaderThread() {
    RequestClose();
    Join();
}

void ReaderThread::Start() {
    if (thread_.joinable()) {
        return;
    }
    state_.flags.threadAlive.store(true);
    state_.flags.closeRequest.store(false);
    thread_ = std::thread([this] { Run(); });
}

void ReaderThread::RequestClose() {
    if (!state_.flags.threadAlive.load()) {
        return;
    }
    {
        std::lock_guard lock(wakeMutex_);
        state_.flags.closeRequest.store(true);
    }
    wake_.notify_all();
}

void ReaderThread::Join() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

void ReaderThread::WaitWhileIdle() {
    const CaptureFlags& flags = state_.flags;
    auto until = std::chrono::steady_clock::now() + kIdleWait;
    std::unique_lock lock(wakeMutex_);
    while (std::chrono::steady_clock::now() < until) {
        if (wake_.wait_for(lock, kIdleCheck, [&] {
                return flags.closeRequest.load() || flags.phase.StopRequested() ||
                       flags.connected.load();
            })) {
            return;
        }
    }
}

void ReaderThread::Run() {
    for (;;) {
        ReaderStep step = core_.Step();
        if (step == ReaderStep::kExit) {
            break;
        }
        if (step == ReaderStep::kIdle) {
            WaitWhileIdle();
        }
    }
    core_.Exit();
}
