#include "tools/sigrok/sr_import.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include <unistd.h>

#include "capture/byte_order.h"
#include "capture/cc_edge_writer.h"
#include "capture/info_block.h"
#include "tools/sigrok/sr_zip.h"

namespace {

constexpr uint64_t kTimerHz = 48000000;
// The record file's analyzer clock at session time 0.
constexpr uint64_t kClockStartUs = 1000000;
// Readings go in every 10 ms, the analyzer's default sampling interval.
constexpr uint64_t kReadingIntervalUs = 10000;
// A line quiet for this long ends its burst, as the synthesizer's packer does.
constexpr uint64_t kBurstIdleUs = 3000;
constexpr uint64_t kMaxMetadataBytes = 1 << 20;
constexpr size_t kReadPiece = 1 << 20;

// Resolves one --cc1/--cc2 argument; 0 = none, -1 = no such channel. Without an argument a
// channel named after the line is taken; when neither line has a named channel, channels 1 and
// 2 are.
int ChooseChannel(const SrMetadata& metadata, const std::string& argument, const char* name,
                  int positional) {
    if (argument == "none") {
        return 0;
    }
    if (!argument.empty()) {
        return FindSrChannel(metadata, argument).value_or(-1);
    }
    if (std::optional<int> named = FindSrChannel(metadata, name)) {
        return *named;
    }
    const bool anyNamed = FindSrChannel(metadata, "CC1") || FindSrChannel(metadata, "CC2");
    return !anyNamed && positional <= metadata.totalProbes ? positional : 0;
}

// Samples to edge-timer ticks and the writer calls, transition by transition.
class TransitionSink {
  public:
    TransitionSink(uint64_t sampleRate, SrTickBase base, std::vector<TimedBlock>& blocks)
        : rate_(sampleRate),
          base_(base),
          writer_(base.divider, blocks),
          idleTicks_(
              std::max<uint64_t>(kBurstIdleUs * 48 / static_cast<uint64_t>(base.divider), 3 * 256)),
          clockStartTicks_(kClockStartUs * 48 / static_cast<uint64_t>(base.divider)) {}

    void Transition(int line, uint64_t sample) {
        // Rounded to the nearest tick; with a coarser tick than the sample period two
        // transitions may round together, and the later one moves to the next tick.
        const unsigned __int128 scaled =
            static_cast<unsigned __int128>(sample) * kTimerHz + rate_ * base_.divider / 2;
        uint64_t tick = clockStartTicks_ +
                        static_cast<uint64_t>(scaled / (static_cast<unsigned __int128>(rate_) *
                                                        static_cast<unsigned>(base_.divider)));
        if (writer_.InBurst() &&
            (writer_.Line() != line || tick > writer_.LastTick() + idleTicks_)) {
            writer_.EndBurst();
        }
        if (lastTick_[line] != 0 && tick <= lastTick_[line]) {
            tick = lastTick_[line] + 1;
        }
        if (!writer_.InBurst()) {
            writer_.StartBurst(line, tick);
        }
        lastTick_[line] = writer_.Transition(tick);
    }
    void Finish() { writer_.EndBurst(); }

  private:
    uint64_t rate_;
    SrTickBase base_;
    EdgeBlockWriter writer_;
    uint64_t idleTicks_;
    uint64_t clockStartTicks_;
    uint64_t lastTick_[2] = {0, 0};
};

// Level changes of the chosen channels over the sample stream, across data file boundaries.
class LevelScanner {
  public:
    LevelScanner(int unitSize, int cc1, int cc2, TransitionSink& sink)
        : unitSize_(static_cast<size_t>(unitSize)), sink_(sink) {
        channels_[0] = cc1;
        channels_[1] = cc2;
        for (int line = 0; line < 2; ++line) {
            if (channels_[line] > 0) {
                mask_ |= uint64_t{1} << (channels_[line] - 1);
            }
        }
    }

    void Feed(const uint8_t* data, size_t size) {
        while (size > 0) {
            if (partialSize_ > 0 || size < unitSize_) {
                const size_t take = std::min(size, unitSize_ - partialSize_);
                std::memcpy(partial_ + partialSize_, data, take);
                partialSize_ += take;
                data += take;
                size -= take;
                if (partialSize_ == unitSize_) {
                    Sample(ReadSample(partial_));
                    partialSize_ = 0;
                }
                continue;
            }
            const size_t whole = size / unitSize_;
            for (size_t i = 0; i < whole; ++i) {
                Sample(ReadSample(data + i * unitSize_));
            }
            data += whole * unitSize_;
            size -= whole * unitSize_;
        }
    }

