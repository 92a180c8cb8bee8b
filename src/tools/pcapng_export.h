// The pcapng export: every PD message of a capture (or of a time range) as one packet of a
// pcapng file that Wireshark opens with the zoduz_pd dissector, CC1 and CC2 as two interfaces.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>

#include "pd/cc_packet.h"
#include "tools/tool_job.h"

class CKVDoc;
struct DocumentSnapshot;

struct PcapngExportOptions {
    // Also the packets without a message (no preamble, no ordered set, no EOP, bad symbols).
    bool allPackets = false;
    // Inclusive, microseconds relative to the document's time origin.
    int64_t rangeStart = std::numeric_limits<int64_t>::min();
    int64_t rangeEnd = std::numeric_limits<int64_t>::max();
};

// Whether the export writes the packet (timeOrigin: the document's time origin).
bool PcapngSelects(const CCCPacket& packet, int64_t timeOrigin, const PcapngExportOptions& options);

// Writes the file. The packets go to a private folder beside `path` (beside its target when
// `path` is a symbolic link), and the file replaces `path` only once it is complete: an abort, a
// failure or a signal leaves an existing `path` untouched and removes what was written. Fails
// with kCannotCreate when `path` exists and is not a regular file. Timestamps are microseconds on
// the packets' relTime scale (the capture start is the epoch), moved up so that none is negative.
ToolResult WritePcapngExport(const DocumentSnapshot& capture, const PcapngExportOptions& options,
                             const std::string& path, JobControl& control);

// Starts the export of a snapshot of the document on a worker thread. An output that is the
// document's record file (or `inputPath`, the file the document came from, when given) fails at
// once with kCannotCreate.
std::unique_ptr<ToolJob> StartPcapngExport(const CKVDoc& doc, const PcapngExportOptions& options,
                                           const std::string& path,
                                           const std::string& inputPath = {});
