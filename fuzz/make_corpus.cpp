// Writes seed inputs for every fuzz target from the synthesizer's scenarios:
// make_corpus OUTDIR creates OUTDIR/<target>/ with a few small files each.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "device/sim/scenarios.h"
#include "device/sim/simulator.h"
#include "settings/memory_settings_backend.h"
#include "settings/settings_store.h"

namespace {

namespace fs = std::filesystem;

// Record-file bytes of a scenario kept per seed: enough for a few packets and samples.
constexpr size_t kSeedStreamBytes = 8 * 1024;
constexpr size_t kSeedPacketBytes = 2048;

bool WriteSeed(const fs::path& path, const std::vector<uint8_t>& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        std::fprintf(stderr, "make_corpus: cannot write %s\n", path.c_str());
        return false;
    }
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

std::vector<uint8_t> Head(const std::vector<uint8_t>& bytes, size_t size) {
    return {bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(std::min(size, bytes.size()))};
}

// One packet record of the packet text target: ordered set, flags, byte count, bytes.
void AppendPacketRecord(const BuiltMessage& message, std::vector<uint8_t>& out) {
    const size_t count = std::min<size_t>(message.bytes.size(), 255);
    out.push_back(static_cast<uint8_t>(message.orderedSet - 1));
    out.push_back(0x07);  // CRC good, bytes assembled, preamble found
    out.push_back(static_cast<uint8_t>(count));
    out.insert(out.end(), message.bytes.begin(), message.bytes.begin() + count);
}

bool WriteScenarioSeeds(const fs::path& out, const ScenarioInfo& scenario) {
    SimulationOptions options;
    options.scenario = scenario.name;
    options.seconds = 2.0;
    const auto result = Simulate(options);
    if (!result) {
        return false;
    }
    const std::string name = scenario.name;
    std::vector<uint8_t> file = Head(result->stream, kSeedStreamBytes);
    bool ok = WriteSeed(out / "document" / (name + ".zaz"), file);

    std::vector<uint8_t> chunked{7};  // chunk size byte of the stream target
    chunked.insert(chunked.end(), file.begin(), file.end());
    ok = WriteSeed(out / "record_stream" / name, chunked) && ok;

    std::vector<uint8_t> packets;
    int edgeSeeds = 0;
    for (const BuiltMessage& message : result->messages) {
        if (packets.size() < kSeedPacketBytes && !message.bytes.empty()) {
            AppendPacketRecord(message, packets);
        }
        if (edgeSeeds < 3 && !message.edgeTicks.empty()) {
            std::vector<uint8_t> edges{static_cast<uint8_t>(message.clockDivider - 1),
                                       static_cast<uint8_t>(message.ccLine)};
            edges.insert(edges.end(), message.edgeTicks.begin(), message.edgeTicks.end());
            ok = WriteSeed(out / "bmc_decode" / (name + std::to_string(edgeSeeds++)), edges) && ok;
        }
    }
    ok = WriteSeed(out / "packet_text" / name, packets) && ok;
    if (result->stream.size() >= 64) {
        ok = WriteSeed(out / "info_block" / name,
                       {result->stream.begin() + 2, result->stream.begin() + 64}) &&
             ok;
    }
    return ok;
}

bool WriteSettingsSeed(const fs::path& out) {
    MemorySettingsBackend backend;
    SaveSettings(backend, SettingsStore{});
    const auto layout = backend.ReadBinary(kLayoutValueName).value_or(std::vector<uint8_t>{});
    const auto column = backend.ReadBinary("ColumnInfo0").value_or(std::vector<uint8_t>{});
    const auto font = backend.ReadBinary(kGraphFontName).value_or(std::vector<uint8_t>{});
    std::vector<uint8_t> seed{static_cast<uint8_t>(layout.size()),
                              static_cast<uint8_t>(column.size()), 0};
    seed.insert(seed.end(), layout.begin(), layout.end());
    seed.insert(seed.end(), column.begin(), column.end());
    seed.insert(seed.end(), font.begin(), font.end());
    return WriteSeed(out / "settings_blob" / "defaults", seed);
}

// A 4 MHz session with a few level changes on CC1, and one at 1 Hz, in the sr_import fuzzer's
// layout: metadata length, metadata, samples.
bool WriteSessionSeeds(const fs::path& out) {
    bool ok = true;
    for (const char* rate : {"4 MHz", "1 Hz"}) {
        const std::string metadata =
            std::string("[device 1]\ncapturefile=logic-1\ntotal probes=2\n") +
            "samplerate=" + rate + "\nprobe1=CC1\nprobe2=CC2\nunitsize=1\n";
        std::vector<uint8_t> seed = {static_cast<uint8_t>(metadata.size() & 0xFF),
                                     static_cast<uint8_t>(metadata.size() >> 8)};
        seed.insert(seed.end(), metadata.begin(), metadata.end());
        uint8_t level = 0;
        for (int i = 0; i < 400; ++i) {
            level ^= (i % 7 == 0) ? 1 : 0;
            seed.push_back(level);
        }
        ok = WriteSeed(out / "sr_import" / (std::string("session-") + rate[0]), seed) && ok;
    }
    return ok;
}

// Command lines in the cli_args fuzzer's layout: a command byte, then NUL-separated words.
bool WriteArgumentSeeds(const fs::path& out) {
    using namespace std::string_literals;
    const std::vector<std::string> lines = {
        "export\0a.zaz\0--type\0zaz\0--from\0packet:1\0--to\0marker:B"s,
        "capture\0--virtual\0--seconds\0001.5\0--folder\0d\0--caption\0x"s,
        "simulate\0spr\0-o\0a.zaz\0--seconds\0002\0--jitter\0000.1"s,
        "decode\0a.zaz\0--filter\0--set\0SOP=off\0--text\0Source"s,
        "measure\0a.zaz\0--from\0-5\0--to-packet\0003"s,
        "stitch\0R_0001.zaz\0--to\0R_0003.zaz\0-o\0out.zaz"s,
        "import-sr\0a.sr\0-o\0b.zaz\0--cc1\0D0\0--cc2\0none"s,
    };
    bool ok = true;
    for (const std::string& line : lines) {
        const std::string name = line.substr(0, line.find('\0'));
        const auto& commands = CliCommands();
        for (size_t i = 0; i < commands.size(); ++i) {
            if (name == commands[i].name) {
                std::vector<uint8_t> seed = {static_cast<uint8_t>(i)};
                seed.insert(seed.end(), line.begin() + static_cast<long>(name.size()) + 1,
                            line.end());
                ok = WriteSeed(out / "cli_args" / name, seed) && ok;
            }
        }
    }
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_corpus OUTDIR\n");
        return 2;
    }
    const fs::path out = argv[1];
    for (const char* target : {"document", "record_stream", "bmc_decode", "packet_text",
                               "info_block", "settings_blob", "sr_import", "cli_args"}) {
        fs::create_directories(out / target);
    }
    bool ok = WriteSettingsSeed(out) && WriteSessionSeeds(out) && WriteArgumentSeeds(out);
    for (const ScenarioInfo& scenario : Scenarios()) {
        if (std::string(scenario.name) != "long") {
            ok = WriteScenarioSeeds(out, scenario) && ok;
        }
    }
    return ok ? 0 : 1;
}
