// zoduz-cli capture: a headless live capture with the application's naming, rollover and
// limits. The status text goes to stderr once a second, and a line when a limit stops,
// rolls over or trims the capture; SIGINT and SIGTERM stop the capture cleanly (the record file
// gets its final InfoBlock); the record files written go to stdout.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>

#include "capture/document.h"
#include "capture/record_naming.h"
#include "cli/capture_limits.h"
#include "cli/commands.h"
#include "cli/number_arg.h"
#include "cli/stop_signals.h"
#include "live/analyzer_connection.h"
#include "live/capture_status.h"
#include "live/reader_thread.h"
#include "settings/settings_store.h"

namespace {

constexpr const char* kUsage =
    "usage: zoduz-cli capture [--virtual [SCENARIO]] [--unpaced] [-o FILE | --folder DIR\n"
    "                         [--caption NAME]] [--seconds N] [--max-size MB] [--multi-file]\n"
    "                         [--interval MS] [--max-packets N] [--max-samples N]\n"
    "                         [--auto-remove packets|samples|both] [--full-stop]\n";

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
    // The count limits and their rules, with the window's defaults.
    int32_t maxPackets = kRecordMaxPDPacketCount;
    int32_t maxSamples = kRecordMaxVbusInfoCount;
    bool autoRemovePackets = false;
    bool autoRemoveSamples = false;
    bool fullStop = false;
};