    uint64_t Samples() const { return samples_; }
    const uint64_t* Transitions() const { return transitions_; }

  private:
    uint64_t ReadSample(const uint8_t* bytes) const {
        uint64_t value = 0;
        for (size_t i = 0; i < unitSize_; ++i) {
            value |= uint64_t{bytes[i]} << (8 * i);
        }
        return value & mask_;
    }

    void Sample(uint64_t value) {
        if (samples_ != 0 && value != previous_) {
            const uint64_t changed = value ^ previous_;
            for (int line = 0; line < 2; ++line) {
                if (channels_[line] > 0 && (changed >> (channels_[line] - 1) & 1) != 0) {
                    sink_.Transition(line, samples_);
                    ++transitions_[line];
                }
            }
        }
        previous_ = value;
        ++samples_;
    }

    size_t unitSize_;
    TransitionSink& sink_;
    int channels_[2] = {0, 0};
    uint64_t mask_ = 0;
    uint64_t previous_ = 0;
    uint64_t samples_ = 0;
    uint64_t transitions_[2] = {0, 0};
    uint8_t partial_[kMaxSrUnitSize] = {};
    size_t partialSize_ = 0;
};

// A SampleBlock of zero readings at the given analyzer times.
RecordBlock ZeroReadingBlock(const uint64_t* timesUs, int count) {
    RecordBlock block;
    uint8_t* bytes = block.bytes.data();
    WriteU16(bytes, static_cast<uint16_t>(kSampleKindBit | count));
    for (int i = 0; i < count; ++i) {
        WriteU32(bytes + kSampleAreaOffset + kSampleSize * static_cast<size_t>(i),
                 static_cast<uint32_t>(timesUs[i]));
    }
    return block;
}

// Writes the record file: the leading InfoBlock, then readings and edge blocks in time order.
bool WriteRecordFile(const std::string& path, const std::vector<TimedBlock>& edges,
                     uint64_t sessionUs, SrImportResult& result, std::string& error) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        error = "cannot write '" + path + "': " + std::strerror(errno);
        return false;
    }
    std::vector<uint8_t> out;
    out.reserve((edges.size() + sessionUs / kReadingIntervalUs / 3 + 4) * kBlockSize);
    auto append = [&out](const RecordBlock& block) {
        out.insert(out.end(), block.bytes.begin(), block.bytes.end());
    };
    append(PlaceholderInfoBlock());
    size_t next = 0;
    const uint64_t readings = sessionUs / kReadingIntervalUs + 1;
    for (uint64_t index = 0; index < readings;) {
        uint64_t times[kMaxSamplesPerBlock];
        int count = 0;
        for (; count < kMaxSamplesPerBlock && index < readings; ++count, ++index) {
            times[count] = kClockStartUs + index * kReadingIntervalUs;
        }
        while (next < edges.size() && edges[next].timeUs <= times[count - 1]) {
            append(edges[next++].block);
        }
        append(ZeroReadingBlock(times, count));
        ++result.sampleBlocks;
    }
    for (; next < edges.size(); ++next) {
        append(edges[next].block);
    }
    const RecordBlock leading = FinishedInfoBlock(0, SerialNumber{}, out.size() - kBlockSize);
    std::copy(leading.bytes.begin(), leading.bytes.end(), out.begin());
    bool ok = std::fwrite(out.data(), 1, out.size(), file) == out.size();
    ok = std::fclose(file) == 0 && ok;
    if (!ok) {
        error = "cannot write '" + path + "'";
    }
    return ok;
}

}  // namespace

SrTickBase TickBaseForSampleRate(uint64_t sampleRate) {
    if (sampleRate == 0) {
        return {};
    }
    if (kTimerHz % sampleRate == 0 && kTimerHz / sampleRate <= 256) {
        return {static_cast<int>(kTimerHz / sampleRate), true};
    }
    const uint64_t nearest = (kTimerHz + sampleRate / 2) / sampleRate;
    return {static_cast<int>(std::clamp<uint64_t>(nearest, 1, 256)), false};
}

