// zoduz-cli info FILE: what a record file holds, block by block and as a decoded document.
#include <cinttypes>
#include <cstdio>
#include <string>
#include <vector>

#include "capture/document.h"
#include "capture/record_file_io.h"
#include "capture/record_stream.h"
#include "cli/commands.h"
#include "cli/open_document.h"

namespace {

// Counts samples and raw packets and prints InfoBlock entries as the parser finds them.
class InfoCounter : public RecordSink {
  public:
    void OnSample(const CVbusInfo& /*sample*/) override { ++samples; }
    void OnPacket(PacketPtr /*packet*/) override { ++packets; }
    void OnInfoEntry(const InfoEntry& entry, uint64_t blockOffset) override {
        if (entry.type == 0 && entry.value.empty()) {
            return;  // zero padding of an InfoBlock
        }
        std::printf("info_entry\t%" PRIu64 "\t%s\t%s\n",
                    blockOffset + static_cast<uint64_t>(entry.position),
                    InfoTypeName(entry.type).c_str(), InfoValueText(entry).c_str());
    }

    uint64_t samples = 0;
    uint64_t packets = 0;
};

void PrintValue(const char* name, int64_t value) {
    std::printf("%s\t%" PRId64 "\n", name, value);
}

void PrintCounter(const std::string& name, uint32_t value) {
    if (value != 0) {
        std::printf("%s\t%u\n", name.c_str(), value);
    }
}

void PrintCounters(const char* name, const std::array<uint32_t, kMessageTypeSlots>& counters) {
    for (size_t t = 0; t < counters.size(); ++t) {
        PrintCounter(std::string(name) + "[" + std::to_string(t) + "]", counters[t]);
    }
}

void PrintStream(const std::string& path) {
    ReadOnlyFile file(path);
    int64_t size = file.Length();
    PrintValue("size", size);
    std::vector<uint8_t> buffer(kReadChunkSize);
    RecordStreamParser parser;
    InfoCounter counter;
    int64_t offset = 0;
    while (size_t got = file.ReadAt(offset, buffer.data(), buffer.size())) {
        parser.Feed(std::span<const uint8_t>(buffer.data(), got), counter);
        offset += static_cast<int64_t>(got);
    }
    const BlockCounts& counts = parser.Counts();
    PrintValue("sample_blocks", static_cast<int64_t>(counts.sample));
    PrintValue("cc_edge_blocks", static_cast<int64_t>(counts.ccEdge));
    PrintValue("info_blocks", static_cast<int64_t>(counts.info));
    PrintValue("trailing_bytes", static_cast<int64_t>(parser.PendingBytes()));
    PrintValue("samples", static_cast<int64_t>(counter.samples));
    PrintValue("raw_packets", static_cast<int64_t>(counter.packets));
}

void PrintMarker(const char* name, const PacketPtr& packet) {
    if (packet) {
        std::printf("%s\t%d\t%" PRId64 "\n", name, packet->packetNumber, packet->relTime);
    } else {
        std::printf("%s\tnone\n", name);
    }
}

void PrintDocument(const CKVDoc& doc) {
    std::printf("document\n");
    PrintValue("packets", static_cast<int64_t>(doc.PacketCount()));
    PrintValue("samples", static_cast<int64_t>(doc.SampleCount()));
    PrintValue("captureStartTime", doc.CaptureStartTime());
    PrintValue("timeOrigin", doc.TimeOrigin());
    const SampleStats& s = doc.Stats();
    PrintValue("maxVoltage", s.maxVoltage);
    PrintValue("maxCurrent", s.maxCurrent);
    PrintValue("minCurrent", s.minCurrent);
    PrintValue("maxPower", s.maxPower);
    PrintValue("minPower", s.minPower);
    PrintValue("maxVbusPower", s.maxVbusPower);
    PrintValue("maxVbusPowerVoltage", s.maxVbusPowerVoltage);
    PrintValue("maxVbusPowerCurrent", s.maxVbusPowerCurrent);
    PrintValue("minVbusPower", s.minVbusPower);
    PrintValue("minVbusPowerVoltage", s.minVbusPowerVoltage);
    PrintValue("minVbusPowerCurrent", s.minVbusPowerCurrent);
    const PacketStatistics& p = doc.Statistics();
    PrintCounter("total", p.total);
    PrintCounter("cc1", p.cc1);
    PrintCounter("cc2", p.cc2);
    PrintCounter("noPreamble", p.noPreamble);
    PrintCounter("crcFailed", p.crcFailed);
    PrintCounter("noEop", p.noEop);
    PrintCounter("uiOutOfRange", p.uiOutOfRange);
    for (size_t k = 1; k < p.kind.size(); ++k) {
        PrintCounter("kind[" + std::to_string(k) + "]", p.kind[k]);
    }
    PrintCounter("otherKind", p.otherKind);
    PrintCounter("source", p.source);
    PrintCounter("sink", p.sink);
    PrintCounter("dfp", p.dfp);
    PrintCounter("ufp", p.ufp);
    PrintCounters("control", p.control);
    PrintCounters("data", p.data);
    PrintCounters("extended", p.extended);
    PrintMarker("markerA", doc.MarkerA());
    PrintMarker("markerB", doc.MarkerB());
    for (const PacketPtr& packet : doc.Packets()) {
        if (packet->marked) {
            std::printf("marked\t%d\t%" PRId64 "\n", packet->packetNumber, packet->relTime);
        }
    }
    PrintValue("graphMarkerOTime", doc.GraphMarkerOTime());
    PrintValue("graphMarkerXTime", doc.GraphMarkerXTime());
}

}  // namespace

int RunInfo(const CliArgs& args) {
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: zoduz-cli info FILE\n");
        return 2;
    }
    if (!CheckRecordFile("info", args[0])) {
        return 1;
    }
    PrintStream(args[0]);
    CKVDoc doc;
    if (!OpenDocumentForCli("info", args[0], doc)) {
        return 1;
    }
    PrintDocument(doc);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
