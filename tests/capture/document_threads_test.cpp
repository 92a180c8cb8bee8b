// The document decodes a record file that another thread is still appending to, as during a
// live capture, while a third thread reads its arrays under the document lock.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "capture/document.h"
#include "device/sim/simulator.h"
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
        while (decoding) {
            std::lock_guard lock(doc.Mutex());
            for (size_t i = 0; i < doc.PacketCount(); ++i) {
                const PacketPtr packet = doc.PacketAt(i);
                EXPECT_EQ(packet->packetNumber, static_cast<int32_t>(i));
                lastSeen = std::max(lastSeen, packet->relTime);
            }
            if (doc.SampleCount() > 0) {
                EXPECT_TRUE(doc.SampleAt(doc.SampleCount() - 1).has_value());
            }
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
