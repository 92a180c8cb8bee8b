// zoduz-cli capture: a headless live capture with the application's naming, rollover and
// limits. The status text goes to stderr once a second; SIGINT and SIGTERM stop the capture
// cleanly (the record file gets its final InfoBlock); the record files written go to stdout.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>

#include "app/settings/settings_store.h"
#include "capture/document.h"
#include "capture/record_naming.h"
#include "cli/commands.h"
#include "cli/number_arg.h"
#include "cli/stop_signals.h"
#include "device/live/analyzer_connection.h"
#include "device/live/capture_status.h"
#include "device/live/reader_thread.h"

namespace {

constexpr const char* kUsage =
    "usage: zoduz-cli capture [--virtual [SCENARIO]] [--unpaced] [-o FILE | --folder DIR\n"
    "                         [--caption NAME]] [--seconds N] [--max-size MB] [--multi-file]\n"
    "                         [--interval MS]\n";

// Exit statuses.
constexpr int kExitRecordFile = 1;  // a record file could not be created or written
constexpr int kExitUsage = 2;
constexpr int kExitNoAnalyzer = 3;  // none connected, or it went away during the capture

struct CaptureArgs {
    bool isVirtual = false;
    std::string scenario = "mixed";
    bool unpaced = false;
    std::string output;
    std::string folder = ".";
    std::string caption = "PDCapture";
    double seconds = 0.0;  // 0: until a signal
    int maxSizeMb = 100;
    bool multiFile = false;
    int intervalMs = 10;
};

// Fills parsed; the problem as a text on a usage error.
std::optional<std::string> ParseArgs(const CliArgs& args, CaptureArgs& parsed) {
    bool haveFolder = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        const std::string value = hasValue ? args[i + 1] : std::string();
        if (arg == "--virtual") {
            parsed.isVirtual = true;
            if (hasValue && value.rfind("-", 0) != 0) {
                parsed.scenario = value;
                ++i;
            }
        } else if (arg == "--unpaced") {
            parsed.unpaced = true;
        } else if (arg == "--multi-file") {
            parsed.multiFile = true;
        } else if (!hasValue) {
            return arg.rfind("-", 0) == 0 ? arg + " needs a value" : "unexpected '" + arg + "'";
        } else if (arg == "-o" || arg == "--output") {
            parsed.output = value;
            ++i;
        } else if (arg == "--folder") {
            parsed.folder = value;
            haveFolder = true;
            ++i;
        } else if (arg == "--caption") {
            parsed.caption = value;
            ++i;
        } else if (arg == "--seconds") {
            std::optional<double> seconds = ParseNumber<double>(value);
            if (!seconds || *seconds < 0) {
                return "--seconds takes a number of seconds of 0 or more";
            }
            parsed.seconds = *seconds;
            ++i;
        } else if (arg == "--max-size") {
            std::optional<int> size = ParseNumber<int>(value);
            if (!size || *size < 1 || *size > 9999) {
                return std::string("--max-size takes 1 to 9999 (MB of 1 000 000 bytes)");
            }
            parsed.maxSizeMb = *size;
            ++i;
        } else if (arg == "--interval") {
            std::optional<int> interval = ParseNumber<int>(value);
            if (!interval || *interval < 1 || *interval > 1000) {
                return std::string("--interval takes 1 to 1000 (ms)");
            }
            parsed.intervalMs = *interval;
            ++i;
        } else {
            return "unknown option '" + arg + "'";
        }
    }
    if (!parsed.output.empty() && haveFolder) {
        return std::string("-o and --folder exclude each other");
    }
    if (parsed.unpaced && !parsed.isVirtual) {
        return std::string("--unpaced needs --virtual");
    }
    return std::nullopt;
}

// Messages of capture control go to stderr; there is no dialog to show.
class CliHost : public CaptureHost {
  public:
    void ShowMessage(const std::string& text) override {
        std::fprintf(stderr, "zoduz-cli capture: %s\n", text.c_str());
    }
    void RecordFileWriteFailed(int errorNumber) override {
        CaptureHost::RecordFileWriteFailed(errorNumber);
        writeFailed = true;
    }
    bool writeFailed = false;
};

