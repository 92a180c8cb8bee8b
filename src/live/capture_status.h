// Status bar texts and message box texts of live capture.
#pragma once

#include <cstdint>
#include <string>

inline constexpr const char* kConnectedStatusText =
    "Connected.  (Push \"Run\" button to start capturing.)";
inline constexpr const char* kDisconnectedStatusText =
    "Disconnected.  (Connect Zoduz Device to USB port.)";
inline constexpr const char* kRecordFileCreateErrorText =
    "Creating a record file error. Please check the record file folder is writable and has "
    "enough disk space.";
inline constexpr const char* kVbusCountFullText = "VBUS Sample count full.";
inline constexpr const char* kPacketCountFullText = "PD messege count full.";
// A write to the record file failed (for example the disk is full) and the capture stopped.
inline constexpr const char* kRecordFileWriteErrorText =
    "Writing the record file failed: %s. The capture was stopped; the data recorded so far is "
    "kept.";

// The numbers the capturing status text shows.
struct CaptureProgress {
    int64_t elapsedUs = 0;  // last minus first sample time of the current record file
    uint64_t bytesWritten = 0;
    int64_t maxFileSizeMb = 100;
    int64_t packets = 0;
    int64_t maxPackets = 99999;
    int64_t samples = 0;
    int64_t maxSamples = 9999999;
};

// "Capturing... <time>", then the file size in KB up to 10 000 000 bytes or in MB above, the
// packet count and the sample count, each with its share of its limit in percent (0 for a
// limit that is not positive).
std::string CapturingStatusText(const CaptureProgress& progress);

// The file-size part alone, "    [File Size=512KB (0%) ]".
std::string FileSizeStatusText(uint64_t bytesWritten, int64_t maxFileSizeMb);

// kRecordFileWriteErrorText with the system's description of errorNumber.
std::string RecordFileWriteErrorText(int errorNumber);
