// sigrok sessions through the import and export: a hand-written session at 4 MHz, synthesized
// record files exported and imported back, and files that are no sessions.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "capture/collecting_sink.h"
#include "capture/document.h"
#include "capture/record_stream.h"
#include "capture/temp_files.h"
#include "device/sim/simulator.h"
#include "pd/bmc_encoding.h"
#include "tools/sigrok/sr_export.h"
#include "tools/sigrok/sr_import.h"
#include "tools/sigrok/sr_zip.h"
#include "tools/sr_sessions.h"

namespace {

CollectingSink ParseRecordFile(const std::string& path) {
    const std::vector<uint8_t> bytes = ReadFile(path);
    CollectingSink sink;
    RecordStreamParser parser;
    parser.Feed(bytes, sink);
    return sink;
}

constexpr const char* kFourMegahertz =
    "[global]\nsigrok version=0.5.1\n\n[device 1]\ncapturefile=logic-1\ntotal probes=2\n"
    "samplerate=4 MHz\ntotal analog=0\nprobe1=D0\nprobe2=CC1\nunitsize=1\n";

// A GoodCRC at 4 MHz: half bits of 7 samples (1.75 us), full bits of 13 (3.25 us), starting
// after 100 idle samples on channel 2.
struct HandSession {
    std::vector<uint8_t> intervals =
        bmc::Intervals(bmc::MessageBits(bmc::kSop, bmc::GoodCrcBytes()), 13, 7);
    std::vector<uint64_t> toggles;
    HandSession() {
        uint64_t at = 100;
        toggles.push_back(at);
        for (const uint8_t interval : intervals) {
            at += interval;
            toggles.push_back(at);
        }
    }
};

TEST(SrImport, HandWrittenFourMegahertzSessionImportsAtDividerTwelveExactly) {
    TempDir dir;
    const HandSession hand;
    const std::string samples = LogicSamples(hand.toggles, hand.toggles.back() + 400, 1);
    // Split across two data files in the middle of the burst.
    WriteSession(dir.File("hand.sr"), kFourMegahertz,
                 {samples.substr(0, 1000), samples.substr(1000)});

    std::string error;
    const auto result = ImportSigrokSession(dir.File("hand.sr"), dir.File("hand.zaz"), {}, error);
    ASSERT_TRUE(result) << error;
    EXPECT_EQ(result->tickBase.divider, 12);
    EXPECT_TRUE(result->tickBase.exact);
    EXPECT_EQ(result->cc1Channel, 2);  // named CC1
    EXPECT_EQ(result->cc2Channel, 0);  // a named line leaves the unnamed channels alone
    EXPECT_EQ(result->samples, samples.size());
    EXPECT_EQ(result->transitions[0], hand.toggles.size());

    const CollectingSink sink = ParseRecordFile(dir.File("hand.zaz"));
    ASSERT_EQ(sink.packets.size(), 1u);
    EXPECT_EQ(sink.packets[0]->ccLine, 0);
    EXPECT_EQ(sink.packets[0]->clockDivider, 12);
    EXPECT_EQ(EntriesOf(*sink.packets[0]), hand.intervals);

    CKVDoc doc;
    ASSERT_TRUE(doc.OpenRecordFile(dir.File("hand.zaz")));
    ASSERT_EQ(doc.PacketCount(), 1u);
    const PacketPtr packet = doc.PacketAt(0);
    EXPECT_TRUE(packet->crcOk);
    EXPECT_EQ(packet->messageByteCount, 2);
    EXPECT_EQ(packet->messageBytes[0], 0xA1);
    EXPECT_EQ(packet->messageBytes[1], 0x0B);
    EXPECT_EQ(packet->relTime, 25);  // 100 samples at 4 MHz after the session start
}

TEST(SrImport, ChannelsChosenByNumberOrNameAndRefusedWhenUnknown) {
    TempDir dir;
    const HandSession hand;
    WriteSession(dir.File("hand.sr"), kFourMegahertz,
                 {LogicSamples(hand.toggles, hand.toggles.back() + 400, 1)});
    std::string error;
    SrImportOptions swapped{"none", "2"};
    const auto result = ImportSigrokSession(dir.File("hand.sr"), dir.File("b.zaz"), swapped, error);
    ASSERT_TRUE(result) << error;
    const CollectingSink sink = ParseRecordFile(dir.File("b.zaz"));
    ASSERT_EQ(sink.packets.size(), 1u);
    EXPECT_EQ(sink.packets[0]->ccLine, 1);

    EXPECT_FALSE(ImportSigrokSession(dir.File("hand.sr"), dir.File("c.zaz"), {"CC3", ""}, error));
    EXPECT_EQ(error, "no channel 'CC3'");
    EXPECT_FALSE(ImportSigrokSession(dir.File("hand.sr"), dir.File("c.zaz"), {"2", "cc1"}, error));
    EXPECT_EQ(error, "CC1 and CC2 cannot share one channel");
    EXPECT_FALSE(
        ImportSigrokSession(dir.File("hand.sr"), dir.File("c.zaz"), {"none", "none"}, error));
    EXPECT_EQ(error, "no channel chosen for CC1 or CC2");
}

TEST(SrImport, RefusesWhatIsNoSession) {
    TempDir dir;
    std::string error;
    WriteFile(dir.File("text.sr"), {'n', 'o', 't', ' ', 'z', 'i', 'p'});
    EXPECT_FALSE(ImportSigrokSession(dir.File("text.sr"), dir.File("o.zaz"), {}, error));
    EXPECT_NE(error.find("as a sigrok session"), std::string::npos) << error;
    EXPECT_FALSE(ImportSigrokSession(dir.File("missing.sr"), dir.File("o.zaz"), {}, error));

    {
        SrZipWriter archive(dir.File("empty.sr"));
        ASSERT_TRUE(archive.AddText("version", "2"));
        ASSERT_TRUE(archive.Close());
    }
    EXPECT_FALSE(ImportSigrokSession(dir.File("empty.sr"), dir.File("o.zaz"), {}, error));
    EXPECT_EQ(error, "'" + dir.File("empty.sr") + "' has no readable metadata");

    {
        SrZipWriter archive(dir.File("nodata.sr"));
        ASSERT_TRUE(archive.AddText("metadata", kFourMegahertz));
        ASSERT_TRUE(archive.Close());
    }
    EXPECT_FALSE(ImportSigrokSession(dir.File("nodata.sr"), dir.File("o.zaz"), {}, error));
    EXPECT_EQ(error, "'" + dir.File("nodata.sr") + "' has no sample data 'logic-1'");
}

// Export and import again: every packet keeps its line, divider and edge intervals, and its
// start time relative to the first sample within a microsecond.
void ExpectRoundTrip(const std::string& scenario, int divider, double seconds = 1.0) {
    TempDir dir;
    SimulationOptions options;
    options.scenario = scenario;
    options.clockDivider = divider;
    options.seconds = seconds;
    std::string error;
    ASSERT_TRUE(SimulateToFile(options, dir.File("a.zaz"), error)) << error;

    const auto exported = ExportSigrokSession(dir.File("a.zaz"), dir.File("a.sr"), error);
    ASSERT_TRUE(exported) << error;
    EXPECT_EQ(exported->sampleRate, 48000000u / static_cast<unsigned>(divider));
    const auto imported = ImportSigrokSession(dir.File("a.sr"), dir.File("b.zaz"), {}, error);
    ASSERT_TRUE(imported) << error;
    EXPECT_EQ(imported->tickBase.divider, divider);
    EXPECT_TRUE(imported->tickBase.exact);

    const CollectingSink before = ParseRecordFile(dir.File("a.zaz"));
    const CollectingSink after = ParseRecordFile(dir.File("b.zaz"));
    ASSERT_FALSE(before.packets.empty());
    ASSERT_FALSE(before.samples.empty());
    ASSERT_EQ(after.packets.size(), before.packets.size());
    for (size_t i = 0; i < before.packets.size(); ++i) {
        const CCCPacket& a = *before.packets[i];
        const CCCPacket& b = *after.packets[i];
        EXPECT_EQ(b.ccLine, a.ccLine) << i;
        EXPECT_EQ(b.clockDivider, a.clockDivider) << i;
        EXPECT_EQ(EntriesOf(b), EntriesOf(a)) << i;
    }
    // Start times on each file's own scale: the first sample is time 0.
    CKVDoc docA;
    CKVDoc docB;
    ASSERT_TRUE(docA.OpenRecordFile(dir.File("a.zaz")));
    ASSERT_TRUE(docB.OpenRecordFile(dir.File("b.zaz")));
    ASSERT_EQ(docB.PacketCount(), docA.PacketCount());
    for (size_t i = 0; i < docA.PacketCount(); ++i) {
        EXPECT_NEAR(docB.PacketAt(i)->relTime, docA.PacketAt(i)->relTime, 1) << i;
        EXPECT_EQ(docB.PacketAt(i)->crcOk, docA.PacketAt(i)->crcOk) << i;
    }
}

TEST(SrRoundTrip, ExportedSessionImportsToTheSameIntervals) {
    ExpectRoundTrip("spr", 20);
    ExpectRoundTrip("noisy", 10);
    // PD traffic every few seconds at 2.4 MHz: most data files are quiet and copied from one
    // deflated run per level.
    ExpectRoundTrip("long", 20, 60.0);
}

// One deflated run serves several members; each reads back whole (libzip checks the CRC).
TEST(SrZip, DeflatedRunsAreCopiedAndReadBackWhole) {
    TempDir dir;
    const std::shared_ptr<const SrDeflatedBytes> run = DeflateRun(3, kSrChunkSamples);
    ASSERT_TRUE(run);
    EXPECT_EQ(run->size, kSrChunkSamples);
    EXPECT_LT(run->stream.size(), kSrChunkSamples / 500);
    {
        SrZipWriter archive(dir.File("runs.zip"));
        ASSERT_TRUE(archive.AddDeflated("a", run));
        ASSERT_TRUE(archive.AddDeflated("b", run));
        ASSERT_TRUE(archive.Close());
    }
    SrZipReader archive(dir.File("runs.zip"));
    for (const char* name : {"a", "b"}) {
        uint64_t total = 0;
        bool allThree = true;
        EXPECT_TRUE(archive.ReadPieces(name, 65536, [&](const uint8_t* data, size_t size) {
            allThree = allThree && std::all_of(data, data + size, [](uint8_t b) { return b == 3; });
            total += size;
            return true;
        })) << archive.Error();
        EXPECT_EQ(total, kSrChunkSamples) << name;
        EXPECT_TRUE(allThree) << name;
    }
}

TEST(SrExport, RefusesAFileWithoutPackets) {
    TempDir dir;
    std::string error;
    EXPECT_FALSE(ExportSigrokSession(dir.File("missing.zaz"), dir.File("o.sr"), error));
    EXPECT_EQ(error, "cannot read '" + dir.File("missing.zaz") + "'");
    WriteFile(dir.File("empty.zaz"), std::vector<uint8_t>(64, 0));
    EXPECT_FALSE(ExportSigrokSession(dir.File("empty.zaz"), dir.File("o.sr"), error));
    EXPECT_EQ(error, "'" + dir.File("empty.zaz") + "' holds no CC packet");
}

}  // namespace
