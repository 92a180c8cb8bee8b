#include "tools/sigrok/sr_export.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <memory>
#include <numeric>
#include <vector>

#include "capture/record_file_io.h"
#include "capture/record_stream.h"
#include "capture/staged_file.h"
#include "tools/sigrok/sr_metadata.h"
#include "tools/sigrok/sr_zip.h"

namespace {

constexpr uint64_t kTimerHz = 48000000;
constexpr uint64_t kTailUs = 1000;

struct RawPacket {
    int ccLine = 0;
    int divider = 20;
    int64_t startTimeUs = 0;
    std::vector<uint8_t> ticks;
};

// Keeps every packet's raw edge list; samples only set the time base.
class RawPacketSink : public RecordSink {
  public:
    void OnSample(const CVbusInfo& /*sample*/) override {}
    void OnPacket(PacketPtr packet) override {
        RawPacket raw;
        raw.ccLine = packet->ccLine & 1;
        raw.divider = packet->clockDivider;
        raw.startTimeUs = packet->startTime;
        raw.ticks.reserve(static_cast<size_t>(packet->edgeCount));
        for (int32_t i = 0; i < packet->edgeCount && i < static_cast<int32_t>(packet->edges.size());
             ++i) {
            raw.ticks.push_back(packet->edges[static_cast<size_t>(i)].ticks);
        }
        packets.push_back(std::move(raw));
    }

    std::vector<RawPacket> packets;
};

bool ReadRecordFile(const std::string& path, RawPacketSink& sink, int64_t& captureStart) {
    ReadOnlyFile file(path);
    if (!file.IsOpen() || !RecordFileReadable(path)) {
        return false;
    }
    RecordStreamParser parser;
    std::vector<uint8_t> buffer(kReadChunkSize);
    int64_t offset = 0;
    for (;;) {
        const size_t got = file.ReadAt(offset, buffer.data(), buffer.size());
        const size_t blocks = got / kBlockSize;
        parser.ParseBlocks(buffer.data(), blocks, static_cast<uint64_t>(offset), sink);
        offset += static_cast<int64_t>(blocks * kBlockSize);
        if (got < buffer.size()) {
            break;
        }
    }
    captureStart = parser.Samples().CaptureStartTime();
    return true;
}

// Sample indices of every transition of each line, strictly increasing.
using LineEdges = std::vector<uint64_t>;
using BothLines = std::array<LineEdges, 2>;

// The index of the first transition of `edges` after `sample`, whose parity is the line's level
// at `sample`: a transition at sample s gives sample s its new level; both lines start low.
size_t NextTransition(const LineEdges& edges, uint64_t sample) {
    return static_cast<size_t>(std::upper_bound(edges.begin(), edges.end(), sample) -
                               edges.begin());
}

// The byte every sample of [first, first + size) holds, when no transition falls inside.
std::optional<uint8_t> ConstantByte(const BothLines& lines, uint64_t first, uint64_t size) {
    uint8_t byte = 0;
    for (int line = 0; line < 2; ++line) {
        const size_t next = NextTransition(lines[line], first);
        if (next < lines[line].size() && lines[line][next] < first + size) {
            return std::nullopt;
        }
        byte |= static_cast<uint8_t>((next & 1) << line);
    }
    return byte;
}

// Generates the bytes of one data file from the transition lists.
class ChunkGenerator {
  public:
    ChunkGenerator(std::shared_ptr<const BothLines> lines, uint64_t first)
        : lines_(std::move(lines)), position_(first) {
        for (int line = 0; line < 2; ++line) {
            next_[line] = NextTransition((*lines_)[line], position_);
            level_[line] = static_cast<uint8_t>(next_[line] & 1);
        }
    }

    size_t operator()(uint8_t* out, size_t size) {
        size_t done = 0;
        while (done < size) {
            uint64_t runEnd = position_ + (size - done);
            for (int line = 0; line < 2; ++line) {
                if (next_[line] < (*lines_)[line].size()) {
                    runEnd = std::min(runEnd, (*lines_)[line][next_[line]]);
                }
            }
            const auto run = static_cast<size_t>(runEnd - position_);
            std::memset(out + done, level_[0] | level_[1] << 1, run);
            done += run;
            position_ = runEnd;
            for (int line = 0; line < 2; ++line) {
                if (next_[line] < (*lines_)[line].size() &&
                    (*lines_)[line][next_[line]] == position_) {
                    level_[line] ^= 1;
                    ++next_[line];
                }
            }
        }
        return done;
    }

  private:
    std::shared_ptr<const BothLines> lines_;
    uint64_t position_;
    size_t next_[2] = {0, 0};
    uint8_t level_[2] = {0, 0};
};

}  // namespace

