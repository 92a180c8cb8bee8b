// Live capture: the reader path (read from the unpaced virtual analyzer, write to the record
// file, live values) beside writing the same chunks alone, checked afterwards against the
// generator's bytes; and the one-second capture tick (DecodeMore plus the message list's
// refresh) at PD-dense traffic with 1 ms sampling, beside decoding the same bytes offline.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bench_clock.h"
#include "bench_size.h"
#include "capture/document.h"
#include "capture/info_block.h"
#include "device/sim/simulator.h"
#include "list/core/column_info.h"
#include "list/log_view.h"
#include "live/analyzer_connection.h"
#include "live/reader_core.h"

namespace {

// Per iteration of the reader path.
const size_t kReaderBytes = BenchSize<size_t>(256ull << 20, 1ull << 20);
// The PD-dense capture replayed tick by tick.
const int kDenseSeconds = BenchSize(20, 2);

QTemporaryDir& Scratch() {
    static QTemporaryDir dir;
    return dir;
}

std::string ScratchFile(const char* name) {
    return Scratch().filePath(QString::fromLatin1(name)).toStdString();
}

// An unpaced virtual analyzer playing `long`, polled until connected.
std::unique_ptr<AnalyzerConnection> ConnectedAnalyzer() {
    std::unique_ptr<AnalyzerConnection> analyzer = AnalyzerConnection::Virtual("long", false);
    for (int i = 0; i < 10 && !analyzer->Poll(); ++i) {
    }
    return analyzer;
}

// Bytes the generator sends first, read straight from a fresh analyzer: what the record file
// must hold after its leading InfoBlock.
bool FileMatchesGenerator(const std::string& path, size_t bytes) {
    std::unique_ptr<AnalyzerConnection> generator = ConnectedAnalyzer();
    std::vector<uint8_t> expected(kReadChunkBytes);
    std::vector<uint8_t> actual(kReadChunkBytes);
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr || std::fseek(file, kBlockSize, SEEK_SET) != 0) {
        return false;
    }
    size_t compared = 0;
    bool same = true;
    while (same && compared < bytes) {
        long n = generator->ReadStream(expected.data(), expected.size(), 1000);
        if (n <= 0) {
            same = false;
            break;
        }
        size_t got = std::fread(actual.data(), 1, static_cast<size_t>(n), file);
        same =
            got == static_cast<size_t>(n) && std::memcmp(expected.data(), actual.data(), got) == 0;
        compared += got;
    }
    std::fclose(file);
    return same && compared >= bytes;
}