std::optional<std::string> ImportToTemporaryRecordFile(const std::string& sessionPath,
                                                       std::string& error) {
    std::error_code code;
    const std::filesystem::path folder = std::filesystem::temp_directory_path(code);
    if (code) {
        error = "no temporary folder for the imported record file";
        return std::nullopt;
    }
    // A name of its own per process and import, so that no other file is replaced, also when
    // several threads import at once.
    static std::atomic<int> imports = 0;
    const std::string name = "zoduz-import-" + std::to_string(::getpid()) + "-" +
                             std::to_string(++imports) + "-" +
                             std::filesystem::path(sessionPath).stem().string() + ".zaz";
    const std::string target = (folder / name).string();
    if (!ImportSigrokSession(sessionPath, target, {}, error)) {
        std::filesystem::remove(target, code);
        return std::nullopt;
    }
    return target;
}

bool IsSigrokSessionPath(const std::string& path) {
    return path.size() > 3 && path[path.size() - 3] == '.' &&
           (path[path.size() - 2] | 0x20) == 's' && (path[path.size() - 1] | 0x20) == 'r';
}

std::optional<SrImportResult> ImportSigrokSession(const std::string& inPath,
                                                  const std::string& outPath,
                                                  const SrImportOptions& options,
                                                  std::string& error) {
    SrZipReader archive(inPath);
    if (!archive.IsOpen()) {
        error = "cannot read '" + inPath + "' as a sigrok session: " + archive.Error();
        return std::nullopt;
    }
    const std::optional<std::string> text = archive.ReadSmall("metadata", kMaxMetadataBytes);
    if (!text) {
        error = "'" + inPath + "' has no readable metadata";
        return std::nullopt;
    }
    SrImportResult result;
    std::optional<SrMetadata> metadata = ParseSrMetadata(*text, error);
    if (!metadata) {
        return std::nullopt;
    }
    result.metadata = *metadata;
    result.cc1Channel = ChooseChannel(result.metadata, options.cc1, "CC1", 1);
    result.cc2Channel = ChooseChannel(result.metadata, options.cc2, "CC2", 2);
    if (result.cc1Channel < 0 || result.cc2Channel < 0) {
        error = "no channel '" + (result.cc1Channel < 0 ? options.cc1 : options.cc2) + "'";
        return std::nullopt;
    }
    if (result.cc1Channel == 0 && result.cc2Channel == 0) {
        error = "no channel chosen for CC1 or CC2";
        return std::nullopt;
    }
    if (result.cc1Channel == result.cc2Channel) {
        error = "CC1 and CC2 cannot share one channel";
        return std::nullopt;
    }
    result.tickBase = TickBaseForSampleRate(result.metadata.sampleRate);

    std::vector<TimedBlock> edges;
    TransitionSink sink(result.metadata.sampleRate, result.tickBase, edges);
    LevelScanner scanner(result.metadata.unitSize, result.cc1Channel, result.cc2Channel, sink);
    auto feed = [&](const uint8_t* data, size_t size) {
        result.dataBytes += size;
        scanner.Feed(data, size);
    };
    const std::string& base = result.metadata.captureFile;
    if (archive.Has(base + "-1")) {
        for (int part = 1; archive.Has(base + "-" + std::to_string(part)); ++part) {
            if (!archive.ReadPieces(base + "-" + std::to_string(part), kReadPiece, feed)) {
                error = "cannot read the samples of '" + inPath + "': " + archive.Error();
                return std::nullopt;
            }
        }
    } else if (!archive.ReadPieces(base, kReadPiece, feed)) {
        error = "'" + inPath + "' has no sample data '" + base + "'";
        return std::nullopt;
    }
    sink.Finish();
    result.samples = scanner.Samples();
    result.transitions[0] = scanner.Transitions()[0];
    result.transitions[1] = scanner.Transitions()[1];
    result.edgeBlocks = edges.size();
    const uint64_t sessionUs = static_cast<uint64_t>(
        static_cast<unsigned __int128>(result.samples) * 1000000 / result.metadata.sampleRate);
    if (!WriteRecordFile(outPath, edges, sessionUs, result, error)) {
        return std::nullopt;
    }
    return result;
}
