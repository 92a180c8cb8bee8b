// The reader thread: runs ReaderCore for the whole life of the main window (or of a headless
// capture), steered only through the CaptureFlags.
#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>

#include "live/reader_core.h"

class ReaderThread {
  public:
    ReaderThread(CaptureState& state, StreamSource& source, const CalibrationRatios& ratios,
                 VbusPresenceListener listener = {});
    // Requests the close and waits for the thread (which finishes an active record file).
    ~ReaderThread();
    ReaderThread(const ReaderThread&) = delete;
    ReaderThread& operator=(const ReaderThread&) = delete;

    // threadAlive = true, closeRequest = false, then the thread starts.
    void Start();
    // Sets closeRequest (when the thread runs) and cuts short an idle wait.
    void RequestClose();
    // Waits until the thread has ended.
    void Join();

  private:
    void Run();
    // Not connected: up to a second, until the analyzer connects or a request comes.
    void WaitWhileIdle();

    CaptureState& state_;
    ReaderCore core_;
    std::thread thread_;
    std::mutex wakeMutex_;
    std::condition_variable wake_;
};
