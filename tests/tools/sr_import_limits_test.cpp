// Sessions a hostile or unlucky user might import: a long session at a very low sample rate,
// an output that is the session itself (also through links), an import that fails over an
// existing file, and the temporary import behind `info s.sr`.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "capture/collecting_sink.h"
#include "capture/record_stream.h"
#include "capture/temp_files.h"
#include "device/sim/simulator.h"
#include "tools/sigrok/sr_export.h"
#include "tools/sigrok/sr_import.h"
#include "tools/sr_sessions.h"

namespace {

CollectingSink Parse(const std::string& path) {
    CollectingSink sink;
    RecordStreamParser parser;
    parser.Feed(ReadFile(path), sink);
    return sink;
}

// The names in a folder, for "nothing else was left behind".
std::vector<std::string> Names(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

const std::vector<uint8_t> kPrecious = {'k', 'e', 'e', 'p', ' ', 'm', 'e'};

// A capture and its session: the conversions' inputs.
void WriteCaptureAndSession(const TempDir& dir) {
    SimulationOptions options;
    options.scenario = "spr";
    options.seconds = 0.3;
    std::string error;
    ASSERT_TRUE(SimulateToFile(options, dir.File("c.zaz"), error)) << error;
    ASSERT_TRUE(ExportSigrokSession(dir.File("c.zaz"), dir.File("b.sr"), error)) << error;
}

TEST(SrImportLimits, TenMinutesAtTenKilohertzGrowWithTheEdgesNotTheLength) {
    TempDir dir;
    // 600 s of samples, CC1 toggling every 2 samples for 40 samples at 10 s and at 300 s.
    const uint64_t total = 6000000;
    std::vector<uint64_t> toggles;
    for (const uint64_t start : {100000, 3000000}) {
        for (uint64_t i = 0; i < 40; i += 2) {
            toggles.push_back(start + i);
        }
    }
    WriteSession(dir.File("slow.sr"), SessionMetadata("10 kHz"), {LogicSamples(toggles, total, 0)});
    std::string error;
    const auto result = ImportSigrokSession(dir.File("slow.sr"), dir.File("slow.zaz"), {}, error);
    ASSERT_TRUE(result) << error;
    EXPECT_EQ(result->samples, total);
    EXPECT_EQ(result->transitions[0], 40u);

    const CollectingSink sink = Parse(dir.File("slow.zaz"));
    ASSERT_FALSE(sink.samples.empty());
    // Readings from session time 0 to the session end, never more than a second apart, about
    // one a second: a reading every 10 ms would be 60 001 of them.
    EXPECT_EQ(sink.samples.front().time, 0);
    EXPECT_EQ(sink.samples.back().time, 600000000);
    for (size_t i = 1; i < sink.samples.size(); ++i) {
        EXPECT_GT(sink.samples[i].time, sink.samples[i - 1].time) << i;
        EXPECT_LE(sink.samples[i].time - sink.samples[i - 1].time, 1000000) << i;
    }
    // One a second, and a few next to each edge block (which spans well under 100 ms here).
    EXPECT_LE(sink.samples.size(), 601u + 12 * result->edgeBlocks);
    EXPECT_EQ(result->sampleBlocks * 64 + result->edgeBlocks * 64 + 64,
              std::filesystem::file_size(dir.File("slow.zaz")));
    // Each burst (10 s, 300 s; 4 ms long) has readings within one 10 ms step before it starts
    // and after it ends.
    for (const int64_t start : {10000000, 300000000}) {
        bool before = false;
        bool after = false;
        for (const CVbusInfo& sample : sink.samples) {
            before = before || (sample.time <= start && start - sample.time <= 10000);
            after = after || (sample.time > start + 4000 && sample.time - start - 4000 <= 10000);
        }
        EXPECT_TRUE(before && after) << start;
    }
}

TEST(SrImportLimits, SessionsLongerThanTheLimitAreRefusedBeforeTheOutputIsTouched) {
    TempDir dir;
    // 16 MiB of samples at 1 Hz: 194 days.
    WriteSession(dir.File("s.sr"), SessionMetadata("1 Hz"), {std::string(16 << 20, '\0')});
    WriteFile(dir.File("existing.zaz"), kPrecious);
    std::string error;
    EXPECT_FALSE(ImportSigrokSession(dir.File("s.sr"), dir.File("existing.zaz"), {}, error));
    EXPECT_EQ(error,
              "'" + dir.File("s.sr") + "' is longer than the import takes (7 days of samples)");
    EXPECT_EQ(ReadFile(dir.File("existing.zaz")), kPrecious);
    EXPECT_EQ(Names(dir.Path()), (std::vector<std::string>{"existing.zaz", "s.sr"}));

    // A caller's own limits: a session length and a number of sample bytes.
    SrImportOptions shorter;
    shorter.maxSessionUs = 90000000;
    EXPECT_FALSE(ImportSigrokSession(dir.File("s.sr"), dir.File("o.zaz"), shorter, error));
    EXPECT_EQ(error,
              "'" + dir.File("s.sr") + "' is longer than the import takes (90 s of samples)");
    SrImportOptions fewer;
    fewer.maxDataBytes = 1000;
    EXPECT_FALSE(ImportSigrokSession(dir.File("s.sr"), dir.File("o.zaz"), fewer, error));
    EXPECT_EQ(error,
              "'" + dir.File("s.sr") + "' is longer than the import takes (1000 bytes of samples)");
    EXPECT_EQ(Names(dir.Path()), (std::vector<std::string>{"existing.zaz", "s.sr"}));
}

TEST(SrImportLimits, NeitherConversionWritesOntoItsInput) {
    TempDir dir;
    WriteCaptureAndSession(dir);
    const std::vector<uint8_t> session = ReadFile(dir.File("b.sr"));
    std::filesystem::create_symlink(dir.File("b.sr"), dir.File("link.sr"));
    std::filesystem::create_hard_link(dir.File("b.sr"), dir.File("hard.sr"));
    std::string error;
    for (const char* output : {"b.sr", "link.sr", "hard.sr"}) {
        EXPECT_FALSE(ImportSigrokSession(dir.File("b.sr"), dir.File(output), {}, error));
        EXPECT_EQ(error,
                  "cannot write '" + dir.File(output) + "': it is the session being imported");
    }
    EXPECT_EQ(ReadFile(dir.File("b.sr")), session);

    const std::vector<uint8_t> record = ReadFile(dir.File("c.zaz"));
    std::filesystem::create_symlink(dir.File("c.zaz"), dir.File("link.zaz"));
    std::filesystem::create_hard_link(dir.File("c.zaz"), dir.File("hard.zaz"));
    for (const char* output : {"c.zaz", "link.zaz", "hard.zaz"}) {
        EXPECT_FALSE(ExportSigrokSession(dir.File("c.zaz"), dir.File(output), error));
        EXPECT_EQ(error,
                  "cannot write '" + dir.File(output) + "': it is the record file being exported");
    }
    EXPECT_EQ(ReadFile(dir.File("c.zaz")), record);

    // An output through a symbolic link to another file replaces that file; the link stays.
    WriteFile(dir.File("other.zaz"), kPrecious);
    std::filesystem::create_symlink(dir.File("other.zaz"), dir.File("to-other.zaz"));
    ASSERT_TRUE(ImportSigrokSession(dir.File("b.sr"), dir.File("to-other.zaz"), {}, error));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("to-other.zaz")));
    EXPECT_EQ(Parse(dir.File("other.zaz")).packets.size(), Parse(dir.File("c.zaz")).packets.size());
}

