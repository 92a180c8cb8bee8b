// State shared by the reader thread and the user-interface thread during live capture: the
// capture flags, the capture counters, the record file being written and the newest readings.
//
// Ownership of the record file: the user-interface thread configures the capture and opens its
// first record file before it sets `recording`; from then on only the reader thread writes,
// rolls over and closes the file, until it clears `recording` after finishing it. The
// user-interface thread asks for a stop only through `phase`. Every flag is an atomic, so
// starting to record publishes the configuration and the open file to the reader thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "capture/record_file_writer.h"

// Whether chunks go to the record file and whether finishing it was asked for, as one atomic
// value: a stop can only be asked for while a capture records, so a request that races with the
// reader thread's own stop is dropped instead of stopping the next capture or touching its file.
class RecordPhase {
  public:
    bool Recording() const { return phase_.load() != kIdle; }
    bool StopRequested() const { return phase_.load() == kStopping; }
    // The first record file is open: chunks go to it from now on.
    void StartRecording() { phase_.store(kRecording); }
    // Asks for the record file to be finished; false when no capture records.
    bool RequestStop() {
        uint8_t expected = kRecording;
        return phase_.compare_exchange_strong(expected, kStopping) || expected == kStopping;
    }
    // The record file was finished (the reader thread): a request made meanwhile is void.
    void Stopped() { phase_.store(kIdle); }

  private:
    static constexpr uint8_t kIdle = 0;
    static constexpr uint8_t kRecording = 1;
    static constexpr uint8_t kStopping = 2;
    std::atomic<uint8_t> phase_{kIdle};
};

struct CaptureFlags {
    std::atomic<bool> connected{false};         // the analyzer may be read
    std::atomic<bool> closeRequest{false};      // end the reader thread
    std::atomic<bool> threadAlive{false};       // the reader thread runs
    RecordPhase phase;                          // recording, and whether to finish the file
    std::atomic<bool> stoppedAck{false};        // a stop or the thread's end happened: refresh
    std::atomic<bool> hasUndecodedData{false};  // a finished file holds bytes to decode
    std::atomic<bool> restartRequest{false};    // start a new capture after the stop
};

// Newest VBUS/CC readings of the stream, written by the reader thread for every sample and read
// by the control view once a second. A reader may see values of two consecutive samples.
struct LiveValues {
    std::atomic<int32_t> vbusVoltageRaw{0};
    std::atomic<int32_t> vbusCurrent{0};  // mA, scaled
    std::atomic<int32_t> cc1VoltageRaw{0};
    std::atomic<int32_t> cc2VoltageRaw{0};
    std::atomic<int32_t> cc1Current{0};
    std::atomic<int32_t> cc2Current{0};
    std::atomic<int32_t> vbusVoltage{0};  // calibrated
    std::atomic<int32_t> cc1Voltage{0};
    std::atomic<int32_t> cc2Voltage{0};
    std::atomic<int32_t> vbusCurrentCal{0};
    std::atomic<int32_t> cc1CurrentCal{0};
    std::atomic<int32_t> cc2CurrentCal{0};
    // Widened timestamps since the record file was opened; first is -1 until a sample came.
    std::atomic<int64_t> firstSampleTime{-1};
    std::atomic<int64_t> lastSampleTime{0};
};

// How the record files of one capture are named and how large they may grow; fixed while the
// capture records.
struct RecordPlan {
    std::string folder;        // external folder, or the record folder setting
    std::string baseName;      // caption plus optional timestamp
    std::string externalName;  // replaces the composed name when not empty
    bool multiFile = false;
    int32_t maxFileSizeMb = 100;  // units of 1 000 000 bytes
    RecorderIdentity identity;    // goes into every finished leading InfoBlock
};

struct CaptureState {
    CaptureFlags flags;
    LiveValues live;

    std::atomic<int> fileIndex{1};               // 1 ... 9999, published once that file is open
    std::atomic<uint64_t> bytesWritten{0};       // stream bytes in the current record file
    std::atomic<bool> newFileRequest{false};     // a count limit asks for the next file
    std::atomic<bool> countRolloverDone{false};  // a file was opened for that request
    // The live sample timing restarts with every record file; the reader thread resets it.
    std::atomic<bool> liveTimingReset{false};
    // A write to the record file failed and stopped the capture; errno of the failure.
    std::atomic<int> writeError{0};

    RecordPlan plan;
    RecordFileWriter file;
};

// Record file name of `index` under the plan (external name, or base + "_%04d" + ".zaz").
std::string PlannedFileName(const RecordPlan& plan, int index);

// Opening the next record file: finishes the open one, resets the byte counter and the live
// timing, creates the file for `index` with its placeholder InfoBlock, and turns a pending
// new-file request into countRolloverDone. Publishes index as fileIndex only once the file is
// open, so the document never moves to a file that does not exist. False when creating failed.
bool OpenRecordFile(CaptureState& state, int index);

// Rewrites the open file's leading InfoBlock with the final byte count and closes it.
bool FinishRecordFile(CaptureState& state);
