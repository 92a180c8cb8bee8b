// Where an export starts and ends, and the rules that make a range valid.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "tools/export_markers.h"

class CKVDoc;

// Radio values of the From and To groups.
enum class RangeKind : int {
    kCaptureEdge = 0,  // "Capture Top" / "Capture End"
    kPacketNumber = 1,
    kMarker = 2,
};

struct ExportRangeChoice {
    RangeKind fromKind = RangeKind::kCaptureEdge;
    RangeKind toKind = RangeKind::kCaptureEdge;
    uint32_t fromNumber = 0;
    uint32_t toNumber = 0;
    int fromMarker = 0;  // index into the marker list, -1 when none is selected
    int toMarker = 0;
};

// What the range rules read of a capture; times relative to the origin.
struct CaptureExtent {
    size_t packetCount = 0;
    size_t sampleCount = 0;
    int64_t firstSampleTime = 0;
    int64_t lastSampleTime = 0;
    int64_t firstPacketTime = 0;
    int64_t lastPacketTime = 0;
    uint32_t firstPacketNumber = 0;
    uint32_t lastPacketNumber = 0;
    std::function<int64_t(size_t index)> packetTime;

    // The earlier / later of the first / last sample's and packet's times.
    int64_t DataStart() const;
    int64_t DataEnd() const;
};

// The document's extent as it is now. Reads the document directly: for the thread that writes it
// (the window's, or a command-line tool's).
CaptureExtent ExtentOf(const CKVDoc& doc);

// Why a range is not valid.
enum class RangeError {
    kNone,
    kTopWithoutSamples,       // From "Capture Top" on a capture without samples
    kFromPacketMissing,       // From "Packet Number": no packets, or the number >= the count
    kFromMarkerMissing,       // From "Marker" without a selected marker
    kEndWithoutSamples,       // To "Capture End" on a capture without samples
    kToPacketWithoutPackets,  // To "Packet Number" on a capture without packets
    kToMarkerMissing,         // To "Marker" without a selected marker
    kEndBeforeStart,
};

struct ExportRange {
    RangeError error = RangeError::kNone;
    int64_t start = 0;
    int64_t end = 0;

    bool Valid() const { return error == RangeError::kNone; }
};

// Validates the choice; a To packet number past the last packet is corrected to it (written
// back into choice).
ExportRange ValidateExportRange(const CaptureExtent& extent,
                                const std::vector<ExportMarker>& markers,
                                ExportRangeChoice& choice);
