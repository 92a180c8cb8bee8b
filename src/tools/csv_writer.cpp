#include "tools/csv_writer.h"

#include "capture/stored_sample.h"
#include "columns/document_context.h"
#include "columns/idle_time.h"
#include "tools/csv_format.h"
#include "tools/output_file.h"

ToolResult WriteCsvExport(const DocumentSnapshot& capture, const CsvExportOptions& options,
                          const std::string& path, JobControl& control) {
    OutputFile out(path);
    if (!out.IsOpen()) {
        return ToolResult::kCannotCreate;
    }
    if (!out.Write(CsvHeaderLine(options))) {
        return out.Error();
    }
    const size_t sampleCount = IncludesSamples(options.items) ? capture.samples.Size() : 0;
    const size_t packetCount = IncludesPackets(options.items) ? capture.packets.size() : 0;
    const int64_t origin = capture.timeOrigin;
    const ColumnContext context = SnapshotColumnContext(capture, options.reverseCurrent);
    IdleTimeTracker idleTimes(origin);
    size_t nextSample = 0;
    size_t nextPacket = 0;
    std::string line;
    while (nextSample < sampleCount || nextPacket < packetCount) {
        if (control.AbortRequested()) {
            out.Finish();  // an abort keeps what was written, as the dialog promises
            return ToolResult::kAborted;
        }
        control.SetProgress(sampleCount == 0 ? 0
                                             : static_cast<int>(static_cast<uint64_t>(nextSample) *
                                                                100 / sampleCount));
        line.clear();
        const CCCPacket* packet =
            nextPacket < packetCount ? capture.packets[nextPacket].get() : nullptr;
        // On equal times the packet goes first.
        if (nextSample < sampleCount &&
            (packet == nullptr || capture.samples.Time(nextSample) < packet->relTime)) {
            const CVbusInfo sample = UnpackSample(capture.samples.At(nextSample++));
            const int64_t time = sample.time - origin;
            if (time >= options.rangeStart && time <= options.rangeEnd) {
                AppendSampleRow(line, sample, time, options);
            }
        } else {
            const PacketRow row{packet, static_cast<int32_t>(nextPacket++),
                                idleTimes.Next(*packet)};
            const int64_t time = packet->relTime - origin;
            if (time >= options.rangeStart && time <= options.rangeEnd) {
                AppendPacketRow(line, row, time, options, context);
            }
        }
        if (!line.empty() && !out.Write(line)) {
            return out.Error();
        }
    }
    control.SetProgress(100);
    return out.Finish() ? ToolResult::kSucceeded : out.Error();
}
