// zoduz-cli info FILE: what a record file holds, block by block and as a decoded document.
#include <cinttypes>
#include <cstdio>
#include <string>

#include "capture/document.h"
#include "cli/commands.h"
#include "cli/open_document.h"
#include "query/capture_info.h"

namespace {

void PrintValue(const char* name, int64_t value) {
    std::printf("%s\t%" PRId64 "\n", name, value);
}

void PrintStream(const StreamInfo& stream) {
    PrintValue("size", stream.size);
    for (const InfoEntryLine& entry : stream.entries) {
        std::printf("info_entry\t%" PRIu64 "\t%s\t%s\n", entry.offset, entry.type.c_str(),
                    entry.value.c_str());
    }
    PrintValue("sample_blocks", static_cast<int64_t>(stream.sampleBlocks));
    PrintValue("cc_edge_blocks", static_cast<int64_t>(stream.ccEdgeBlocks));
    PrintValue("info_blocks", static_cast<int64_t>(stream.infoBlocks));
    PrintValue("trailing_bytes", static_cast<int64_t>(stream.trailingBytes));
    PrintValue("samples", static_cast<int64_t>(stream.samples));
    PrintValue("raw_packets", static_cast<int64_t>(stream.rawPackets));
}

void PrintMarker(const char* name, const std::optional<InfoPacketMark>& mark) {
    if (mark) {
        std::printf("%s\t%d\t%" PRId64 "\n", name, mark->number, mark->relTime);
    } else {
        std::printf("%s\tnone\n", name);
    }
}

void PrintDocument(const DocumentInfo& info) {
    std::printf("document\n");
    for (const InfoValue& value : info.values) {
        PrintValue(value.name.c_str(), value.value);
    }
    PrintMarker("markerA", info.markerA);
    PrintMarker("markerB", info.markerB);
    for (const InfoPacketMark& mark : info.marked) {
        std::printf("marked\t%d\t%" PRId64 "\n", mark.number, mark.relTime);
    }
    PrintValue("graphMarkerOTime", info.graphMarkerOTime);
    PrintValue("graphMarkerXTime", info.graphMarkerXTime);
}

}  // namespace

int RunInfo(const CliArgs& args) {
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: zoduz-cli info FILE\n");
        return 2;
    }
    if (CliParseOnly()) {
        return 0;
    }
    if (!CheckRecordFile("info", args[0])) {
        return 1;
    }
    std::string error;
    const std::optional<StreamInfo> stream = ReadCaptureStream(args[0], error);
    if (!stream) {
        std::fprintf(stderr, "zoduz-cli info: %s\n", error.c_str());
        return 1;
    }
    PrintStream(*stream);
    CKVDoc doc;
    if (!OpenDocumentForCli("info", args[0], doc)) {
        return 1;
    }
    PrintDocument(ReadDocumentInfo(doc));
    return std::fflush(stdout) == 0 ? 0 : 1;
}
