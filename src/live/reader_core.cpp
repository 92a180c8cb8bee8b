#include "live/reader_core.h"

#include "capture/record_naming.h"

ReaderCore::ReaderCore(CaptureState& state, StreamSource& source, const CalibrationRatios& ratios,
                       VbusPresenceListener listener)
    : state_(state),
      source_(source),
      readings_(state.live, ratios, std::move(listener)),
      buffer_(kReadChunkBytes, 0) {}

ReaderStep ReaderCore::Step() {
    CaptureFlags& flags = state_.flags;
    if (flags.closeRequest.load()) {
        if (!flags.phase.Recording()) {
            return ReaderStep::kExit;
        }
        flags.phase.RequestStop();
    }
    if (flags.phase.StopRequested()) {
        FinishStop();
    }
    if (!flags.connected.load()) {
        return ReaderStep::kIdle;
    }
    long n = source_.ReadStream(buffer_.data(), buffer_.size(), kReadTimeoutMs);
    if (n <= 0) {
        return ReaderStep::kRead;
    }
    size_t size = static_cast<size_t>(n);
    if (flags.phase.Recording()) {
        Record(buffer_.data(), size);
    }
    if (state_.liveTimingReset.exchange(false)) {
        readings_.RestartTiming();
    }
    readings_.Extract(buffer_.data(), size);
    return ReaderStep::kRead;
}

// Recording ends last: until then the user-interface thread cannot start the next capture, so
// it never touches the file while it is being finished.
void ReaderCore::FinishStop() {
    CaptureFlags& flags = state_.flags;
    if (state_.file.IsOpen()) {
        FinishRecordFile(state_);
    }
    if (state_.bytesWritten.load() != 0 && flags.phase.Recording()) {
        flags.hasUndecodedData.store(true);
    }
    flags.phase.Stopped();
    flags.stoppedAck.store(true);
}

void ReaderCore::Record(const uint8_t* data, size_t size) {
    if (!state_.file.IsOpen()) {
        return;
    }
    size_t written = state_.file.Write(data, size);
    state_.bytesWritten.fetch_add(written);
    if (written < size) {
        // A full disk or a file size limit: keep what reached the file, stop the capture.
        state_.writeError.store(state_.file.ErrorNumber() != 0 ? state_.file.ErrorNumber() : -1);
        state_.flags.phase.RequestStop();
        return;
    }
    RollOverIfFull();
}

void ReaderCore::RollOverIfFull() {
    int64_t size = state_.file.Size();
    RolloverInput input;
    // A size the file system cannot report leaves only the new-file request.
    input.fileSize = size < 0 ? 0 : static_cast<uint64_t>(size);
    input.maxFileSizeMb = state_.plan.maxFileSizeMb;
    input.newFileRequested = state_.newFileRequest.load();
    input.multiFile = state_.plan.multiFile;
    input.index = state_.fileIndex.load();
    switch (DecideRollover(input)) {
        case RolloverAction::kContinue:
            return;
        case RolloverAction::kNextFile:
            if (!OpenRecordFile(state_, input.index + 1)) {
                state_.flags.phase.RequestStop();
            }
            return;
        case RolloverAction::kStop:
            state_.flags.phase.RequestStop();
            return;
    }
}

void ReaderCore::Exit() {
    state_.flags.closeRequest.store(false);
    state_.flags.threadAlive.store(false);
    state_.flags.stoppedAck.store(true);
}