std::unique_ptr<AnalyzerConnection> OpenAnalyzer(const CaptureArgs& args) {
    if (args.isVirtual) {
        return AnalyzerConnection::Virtual(args.scenario, !args.unpaced);
    }
    return AnalyzerConnection::Usb(DefaultAnalyzerIds());
}

}  // namespace

int RunCapture(const CliArgs& args) {
    CaptureArgs parsed;
    if (std::optional<std::string> problem = ParseArgs(args, parsed)) {
        std::fprintf(stderr, "zoduz-cli capture: %s\n%s", problem->c_str(), kUsage);
        return kExitUsage;
    }
    std::unique_ptr<AnalyzerConnection> analyzer = OpenAnalyzer(parsed);
    if (!analyzer) {
        std::fprintf(stderr, "zoduz-cli capture: unknown scenario '%s'\n", parsed.scenario.c_str());
        return kExitUsage;
    }
    analyzer->SetSamplingInterval(parsed.intervalMs);

    SettingsStore settings;
    settings.recordDoNotAskAgain = true;
    settings.recordFileFolder = parsed.folder;
    settings.recordFileCaption = parsed.caption;
    settings.recordMaxFileSizeMB = parsed.maxSizeMb;
    settings.recordMultiCaptureFile = parsed.multiFile;
    settings.recordVbusSamplingIntervalMS = parsed.intervalMs;
    settings.graphAutoScroll = false;
    settings.launchDriverInstaller = false;

    CKVDoc document;
    CaptureState state;
    CliHost host;
    CaptureControl control(document, settings, state, *analyzer, host);
    control.Form() = RecordFileForm::FromSettings(settings);
    if (!parsed.output.empty()) {
        std::filesystem::path output(parsed.output);
        control.SetExternalName(output.filename().string());
        control.SetExternalFolder(output.has_parent_path() ? output.parent_path().string() : ".");
    }
    ReaderThread reader(state, *analyzer, CalibrationRatios{});
    InstallStopSignals();
    reader.Start();

    control.Tick();
    if (!state.flags.connected.load()) {
        std::fprintf(stderr, "zoduz-cli capture: %s\n", kDisconnectedStatusText);
        return kExitNoAnalyzer;
    }
    control.Run();
    if (!state.flags.recording.load()) {
        return kExitRecordFile;
    }

    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    auto nextTick = start + std::chrono::seconds(1);
    bool lostAnalyzer = false;
    bool stopping = false;
    while (state.flags.recording.load() || state.flags.hasUndecodedData.load()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        bool due = Clock::now() >= nextTick;
        bool timeUp = parsed.seconds > 0 &&
                      std::chrono::duration<double>(Clock::now() - start).count() >= parsed.seconds;
        if (!stopping && (StopSignalled() || timeUp)) {
            control.Stop();
            stopping = true;
        }
        if (!due && !(stopping && !state.flags.recording.load())) {
            continue;
        }
        nextTick = Clock::now() + std::chrono::seconds(1);
        bool wasRecording = state.flags.recording.load();
        control.Tick();
        if (wasRecording) {
            std::fprintf(stderr, "%s\n", control.StatusText().c_str());
        }
        if (!state.flags.connected.load()) {
            lostAnalyzer = true;
        }
    }

    control.Tick();  // reports a failed write that left nothing to decode

    for (int index = 1; index <= state.fileIndex.load(); ++index) {
        std::string path = JoinRecordPath(control.RecordFolder(), control.RecordFileNameFor(index));
        std::error_code error;
        uintmax_t size = std::filesystem::file_size(path, error);
        std::printf("%s\t%ju\n", path.c_str(), error ? uintmax_t{0} : size);
    }
    if (lostAnalyzer) {
        std::fprintf(stderr,
                     "zoduz-cli capture: the analyzer went away; the capture was stopped\n");
        return kExitNoAnalyzer;
    }
    return host.writeFailed ? kExitRecordFile : 0;
}
