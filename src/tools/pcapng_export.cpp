#include "tools/pcapng_export.h"

#include <algorithm>
#include <filesystem>
#include <new>
#include <system_error>

#include "capture/document.h"
#include "capture/document_snapshot.h"
#include "capture/staged_file.h"
#include "columns/document_context.h"
#include "tools/output_file.h"
#include "tools/pcapng_blocks.h"
#include "tools/pd_pcapng_record.h"

namespace {

std::string SectionHeader() {
    return PcapngSectionHeader({
        {kPcapngShbUserApplication, "Zoduz"},
        {kPcapngShbHardware, "Zoduz USB Type-C power analyzer"},
        {kPcapngOptComment,
         "USB Power Delivery messages decoded by Zoduz, one packet each (dissector zoduz_pd). "
         "Timestamps count from the capture start."},
    });
}

std::string Interface(const char* name, const char* description) {
    return PcapngInterfaceDescription(
        kLinkTypeWiresharkUpperPdu, 0,
        {{kPcapngIfName, name},
         {kPcapngIfDescription, description},
         {kPcapngIfTimestampResolution, std::string(1, static_cast<char>(kPcapngMicroseconds))}});
}

// The output may be created or replaced only when it is missing or a regular file (also behind
// a symbolic link): writing over a device, a FIFO or a folder would destroy it.
bool ReplaceableOutput(const std::string& path) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::not_found) {
        return true;
    }
    return !error && status.type() == std::filesystem::file_type::regular;
}

ToolResult WritePackets(const DocumentSnapshot& capture, const PcapngExportOptions& options,
                        OutputFile& out, JobControl& control) {
    if (!out.Write(SectionHeader()) || !out.Write(Interface("CC1", "Zoduz CC1 line (USB PD)")) ||
        !out.Write(Interface("CC2", "Zoduz CC2 line (USB PD)"))) {
        return out.Error();
    }
    const ColumnContext context = SnapshotColumnContext(capture, false);
    // Timestamps are unsigned: a capture whose first packet lies before the capture start (a
    // crafted file) is moved up as a whole.
    const int64_t base =
        capture.packets.empty() ? 0 : std::min<int64_t>(0, capture.packets.front()->relTime);
    const size_t count = capture.packets.size();
    for (size_t i = 0; i < count; ++i) {
        if (control.AbortRequested()) {
            return ToolResult::kAborted;
        }
        control.SetProgress(static_cast<int>(static_cast<uint64_t>(i) * 100 / count));
        const CCCPacket& packet = *capture.packets[i];
        if (!PcapngSelects(packet, capture.timeOrigin, options)) {
            continue;
        }
        PdRecordExtras extras = PacketRecordExtras({&packet, static_cast<int32_t>(i), 0}, context);
        extras.marked = capture.marks.Contains(packet);
        const std::string record = BuildPdRecord(packet, extras);
        const auto timestamp = static_cast<uint64_t>(packet.relTime - base);
        if (!out.Write(PcapngEnhancedPacket(packet.ccLine == 0 ? 0 : 1, timestamp, record))) {
            return out.Error();
        }
    }
    control.SetProgress(100);
    return ToolResult::kSucceeded;
}

}  // namespace

bool PcapngSelects(const CCCPacket& packet, int64_t timeOrigin,
                   const PcapngExportOptions& options) {
    const int64_t time = packet.relTime - timeOrigin;
    return time >= options.rangeStart && time <= options.rangeEnd &&
           (options.allPackets || PacketReason(packet) == PdRecordReason::kMessage);
}

ToolResult WritePcapngExport(const DocumentSnapshot& capture, const PcapngExportOptions& options,
                             const std::string& path, JobControl& control) {
    if (!ReplaceableOutput(path)) {
        return ToolResult::kCannotCreate;
    }
    OutputFile out(path);
    if (!out.IsOpen()) {
        return ToolResult::kCannotCreate;
    }
    ToolResult result = ToolResult::kSucceeded;
    try {
        result = WritePackets(capture, options, out, control);
    } catch (const std::bad_alloc&) {
        result = ToolResult::kOutOfMemory;
    }
    if (result == ToolResult::kSucceeded && !out.Finish()) {
        result = out.Error();
    }
    return result;
}

std::unique_ptr<ToolJob> StartPcapngExport(const CKVDoc& doc, const PcapngExportOptions& options,
                                           const std::string& path, const std::string& inputPath) {
    if (SameFile(path, doc.RecordFilePath()) || (!inputPath.empty() && SameFile(path, inputPath))) {
        return std::make_unique<ToolJob>([](JobControl&) { return ToolResult::kCannotCreate; });
    }
    return std::make_unique<ToolJob>(
        [snapshot = doc.Snapshot(), options, path](JobControl& control) {
            return WritePcapngExport(snapshot, options, path, control);
        });
}