constexpr double kMaxSeconds = 31536000.0;
// Limits the Record File Settings dialog accepts for packets; samples up to a billion.
constexpr int32_t kMinCountLimit = 100;
constexpr int32_t kMaxPacketLimit = 100000;
constexpr int32_t kMaxSampleLimit = 1000000000;

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
        } else if (arg == "--full-stop") {
            parsed.fullStop = true;
        } else if (!hasValue) {
            return arg.rfind("-", 0) == 0 ? arg + " needs a value" : "unexpected '" + arg + "'";
        } else if (arg == "-o" || arg == "--output") {
            // The record file is FILE itself: a name without the extension would silently
            // become FILE.zaz.
            const std::string extension = kRecordFileExtension;
            if (value.size() <= extension.size() || !value.ends_with(extension)) {
                return std::string("-o takes a record file name ending in .zaz");
            }
            parsed.output = value;
            ++i;
        } else if (arg == "--folder") {
            if (value.empty()) {
                return std::string("--folder takes a folder");
            }
            parsed.folder = value;
            haveFolder = true;
            ++i;
        } else if (arg == "--caption") {
            // As the record file settings dialog takes it: no folder parts, a bounded length.
            if (value.empty() || !IsValidCaption(value)) {
                return "--caption takes a name of 1 to " + std::to_string(kMaxCaptionLength) +
                       " characters without \\ / : * ? \" < > |";
            }
            parsed.caption = value;
            ++i;
        } else if (arg == "--seconds") {
            std::optional<double> seconds = ParseNumber<double>(value);
            // Up to a year: the end time must fit the clock.
            if (!seconds || !std::isfinite(*seconds) || *seconds < 0 || *seconds > kMaxSeconds) {
                return "--seconds takes a number of seconds from 0 to 31536000";
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
        } else if (arg == "--max-packets" || arg == "--max-samples") {
            const bool packets = arg == "--max-packets";
            const int32_t most = packets ? kMaxPacketLimit : kMaxSampleLimit;
            std::optional<int32_t> count = ParseNumber<int32_t>(value);
            if (!count || *count < kMinCountLimit || *count > most) {
                return arg + " takes " + std::to_string(kMinCountLimit) + " to " +
                       std::to_string(most);
            }
            (packets ? parsed.maxPackets : parsed.maxSamples) = *count;
            ++i;
        } else if (arg == "--auto-remove") {
            if (value != "packets" && value != "samples" && value != "both") {
                return std::string("--auto-remove takes packets, samples or both");
            }
            parsed.autoRemovePackets = value != "samples";
            parsed.autoRemoveSamples = value != "packets";
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
    if (CliParseOnly()) {
        return 0;
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
    settings.recordMaxPDPacketCount = parsed.maxPackets;
    settings.recordMaxVbusInfoCount = parsed.maxSamples;
    settings.recordPDPacketAutoRemove = parsed.autoRemovePackets;
    settings.recordVbusInfoAutoRemove = parsed.autoRemoveSamples;
    settings.recordCaptureFullStop = parsed.fullStop;
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
    if (!state.flags.phase.Recording()) {
        return kExitRecordFile;
    }

    // Ticks keep a one-second rhythm: each is due a second after the previous one was due (a
    // late tick moves the rhythm), and a tick's decoding is bounded, so a busy machine or a file
    // growing faster than it decodes still gets its status line every second. The time limit
    // and signals are looked at between ticks, every 50 ms.
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    const auto second = std::chrono::seconds(1);
    Clock::time_point nextTick = start + second;
    const std::optional<Clock::time_point> end =
        parsed.seconds > 0
            ? std::optional(start + std::chrono::duration_cast<Clock::duration>(
                                        std::chrono::duration<double>(parsed.seconds)))
            : std::nullopt;
    CaptureLimitNotices limits(settings);
    bool lostAnalyzer = false;
    bool stopping = false;  // the time was up or a signal came
    while (state.flags.phase.Recording() || (!stopping && state.flags.hasUndecodedData.load())) {
        Clock::time_point wake = std::min(nextTick, Clock::now() + std::chrono::milliseconds(50));
        if (end) {
            wake = std::min(wake, std::max(*end, Clock::now()));
        }
        std::this_thread::sleep_until(wake);
        if (!stopping && (StopSignalled() || (end && Clock::now() >= *end))) {
            control.Stop();
            stopping = true;
        }
        if (stopping || Clock::now() < nextTick) {
            continue;
        }
        nextTick += second;
        if (nextTick <= Clock::now()) {
            nextTick = Clock::now() + second;
        }
        const bool wasRecording = state.flags.phase.Recording();
        control.Tick();
        if (wasRecording) {
            // Limits reached while the rest of a stopped capture decodes stop nothing.
            std::fprintf(stderr, "%s\n", control.StatusText().c_str());
            for (const std::string& text : limits.Check(document, state.fileIndex.load())) {
                std::fprintf(stderr, "zoduz-cli capture: %s\n", text.c_str());
            }
        }
        if (!state.flags.connected.load()) {
            lostAnalyzer = true;
        }
    }

    if (stopping) {
        // A timed or signalled stop ends here: the rest of the file is not decoded, nothing here
        // would show it. A failed write is still told.
        if (const int error = state.writeError.exchange(0); error != 0) {
            host.RecordFileWriteFailed(error);
        }
    } else {
        control.Tick();  // reports a failed write that left nothing to decode
    }

    uintmax_t lastFileBytes = 0;
    for (int index = 1; index <= state.fileIndex.load(); ++index) {
        std::string path = JoinRecordPath(control.RecordFolder(), control.RecordFileNameFor(index));
        std::error_code error;
        uintmax_t size = std::filesystem::file_size(path, error);
        lastFileBytes = error ? uintmax_t{0} : size;
        std::printf("%s\t%ju\n", path.c_str(), lastFileBytes);
    }
    if (!stopping && !lostAnalyzer && !host.writeFailed) {
        if (const std::string text = limits.AtEnd(lastFileBytes); !text.empty()) {
            std::fprintf(stderr, "zoduz-cli capture: %s\n", text.c_str());
        }
    }
    if (lostAnalyzer) {
        std::fprintf(stderr,
                     "zoduz-cli capture: the analyzer went away; the capture was stopped\n");
        return kExitNoAnalyzer;
    }
    return host.writeFailed ? kExitRecordFile : 0;
}
