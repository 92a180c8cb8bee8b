#include "tools/sigrok/sr_import.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

#include "capture/cc_edge_writer.h"
#include "capture/staged_file.h"
#include "tools/sigrok/sr_record_writer.h"
#include "tools/sigrok/sr_zip.h"

namespace {

constexpr uint64_t kTimerHz = 48000000;
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
          clockStartTicks_(kSrClockStartUs * 48 / static_cast<uint64_t>(base.divider)) {}

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

// Where the sample data stops: at the session length limit or the caller's byte limit.
struct DataLimit {
    uint64_t maxSamples = 0;
    uint64_t maxBytes = 0;  // 0: none
};

// "7 days", "90 s": the session limit in the largest whole unit.
std::string DurationText(uint64_t microseconds) {
    const uint64_t seconds = microseconds / 1000000;
    if (seconds != 0 && seconds % 86400 == 0) {
        return std::to_string(seconds / 86400) + (seconds == 86400 ? " day" : " days");
    }
    return std::to_string(seconds) + " s";
}

DataLimit LimitFor(const SrMetadata& metadata, const SrImportOptions& options) {
    const unsigned __int128 samples =
        static_cast<unsigned __int128>(options.maxSessionUs) * metadata.sampleRate / 1000000;
    return {static_cast<uint64_t>(std::min<unsigned __int128>(samples, UINT64_MAX)),
            options.maxDataBytes};
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

std::unique_ptr<TemporaryImport> ImportToTemporaryRecordFile(const std::string& sessionPath,
                                                             std::string& error) {
    std::error_code code;
    const std::filesystem::path temporary = std::filesystem::temp_directory_path(code);
    const std::string folder =
        code ? std::string() : MakePrivateFolder(temporary.string(), "zoduz-import-");
    if (folder.empty()) {
        error = "no temporary folder for the imported record file";
        return nullptr;
    }
    ScratchPath scratch(folder);
    const std::string record =
        folder + "/" + std::filesystem::path(sessionPath).stem().string() + ".zaz";
    if (!ImportSigrokSession(sessionPath, record, {}, error)) {
        return nullptr;
    }
    return std::make_unique<TemporaryImport>(std::move(scratch), record);
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

    if (SameFile(inPath, outPath)) {
        error = "cannot write '" + outPath + "': it is the session being imported";
        return std::nullopt;
    }
    StagedFile staged(outPath);
    FILE* file = staged.OpenStream("wb");
    if (file == nullptr) {
        error = "cannot write '" + outPath + "': " + std::strerror(errno);
        return std::nullopt;
    }
    std::unique_ptr<FILE, int (*)(FILE*)> closer(file, std::fclose);
    SrRecordWriter writer(file);
    std::vector<TimedBlock> edges;
    TransitionSink sink(result.metadata.sampleRate, result.tickBase, edges);
    LevelScanner scanner(result.metadata.unitSize, result.cc1Channel, result.cc2Channel, sink);
    const DataLimit limit = LimitFor(result.metadata, options);
    bool tooLong = false;
    auto feed = [&](const uint8_t* data, size_t size) {
        result.dataBytes += size;
        scanner.Feed(data, size);
        writer.TakeEdgeBlocks(edges);
        tooLong = scanner.Samples() > limit.maxSamples ||
                  (limit.maxBytes != 0 && result.dataBytes > limit.maxBytes);
        return !tooLong;
    };
    const std::string& base = result.metadata.captureFile;
    bool read = true;
    if (archive.Has(base + "-1")) {
        for (int part = 1; read && archive.Has(base + "-" + std::to_string(part)); ++part) {
            read = archive.ReadPieces(base + "-" + std::to_string(part), kReadPiece, feed);
        }
    } else if (!archive.ReadPieces(base, kReadPiece, feed) && !tooLong) {
        error = "'" + inPath + "' has no sample data '" + base + "'";
        return std::nullopt;
    }
    if (tooLong) {
        error = "'" + inPath + "' is longer than the import takes (" +
                (limit.maxBytes != 0 && result.dataBytes > limit.maxBytes
                     ? std::to_string(limit.maxBytes) + " bytes of samples)"
                     : DurationText(options.maxSessionUs) + " of samples)");
        return std::nullopt;
    }
    if (!read) {
        error = "cannot read the samples of '" + inPath + "': " + archive.Error();
        return std::nullopt;
    }
    sink.Finish();
    writer.TakeEdgeBlocks(edges);
    result.samples = scanner.Samples();
    result.transitions[0] = scanner.Transitions()[0];
    result.transitions[1] = scanner.Transitions()[1];
    const uint64_t sessionUs = static_cast<uint64_t>(
        static_cast<unsigned __int128>(result.samples) * 1000000 / result.metadata.sampleRate);
    errno = 0;
    bool written = writer.Finish(sessionUs) && std::fflush(file) == 0;
    const int writeError = errno;
    written = std::fclose(closer.release()) == 0 && written;
    result.edgeBlocks = writer.EdgeBlocks();
    result.sampleBlocks = writer.SampleBlocks();
    if (!written || !staged.Commit()) {
        const int cause = written ? errno : writeError;
        error = "cannot write '" + outPath + "'" +
                (cause != 0 ? std::string(": ") + std::strerror(cause) : std::string());
        return std::nullopt;
    }
    return result;
}
