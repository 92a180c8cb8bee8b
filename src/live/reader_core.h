// One pass of the reader thread's loop, separate from the thread so that tests can step it.
// The reader is the only consumer of the analyzer stream: while connected it reads chunks,
// while recording it appends each chunk unchanged to the record file and rolls over when the
// file is full, and for every chunk it updates the live readings.
#pragma once

#include <cstdint>
#include <vector>

#include "live/capture_state.h"
#include "live/live_readings.h"
#include "live/stream_source.h"

inline constexpr size_t kReadChunkBytes = 16384;
// A read waits at most this long, so that a silent analyzer never keeps the thread from
// seeing a close or stop request.
inline constexpr int kReadTimeoutMs = 200;

enum class ReaderStep {
    kRead,  // read (or tried to read) a chunk; go on at once
    kIdle,  // not connected: wait a second before the next pass
    kExit,  // a close request and no capture recording: leave the loop
};

class ReaderCore {
  public:
    ReaderCore(CaptureState& state, StreamSource& source, const CalibrationRatios& ratios,
               VbusPresenceListener listener = {});

    ReaderStep Step();
    // The end of the thread: clears closeRequest and threadAlive, sets stoppedAck.
    void Exit();

  private:
    void FinishStop();
    void Record(const uint8_t* data, size_t size);
    void RollOverIfFull();

    CaptureState& state_;
    StreamSource& source_;
    LiveReadings readings_;
    std::vector<uint8_t> buffer_;
};