std::optional<SrExportResult> ExportSigrokSession(const std::string& recordPath,
                                                  const std::string& outPath, std::string& error) {
    RawPacketSink sink;
    int64_t captureStart = -1;
    if (!ReadRecordFile(recordPath, sink, captureStart)) {
        error = "cannot read '" + recordPath + "'";
        return std::nullopt;
    }
    if (sink.packets.empty()) {
        error = "'" + recordPath + "' holds no CC packet";
        return std::nullopt;
    }
    std::stable_sort(
        sink.packets.begin(), sink.packets.end(),
        [](const RawPacket& a, const RawPacket& b) { return a.startTimeUs < b.startTimeUs; });
    int common = 0;
    for (const RawPacket& packet : sink.packets) {
        common = std::gcd(common, std::clamp(packet.divider, 1, 256));
    }
    SrExportResult result;
    result.sampleRate = kTimerHz / static_cast<uint64_t>(common);
    const int64_t origin = captureStart >= 0 ? captureStart : sink.packets.front().startTimeUs;

    auto shared = std::make_shared<BothLines>();
    BothLines& lines = *shared;
    for (const RawPacket& packet : sink.packets) {
        if (packet.startTimeUs < origin) {
            continue;  // before the time base, as the document drops it
        }
        LineEdges& edges = lines[packet.ccLine];
        // The start time is the line time in whole microseconds; the intervals are exact.
        uint64_t sample = static_cast<uint64_t>(packet.startTimeUs - origin) * kTimerHz /
                          static_cast<uint64_t>(common) / 1000000;
        if (!edges.empty() && sample <= edges.back()) {
            sample = edges.back() + 1;
        }
        edges.push_back(sample);
        // One sample per tick of the common divider.
        const auto samplesPerTick = static_cast<uint64_t>(packet.divider / common);
        for (const uint8_t ticks : packet.ticks) {
            sample += std::max<uint64_t>(ticks, 1) * samplesPerTick;
            edges.push_back(sample);
        }
        ++result.packets;
        result.transitions += packet.ticks.size() + 1;
    }
    uint64_t last = 0;
    for (int line = 0; line < 2; ++line) {
        if (!lines[line].empty()) {
            last = std::max(last, lines[line].back());
        }
    }
    result.samples = last + kTailUs * result.sampleRate / 1000000;
    if (result.samples > kMaxSrExportSamples) {
        error = "the capture is too long for a logic session (more than 2^33 samples)";
        return std::nullopt;
    }

    if (SameFile(recordPath, outPath)) {
        error = "cannot write '" + outPath + "': it is the record file being exported";
        return std::nullopt;
    }
    // The archive, and the scratch file the zip library writes it through, stay in a private
    // folder until the session is complete.
    StagedFile staged(outPath);
    if (!staged.IsOpen()) {
        error = "cannot write '" + outPath + "': " + std::strerror(errno);
        return std::nullopt;
    }
    SrZipWriter archive(staged.Path());
    if (!archive.IsOpen()) {
        error = "cannot write '" + outPath + "': " + archive.Error();
        return std::nullopt;
    }
    SrMetadata metadata;
    metadata.sampleRate = result.sampleRate;
    metadata.unitSize = 1;
    metadata.totalProbes = 2;
    metadata.probeNames = {"CC1", "CC2"};
    bool ok =
        archive.AddText("version", "2") && archive.AddText("metadata", FormatSrMetadata(metadata));
    // A whole data file without a transition is deflated once per level and copied from then on,
    // so that the work grows with the transitions, not with the quiet time between them.
    std::array<std::shared_ptr<const SrDeflatedBytes>, 4> quietFiles;
    for (uint64_t first = 0, part = 1; ok && first < result.samples;
         first += kSrChunkSamples, ++part) {
        const uint64_t size = std::min(kSrChunkSamples, result.samples - first);
        const std::string name = metadata.captureFile + "-" + std::to_string(part);
        const std::optional<uint8_t> quiet =
            size == kSrChunkSamples ? ConstantByte(lines, first, size) : std::nullopt;
        if (!quiet) {
            ok = archive.AddGenerated(name, size, ChunkGenerator(shared, first));
            continue;
        }
        std::shared_ptr<const SrDeflatedBytes>& deflated = quietFiles[*quiet];
        if (!deflated && !(deflated = DeflateRun(*quiet, size))) {
            error = "cannot write '" + outPath + "': out of memory";
            return std::nullopt;
        }
        ok = archive.AddDeflated(name, deflated);
    }
    if (!ok || !archive.Close()) {
        error = "cannot write '" + outPath + "': " + archive.Error();
        return std::nullopt;
    }
    if (const FileResult placed = staged.Commit(); !placed) {
        error = "cannot write '" + outPath + "': " + std::strerror(errno);
        return std::nullopt;
    }
    return result;
}