TEST(SrImportLimits, TemporaryImportsGoAwayWithTheirOwner) {
    TempDir dir;
    WriteCaptureAndSession(dir);
    WriteSession(dir.File("long.sr"), SessionMetadata("1 Hz"), {std::string(1 << 20, '\0')});
    std::filesystem::create_directory(dir.File("tmp"));
    const char* previous = std::getenv("TMPDIR");
    const std::string saved = previous != nullptr ? previous : "";
    setenv("TMPDIR", dir.File("tmp").c_str(), 1);
    std::string error;
    {
        const std::unique_ptr<TemporaryImport> imported =
            ImportToTemporaryRecordFile(dir.File("b.sr"), error);
        ASSERT_TRUE(imported) << error;
        EXPECT_EQ(std::filesystem::path(imported->RecordPath()).filename(), "b.zaz");
        EXPECT_EQ(Parse(imported->RecordPath()).packets.size(),
                  Parse(dir.File("c.zaz")).packets.size());
    }
    EXPECT_TRUE(Names(dir.File("tmp")).empty());
    EXPECT_FALSE(ImportToTemporaryRecordFile(dir.File("long.sr"), error));
    EXPECT_TRUE(Names(dir.File("tmp")).empty());
    if (previous != nullptr) {
        setenv("TMPDIR", saved.c_str(), 1);
    } else {
        unsetenv("TMPDIR");
    }
}

}  // namespace
