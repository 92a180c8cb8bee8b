#include "device/live/reader_thread.h"

#include <chrono>

namespace {

constexpr auto kIdleWait = std::chrono::milliseconds(1000);

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

void ReaderThread::Run() {
    for (;;) {
        ReaderStep step = core_.Step();
        if (step == ReaderStep::kExit) {
            break;
        }
        if (step == ReaderStep::kIdle) {
            std::unique_lock lock(wakeMutex_);
            wake_.wait_for(lock, kIdleWait, [this] {
                return state_.flags.closeRequest.load() || state_.flags.stopRequest.load();
            });
        }
    }
    core_.Exit();
}
