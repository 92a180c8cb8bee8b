#include "query/capture_info.h"

#include <algorithm>
#include <memory>

#include "capture/info_block.h"
#include "capture/record_file_io.h"
#include "capture/record_stream.h"
#include "tools/sigrok/sr_import.h"

namespace {

// Counts samples and raw packets and keeps InfoBlock entries as the parser finds them.
class InfoCounter : public RecordSink {
  public:
    explicit InfoCounter(StreamInfo& info) : info_(info) {}

    void OnSample(const CVbusInfo& /*sample*/) override { ++info_.samples; }
    void OnPacket(PacketPtr /*packet*/) override { ++info_.rawPackets; }
    void OnInfoEntry(const InfoEntry& entry, uint64_t blockOffset) override {
        if (entry.type == 0 && entry.value.empty()) {
            return;  // zero padding of an InfoBlock
        }
        info_.entries.push_back({blockOffset + static_cast<uint64_t>(entry.position),
                                 InfoTypeName(entry.type), InfoValueText(entry)});
    }

  private:
    StreamInfo& info_;
};

std::optional<StreamInfo> ReadRecordStream(const std::string& path) {
    ReadOnlyFile file(path);
    if (!file.IsOpen()) {
        return std::nullopt;
    }
    StreamInfo info;
    info.size = file.Length();
    std::vector<uint8_t> buffer(kReadChunkSize);
    RecordStreamParser parser;
    InfoCounter counter(info);
    int64_t offset = 0;
    while (size_t got = file.ReadAt(offset, buffer.data(), buffer.size())) {
        parser.Feed(std::span<const uint8_t>(buffer.data(), got), counter);
        offset += static_cast<int64_t>(got);
    }
    const BlockCounts& counts = parser.Counts();
    info.sampleBlocks = counts.sample;
    info.ccEdgeBlocks = counts.ccEdge;
    info.infoBlocks = counts.info;
    info.trailingBytes = parser.PendingBytes();
    return info;
}

void AddCounter(std::vector<InfoValue>& values, std::string name, uint32_t value) {
    if (value != 0) {
        values.push_back({std::move(name), value});
    }
}

void AddCounters(std::vector<InfoValue>& values, const char* name,
                 const std::array<uint32_t, kMessageTypeSlots>& counters) {
    for (size_t t = 0; t < counters.size(); ++t) {
        AddCounter(values, std::string(name) + "[" + std::to_string(t) + "]", counters[t]);
    }
}

std::optional<InfoPacketMark> Mark(const DocumentSnapshot& snapshot, const PacketPtr& packet) {
    if (!packet) {
        return std::nullopt;
    }
    const std::vector<PacketPtr>& packets = snapshot.packets;
    const auto it = std::find(packets.begin(), packets.end(), packet);
    if (it == packets.end()) {
        return std::nullopt;
    }
    return InfoPacketMark{static_cast<int32_t>(it - packets.begin()), packet->relTime};
}

}  // namespace

std::optional<StreamInfo> ReadCaptureStream(const std::string& path, std::string& error) {
    std::optional<StreamInfo> info;
    if (IsSigrokSessionPath(path)) {
        const std::unique_ptr<TemporaryImport> imported = ImportToTemporaryRecordFile(path, error);
        if (!imported) {
            return std::nullopt;
        }
        info = ReadRecordStream(imported->RecordPath());
    } else {
        info = ReadRecordStream(path);
    }
    if (!info) {
        error = "cannot read '" + path + "'";
    }
    return info;
}

DocumentInfo ReadDocumentInfo(const CKVDoc& doc) {
    // Called on the document's writing thread: the snapshot and the counters read after it
    // belong to the same moment.
    const DocumentSnapshot snapshot = doc.Snapshot();
    DocumentInfo info;
    std::vector<InfoValue>& v = info.values;
    v.push_back({"packets", static_cast<int64_t>(snapshot.packets.size())});
    v.push_back({"samples", static_cast<int64_t>(snapshot.samples.Size())});
    v.push_back({"captureStartTime", doc.CaptureStartTime()});
    v.push_back({"timeOrigin", snapshot.timeOrigin});
    const SampleStats& s = snapshot.stats;
    v.push_back({"maxVoltage", s.maxVoltage});
    v.push_back({"maxCurrent", s.maxCurrent});
    v.push_back({"minCurrent", s.minCurrent});
    v.push_back({"maxPower", s.maxPower});
    v.push_back({"minPower", s.minPower});
    v.push_back({"maxVbusPower", s.maxVbusPower});
    v.push_back({"maxVbusPowerVoltage", s.maxVbusPowerVoltage});
    v.push_back({"maxVbusPowerCurrent", s.maxVbusPowerCurrent});
    v.push_back({"minVbusPower", s.minVbusPower});
    v.push_back({"minVbusPowerVoltage", s.minVbusPowerVoltage});
    v.push_back({"minVbusPowerCurrent", s.minVbusPowerCurrent});
    const PacketStatistics p = doc.Statistics();
    AddCounter(v, "total", p.total);
    AddCounter(v, "cc1", p.cc1);
    AddCounter(v, "cc2", p.cc2);
    AddCounter(v, "noPreamble", p.noPreamble);
    AddCounter(v, "crcFailed", p.crcFailed);
    AddCounter(v, "noEop", p.noEop);
    AddCounter(v, "uiOutOfRange", p.uiOutOfRange);
    for (size_t k = 1; k < p.kind.size(); ++k) {
        AddCounter(v, "kind[" + std::to_string(k) + "]", p.kind[k]);
    }
    AddCounter(v, "otherKind", p.otherKind);
    AddCounter(v, "source", p.source);
    AddCounter(v, "sink", p.sink);
    AddCounter(v, "dfp", p.dfp);
    AddCounter(v, "ufp", p.ufp);
    AddCounters(v, "control", p.control);
    AddCounters(v, "data", p.data);
    AddCounters(v, "extended", p.extended);
    info.markerA = Mark(snapshot, snapshot.markerA);
    info.markerB = Mark(snapshot, snapshot.markerB);
    for (size_t i = 0; i < snapshot.packets.size(); ++i) {
        const PacketPtr& packet = snapshot.packets[i];
        if (snapshot.marks.Contains(*packet)) {
            info.marked.push_back({static_cast<int32_t>(i), packet->relTime});
        }
    }
    info.graphMarkerOTime = doc.GraphMarkerOTime();
    info.graphMarkerXTime = doc.GraphMarkerXTime();
    return info;
}
