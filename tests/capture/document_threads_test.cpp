// The document decodes a record file that another thread is still appending to, as during a
// live capture, while other threads read it through snapshots and the reads that take its lock.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <future>
#include <optional>
#include <thread>

#include "capture/document.h"
#include "change_log.h"
#include "device/sim/simulator.h"
#include "hostile_streams.h"
#include "temp_files.h"

namespace {

std::vector<uint8_t> MixedCapture() {
    SimulationOptions options;
    options.scenario = "mixed";
    options.seconds = 3.0;
    std::optional<SimulationResult> result = Simulate(options);
    return result ? result->stream : std::vector<uint8_t>{};
}

}  // namespace

TEST(DocumentThreads, DecodesWhileTheFileGrowsAndViewsRead) {
    TempDir dir;
    const std::vector<uint8_t> capture = MixedCapture();
    ASSERT_GT(capture.size(), 64u * 100);
    const std::string path = dir.File("live.zaz");
    WriteFile(path, {});

    std::atomic<bool> writing{true};
    std::thread writer([&] {
        // Chunk sizes that are not multiples of a block, like the reader thread's reads.
        size_t pos = 0;
        size_t chunk = 1000;
        while (pos < capture.size()) {
            size_t size = std::min(chunk, capture.size() - pos);
            WriteFile(path, {capture.begin() + pos, capture.begin() + pos + size}, true);
            pos += size;
            chunk = chunk * 7 % 9001 + 500;
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        writing = false;
    });

    CKVDoc doc;
    std::atomic<bool> decoding{true};
    std::thread viewer([&] {
        int64_t lastSeen = 0;
        size_t seenPackets = 0;
        while (decoding) {
            const DocumentSnapshot snapshot = doc.Snapshot();
            const std::vector<PacketPtr>& packets = snapshot.packets;
            for (size_t i = 0; i < packets.size(); ++i) {
                if (i > 0) {
                    EXPECT_LE(packets[i - 1]->relTime, packets[i]->relTime);
                }
                lastSeen = std::max(lastSeen, packets[i]->relTime);
            }
            // Nothing is trimmed: the document never holds fewer packets or samples than a
            // snapshot taken before, and the reads that take the lock agree with it.
            EXPECT_GE(packets.size(), seenPackets);
            seenPackets = packets.size();
            EXPECT_GE(doc.PacketCount(), packets.size());
            if (!packets.empty()) {
                EXPECT_EQ(doc.PacketAt(packets.size() - 1), packets.back());
            }
            if (!snapshot.samples.Empty()) {
                const std::optional<CVbusInfo> last = doc.SampleAt(snapshot.samples.Size() - 1);
                ASSERT_TRUE(last.has_value());
                EXPECT_EQ(last->time, snapshot.samples.Time(snapshot.samples.Size() - 1));
                EXPECT_EQ(doc.SampleAtOrBefore(last->time)->time, last->time);
            }
            EXPECT_GE(doc.Stats().maxVoltage, snapshot.stats.maxVoltage);
        }
        EXPECT_GE(lastSeen, 0);
    });

    doc.DecodeAll(path);
    while (writing) {
        doc.DecodeMore();
    }
    writer.join();
    doc.DecodeMore();
    decoding = false;
    viewer.join();

    CKVDoc whole;
    ASSERT_TRUE(whole.OpenRecordFile(path));
    ASSERT_EQ(doc.PacketCount(), whole.PacketCount());
    EXPECT_EQ(doc.SampleCount(), whole.SampleCount());
    for (size_t i = 0; i < whole.PacketCount(); ++i) {
        EXPECT_EQ(doc.PacketAt(i)->relTime, whole.PacketAt(i)->relTime) << i;
        EXPECT_EQ(doc.PacketAt(i)->orderedSetKind, whole.PacketAt(i)->orderedSetKind) << i;
    }
}

namespace {

// What a reader sees of a snapshot: every sample time and value, every packet time.
uint64_t Fingerprint(const DocumentSnapshot& snapshot) {
    uint64_t hash = 1469598103934665603ull;
    auto mix = [&hash](int64_t v) { hash = (hash ^ static_cast<uint64_t>(v)) * 1099511628211ull; };
    for (size_t i = 0; i < snapshot.samples.Size(); ++i) {
        mix(snapshot.samples.Time(i));
        mix(snapshot.samples.At(i).vbusVoltage);
    }
    // Every field the document once wrote into stored packets, and the marks.
    for (const PacketPtr& packet : snapshot.packets) {
        mix(packet->relTime);
        mix(packet->vbusVoltage);
        mix(packet->port);
        mix(snapshot.marks.Contains(*packet) ? 1 : 0);
    }
    return hash;
}

}  // namespace

TEST(DocumentThreads, SnapshotReadersOutliveGrowthAndAutoRemove) {
    TempDir dir;
    const std::vector<uint8_t> capture = MixedCapture();
    const std::string path = dir.File("live.zaz");
    WriteFile(path, {});

    CKVDoc doc;
    ChangeLog log(doc);
    // Small limits so that both arrays are trimmed from the front many times.
    doc.SetLimits(20, 500, true, true);
    std::atomic<bool> decoding{true};
    std::atomic<int> snapshotsChecked{0};
    std::thread reader([&] {
        while (decoding) {
            DocumentSnapshot snapshot = doc.Snapshot();
            const uint64_t seen = Fingerprint(snapshot);
            const SampleSnapshot& samples = snapshot.samples;
            for (size_t i = 1; i < samples.Size(); ++i) {
                ASSERT_LE(samples.Time(i - 1), samples.Time(i));
            }
            for (size_t i = 1; i < snapshot.packets.size(); ++i) {
                ASSERT_LE(snapshot.packets[i - 1]->relTime, snapshot.packets[i]->relTime);
            }
            if (!samples.Empty()) {
                ValueExtremes range =
                    samples.Extremes(0, samples.Size() - 1, PlotValue::VbusVoltage);
                int32_t walkedMax = 0;
                for (size_t i = 0; i < samples.Size(); ++i) {
                    walkedMax = std::max<int32_t>(walkedMax, samples.At(i).vbusVoltage);
                }
                EXPECT_EQ(range.max, walkedMax);
            }
            // Hold it while the document decodes, trims and grows, then read it again.
            std::this_thread::sleep_for(std::chrono::microseconds(300));
            EXPECT_EQ(Fingerprint(snapshot), seen);
            ++snapshotsChecked;
        }
    });

    size_t pos = 0;
    while (pos < capture.size()) {
        size_t size = std::min<size_t>(4096 + 64 * 37, capture.size() - pos);
        WriteFile(path, {capture.begin() + pos, capture.begin() + pos + size}, true);
        pos += size;
        if (doc.RecordFilePath().empty()) {
            doc.DecodeAll(path);
        } else {
            doc.DecodeMore();
        }
    }
    while (snapshotsChecked < 20) {
        std::this_thread::yield();
    }
    decoding = false;
    reader.join();
    // Both arrays were trimmed from the front along the way.
    CKVDoc whole;
    ASSERT_TRUE(whole.OpenRecordFile(path));
    EXPECT_TRUE(std::any_of(log.changes.begin(), log.changes.end(), [](const PacketChange& c) {
        return c.kind == PacketChange::Kind::kFrontTrimmed;
    }));
    EXPECT_LT(doc.PacketCount(), whole.PacketCount());
    EXPECT_LT(doc.SampleCount(), whole.SampleCount());
}

namespace {

// The packets as an observer knows them by following the change events alone.
class PacketMirror : public CKVDocObserver {
  public:
    explicit PacketMirror(CKVDoc& doc) : doc_(doc) { doc_.AddObserver(this); }
    ~PacketMirror() override { doc_.RemoveObserver(this); }
    PacketMirror(const PacketMirror&) = delete;
    PacketMirror& operator=(const PacketMirror&) = delete;

    void OnPacketsChanged(const PacketChange& change) override {
        using Kind = PacketChange::Kind;
        const std::vector<PacketPtr>& now = doc_.Packets();
        ++seen[static_cast<size_t>(change.kind)];
        switch (change.kind) {
            case Kind::kReset:
                packets.clear();
                return;
            case Kind::kFrontTrimmed:
                ASSERT_LE(change.first, packets.size());
                packets.erase(packets.begin(),
                              packets.begin() + static_cast<ptrdiff_t>(change.first));
                return;
            case Kind::kAppended:
                ASSERT_EQ(change.first, packets.size());
                break;
            case Kind::kMerged:
                ASSERT_LT(change.first, packets.size());
                packets.resize(change.first);
                break;
        }
        ASSERT_EQ(change.last, now.size());
        packets.insert(packets.end(), now.begin() + static_cast<ptrdiff_t>(change.first),
                       now.end());
    }

    std::vector<PacketPtr> packets;
    std::array<int, 4> seen{};

  private:
    CKVDoc& doc_;
};

}  // namespace

// A live capture whose CC2 packets arrive a burst late grows and is trimmed from the front while
// a worker reads snapshots: the worker's snapshots stay as they were taken, and an observer that
// only follows the change events holds exactly the document's packets after every decode.
TEST(DocumentThreads, ChangeEventsFollowGrowthMergesAndTrimsWhileAWorkerReadsSnapshots) {
    TempDir dir;
    const std::vector<uint8_t> capture = hostile::LaggingLines(300, 3);
    const std::string path = dir.File("live.zaz");
    WriteFile(path, {});
    CKVDoc doc;
    doc.SetLimits(100, kDefaultMaxVbusCount, true, false);
    PacketMirror mirror(doc);
    std::atomic<bool> decoding{true};
    std::atomic<int> snapshotsChecked{0};
    std::thread worker([&] {
        while (decoding) {
            const DocumentSnapshot snapshot = doc.Snapshot();
            const uint64_t seen = Fingerprint(snapshot);
            for (size_t i = 1; i < snapshot.packets.size(); ++i) {
                ASSERT_LE(snapshot.packets[i - 1]->relTime, snapshot.packets[i]->relTime);
            }
            std::this_thread::sleep_for(std::chrono::microseconds(200));
            EXPECT_EQ(Fingerprint(snapshot), seen);
            ++snapshotsChecked;
        }
    });
    size_t pos = 0;
    size_t chunk = 700;
    while (pos < capture.size()) {
        const size_t size = std::min(chunk, capture.size() - pos);
        WriteFile(path, {capture.begin() + pos, capture.begin() + pos + size}, true);
        pos += size;
        chunk = chunk * 7 % 3001 + 300;
        if (doc.RecordFilePath().empty()) {
            doc.OpenRecordFile(path);
        } else {
            doc.DecodeMore();
        }
        ASSERT_EQ(mirror.packets, doc.Packets());
        // The user marks and unmarks rows while the worker reads its snapshots.
        if (doc.PacketCount() != 0) {
            doc.SetMarked(doc.PacketAt(pos % doc.PacketCount()), (pos & 1) != 0);
        }
    }
    while (snapshotsChecked < 10) {
        std::this_thread::yield();
    }
    decoding = false;
    worker.join();
    using Kind = PacketChange::Kind;
    EXPECT_GT(mirror.seen[static_cast<size_t>(Kind::kAppended)], 0);
    EXPECT_GT(mirror.seen[static_cast<size_t>(Kind::kMerged)], 0);
    EXPECT_GT(mirror.seen[static_cast<size_t>(Kind::kFrontTrimmed)], 0);
}

namespace {

constexpr auto kPatience = std::chrono::seconds(5);

// Grows path by the capture in steps, decoding after each as the capture tick does.
void DecodeInSteps(CKVDoc& doc, const std::string& path, const std::vector<uint8_t>& capture) {
    WriteFile(path, {});
    size_t pos = 0;
    while (pos < capture.size()) {
        const size_t size = std::min<size_t>(64 * 97, capture.size() - pos);
        WriteFile(path, {capture.begin() + pos, capture.begin() + pos + size}, true);
        pos += size;
        if (doc.RecordFilePath().empty()) {
            doc.OpenRecordFile(path);
        } else {
            doc.DecodeMore();
        }
    }
}

// Each callback hands a read of the document to another thread and waits for it, as a view that
// waits for a worker would. With the lock held during the callback the read could not finish.
class WaitingObserver : public CKVDocObserver {
  public:
    explicit WaitingObserver(CKVDoc& doc) : doc_(doc) { doc_.AddObserver(this); }
    ~WaitingObserver() override { doc_.RemoveObserver(this); }
    WaitingObserver(const WaitingObserver&) = delete;
    WaitingObserver& operator=(const WaitingObserver&) = delete;

    void OnPacketsChanged(const PacketChange& change) override {
        const std::optional<size_t> count = ReadElsewhere();
        if (count && (change.kind == PacketChange::Kind::kAppended ||
                      change.kind == PacketChange::Kind::kMerged)) {
            // The other thread sees the document as the observer is told about it.
            EXPECT_EQ(*count, change.last);
        }
    }
    void OnContentsChanged() override {
        const std::optional<size_t> count = ReadElsewhere();
        if (count) {
            EXPECT_EQ(*count, doc_.Packets().size());
        }
    }

    int reads = 0;
    bool stuck = false;

  private:
    // The packet count another thread reads, or none when it did not finish in time.
    std::optional<size_t> ReadElsewhere() {
        if (stuck) {
            return std::nullopt;
        }
        std::future<size_t> read = std::async(std::launch::async, [this] {
            const DocumentSnapshot snapshot = doc_.Snapshot();
            EXPECT_EQ(doc_.PacketCount(), snapshot.packets.size());
            return snapshot.packets.size();
        });
        if (read.wait_for(kPatience) != std::future_status::ready) {
            stuck = true;
            blocked_ = std::move(read);  // finishes once the document lets go
            return std::nullopt;
        }
        ++reads;
        return read.get();
    }

    CKVDoc& doc_;
    std::future<size_t> blocked_;
};

}  // namespace

TEST(DocumentThreads, AnObserverMayWaitForAnotherThreadThatReadsTheDocument) {
    TempDir dir;
    const std::vector<uint8_t> capture = MixedCapture();
    CKVDoc doc;
    WaitingObserver observer(doc);
    DecodeInSteps(doc, dir.File("live.zaz"), capture);
    doc.Clear();
    EXPECT_FALSE(observer.stuck);
    EXPECT_GT(observer.reads, 20);
}

// A reader thread keeps taking snapshots; the observer of each change waits until the reader has
// taken two more: the second began after the callback did, so it shows the document as the
// observer is told about it.
TEST(DocumentThreads, AReaderTakesSnapshotsWhileAnObserverOfTheWriterRuns) {
    TempDir dir;
    const std::vector<uint8_t> capture = MixedCapture();
    CKVDoc doc;
    std::atomic<bool> reading{true};
    std::atomic<size_t> snapshots{0};
    std::atomic<size_t> lastCount{0};
    std::thread reader([&] {
        while (reading) {
            const DocumentSnapshot snapshot = doc.Snapshot();
            lastCount = snapshot.packets.size();
            ++snapshots;
            std::this_thread::sleep_for(std::chrono::microseconds(50));
        }
    });
    struct Observer : CKVDocObserver {
        void OnContentsChanged() override {
            if (stuck) {
                return;
            }
            const size_t before = snapshots->load();
            const auto deadline = std::chrono::steady_clock::now() + kPatience;
            while (snapshots->load() < before + 2 && std::chrono::steady_clock::now() < deadline) {
                std::this_thread::yield();
            }
            if (snapshots->load() < before + 2) {
                stuck = true;
                return;
            }
            EXPECT_EQ(lastCount->load(), doc->Packets().size());
            ++waits;
        }
        const CKVDoc* doc = nullptr;
        const std::atomic<size_t>* snapshots = nullptr;
        const std::atomic<size_t>* lastCount = nullptr;
        int waits = 0;
        bool stuck = false;  // no snapshot was taken while the observer ran
    } observer;
    observer.doc = &doc;
    observer.snapshots = &snapshots;
    observer.lastCount = &lastCount;
    doc.AddObserver(&observer);
    DecodeInSteps(doc, dir.File("live.zaz"), capture);
    doc.RemoveObserver(&observer);
    reading = false;
    reader.join();
    EXPECT_FALSE(observer.stuck);
    EXPECT_GT(observer.waits, 20);
    EXPECT_GT(doc.PacketCount(), 0u);
}