void BM_ReaderPath(benchmark::State& state) {
    const std::string path = ScratchFile("reader.zaz");
    double readerSeconds = 0;
    double plainSeconds = 0;
    double readerCpu = 0;
    double plainCpu = 0;
    size_t written = 0;
    for (auto _ : state) {
        std::unique_ptr<AnalyzerConnection> analyzer = ConnectedAnalyzer();
        CaptureState capture;
        capture.flags.connected.store(true);
        capture.plan =
            RecordPlan{Scratch().path().toStdString(), "", "reader.zaz", false, 9999, {}};
        ReaderCore core(capture, *analyzer, CalibrationRatios{});
        OpenRecordFile(capture, 1);
        capture.flags.phase.StartRecording();
        double start = WallSeconds();
        double startCpu = ThreadCpuSeconds();
        while (capture.bytesWritten.load() < kReaderBytes) {
            core.Step();
        }
        capture.flags.phase.RequestStop();
        core.Step();
        readerSeconds += WallSeconds() - start;
        readerCpu += ThreadCpuSeconds() - startCpu;
        written = capture.bytesWritten.load();

        // Baseline: the same number of 16 KiB writes of a buffer already in memory.
        std::vector<uint8_t> chunk(kReadChunkBytes, 0x5A);
        int fd = ::open(ScratchFile("plain.bin").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        start = WallSeconds();
        startCpu = ThreadCpuSeconds();
        for (size_t done = 0; done < written; done += chunk.size()) {
            if (::write(fd, chunk.data(), chunk.size()) < 0) {
                state.SkipWithError("plain write failed");
                break;
            }
        }
        ::close(fd);
        plainSeconds += WallSeconds() - start;
        plainCpu += ThreadCpuSeconds() - startCpu;
    }
    if (!FileMatchesGenerator(path, written)) {
        state.SkipWithError("the record file differs from the generator's stream");
        return;
    }
    const double iterations = static_cast<double>(state.iterations());
    state.counters["reader_MBps"] = static_cast<double>(written) * iterations / readerSeconds / 1e6;
    state.counters["plain_write_MBps"] =
        static_cast<double>(written) * iterations / plainSeconds / 1e6;
    state.counters["reader_MBps_cpu"] = static_cast<double>(written) * iterations / readerCpu / 1e6;
    state.counters["plain_write_MBps_cpu"] =
        static_cast<double>(written) * iterations / plainCpu / 1e6;
    state.counters["bytes"] = static_cast<double>(written);
}

// The catalog scenario back to back at 1 ms sampling: every message type, as dense as real
// traffic gets, with a sample a millisecond.
const std::vector<uint8_t>& DenseStream() {
    static const std::vector<uint8_t> stream = [] {
        std::vector<uint8_t> bytes;
        int64_t offsetUs = 0;
        double seconds = 0;
        for (uint64_t seed = 1; seconds < kDenseSeconds; ++seed) {
            SimulationOptions options;
            options.scenario = "catalog";
            options.seed = seed;
            options.intervalMs = 1;
            options.recordFile = false;
            options.clockStartUs = 5000000 + static_cast<uint64_t>(offsetUs);
            std::optional<SimulationResult> result = Simulate(options);
            bytes.insert(bytes.end(), result->stream.begin(), result->stream.end());
            double length =
                static_cast<double>(result->endTimeUs - result->captureStartTimeUs) / 1e6;
            seconds += length;
            offsetUs += static_cast<int64_t>(length * 1e6) + 1000;
        }
        return bytes;
    }();
    return stream;
}

void AppendFile(const std::string& path, const uint8_t* data, size_t size) {
    std::FILE* file = std::fopen(path.c_str(), "ab");
    std::fwrite(data, 1, size, file);
    std::fclose(file);
}

// One tick per second of traffic: the file grows by a second's bytes, the document decodes
// them and the message list takes its new rows. Reported as the share of one core a tick takes.
void BM_CaptureTickPdDense(benchmark::State& state) {
    const std::vector<uint8_t>& stream = DenseStream();
    const size_t perSecond = stream.size() / kDenseSeconds / kBlockSize * kBlockSize;
    const std::string path = ScratchFile("dense.zaz");
    double tickCpu = 0;
    double offlineCpu = 0;
    size_t packets = 0;
    for (auto _ : state) {
        state.PauseTiming();
        RecordBlock placeholder = PlaceholderInfoBlock();
        std::FILE* file = std::fopen(path.c_str(), "wb");
        std::fwrite(placeholder.bytes.data(), 1, kBlockSize, file);
        std::fclose(file);
        CKVDoc document;
        ColumnLayout columns = DefaultColumnLayout();
        CKVLogView list(document, columns);
        list.resize(1200, 400);
        document.AttachRecordFile(Scratch().path().toStdString(), "dense.zaz");
        state.ResumeTiming();
        for (int second = 0; second < kDenseSeconds; ++second) {
            state.PauseTiming();
            AppendFile(path, stream.data() + perSecond * static_cast<size_t>(second), perSecond);
            state.ResumeTiming();
            double start = ThreadCpuSeconds();
            document.DecodeMore();
            list.OnDocumentUpdate();
            tickCpu += ThreadCpuSeconds() - start;
        }
        packets = document.PacketCount();

        state.PauseTiming();
        double start = ThreadCpuSeconds();
        CKVDoc offline;
        offline.OpenRecordFile(path);
        offlineCpu += ThreadCpuSeconds() - start;
        state.ResumeTiming();
    }
    const double ticks = static_cast<double>(state.iterations()) * kDenseSeconds;
    state.counters["tick_core_percent"] = tickCpu / ticks * 100.0;
    state.counters["offline_core_percent"] = offlineCpu / ticks * 100.0;
    state.counters["bytes_per_second"] = static_cast<double>(perSecond);
    state.counters["packets"] = static_cast<double>(packets);
}

}  // namespace

BENCHMARK(BM_ReaderPath)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_CaptureTickPdDense)->Unit(benchmark::kMillisecond)->Iterations(2);

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
