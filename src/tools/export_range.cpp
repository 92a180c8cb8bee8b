#include "tools/export_range.h"

#include <algorithm>

#include "capture/document.h"

int64_t CaptureExtent::DataStart() const {
    if (sampleCount != 0 && packetCount != 0) {
        return std::min(firstSampleTime, firstPacketTime);
    }
    return sampleCount != 0 ? firstSampleTime : firstPacketTime;
}

int64_t CaptureExtent::DataEnd() const {
    if (sampleCount != 0 && packetCount != 0) {
        return std::max(lastSampleTime, lastPacketTime);
    }
    return sampleCount != 0 ? lastSampleTime : lastPacketTime;
}

CaptureExtent ExtentOf(const CKVDoc& doc) {
    CaptureExtent extent;
    const int64_t origin = doc.TimeOrigin();
    extent.packetCount = doc.PacketCount();
    extent.sampleCount = doc.SampleCount();
    if (extent.sampleCount != 0) {
        extent.firstSampleTime = doc.SampleTime(0) - origin;
        extent.lastSampleTime = doc.SampleTime(extent.sampleCount - 1) - origin;
    }
    if (extent.packetCount != 0) {
        const PacketPtr first = doc.PacketAt(0);
        const PacketPtr last = doc.PacketAt(extent.packetCount - 1);
        extent.firstPacketTime = first->relTime - origin;
        extent.lastPacketTime = last->relTime - origin;
        extent.firstPacketNumber = 0;
        extent.lastPacketNumber = static_cast<uint32_t>(extent.packetCount - 1);
    }
    extent.packetTime = [&doc, origin](size_t index) {
        const PacketPtr packet = doc.PacketAt(index);
        return packet ? packet->relTime - origin : 0;
    };
    return extent;
}

namespace {

std::optional<int64_t> MarkerTime(const std::vector<ExportMarker>& markers, int index) {
    if (index < 0 || static_cast<size_t>(index) >= markers.size()) {
        return std::nullopt;
    }
    return markers[static_cast<size_t>(index)].time;
}

}  // namespace

ExportRange ValidateExportRange(const CaptureExtent& extent,
                                const std::vector<ExportMarker>& markers,
                                ExportRangeChoice& choice) {
    ExportRange range;
    switch (choice.fromKind) {
        case RangeKind::kCaptureEdge:
            if (extent.sampleCount == 0) {
                return {RangeError::kTopWithoutSamples};
            }
            range.start = extent.DataStart();
            break;
        case RangeKind::kPacketNumber:
            if (extent.packetCount == 0 || choice.fromNumber >= extent.packetCount) {
                return {RangeError::kFromPacketMissing};
            }
            range.start = extent.packetTime(choice.fromNumber);
            break;
        case RangeKind::kMarker: {
            const std::optional<int64_t> time = MarkerTime(markers, choice.fromMarker);
            if (!time) {
                return {RangeError::kFromMarkerMissing};
            }
            range.start = *time;
            break;
        }
    }
    switch (choice.toKind) {
        case RangeKind::kCaptureEdge:
            if (extent.sampleCount == 0) {
                return {RangeError::kEndWithoutSamples};
            }
            range.end = extent.DataEnd();
            break;
        case RangeKind::kPacketNumber:
            if (extent.packetCount == 0) {
                return {RangeError::kToPacketWithoutPackets};
            }
            if (choice.toNumber >= extent.packetCount) {
                choice.toNumber = static_cast<uint32_t>(extent.packetCount - 1);
            }
            range.end = extent.packetTime(choice.toNumber);
            break;
        case RangeKind::kMarker: {
            const std::optional<int64_t> time = MarkerTime(markers, choice.toMarker);
            if (!time) {
                return {RangeError::kToMarkerMissing};
            }
            range.end = *time;
            break;
        }
    }
    if (range.end < range.start) {
        return {RangeError::kEndBeforeStart};
    }
    return range;
}
