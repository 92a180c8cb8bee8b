// zoduz-cli monitor: the control view's read-outs in a terminal, for benches without a display.
// A header line, then one tab-separated line a second; SIGINT and SIGTERM end it.
#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "app/ctrl/readouts.h"
#include "app/ctrl/stream_peak_tap.h"
#include "capture/document.h"
#include "cli/analyzer_args.h"
#include "cli/commands.h"
#include "cli/number_arg.h"
#include "cli/stop_signals.h"
#include "device/usb/libusb_transport.h"
#include "live/analyzer_connection.h"
#include "live/reader_thread.h"
#include "settings/settings_store.h"

namespace {

constexpr const char* kUsage = "usage: zoduz-cli monitor [--virtual [SCENARIO]] [--seconds N]\n";
constexpr int kExitUsage = 2;
constexpr int kExitNoUsb = 1;

constexpr const char* kHeader =
    "second\tvbus_voltage\tvbus_current\tvbus_power\tdirection\tcc1_voltage\tcc1_current\t"
    "cc2_voltage\tcc2_current\tvconn_voltage\tvconn_power\tcc_status\tpeak_power\t"
    "peak_power_rvs\n";

struct MonitorArgs {
    bool isVirtual = false;
    std::string scenario = "mixed";
    double seconds = 0.0;  // 0: until a signal
};

std::optional<std::string> ParseArgs(const CliArgs& args, MonitorArgs& parsed) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--virtual") {
            parsed.isVirtual = true;
            if (hasValue && args[i + 1].rfind("-", 0) != 0) {
                parsed.scenario = args[++i];
            }
        } else if (arg == "--seconds") {
            std::optional<double> seconds =
                hasValue ? ParseNumber<double>(args[i + 1]) : std::nullopt;
            if (!seconds || *seconds < 0) {
                return std::string("--seconds takes a number of seconds of 0 or more");
            }
            parsed.seconds = *seconds;
            ++i;
        } else {
            return "unknown option '" + arg + "'";
        }
    }
    return std::nullopt;
}

const char* DirectionName(DirectionPicture picture) {
    switch (picture) {
        case DirectionPicture::Positive:
            return "plug-to-receptacle";
        case DirectionPicture::Negative:
            return "receptacle-to-plug";
        case DirectionPicture::NoCurrent:
            return "no-current";
        case DirectionPicture::Hidden:
            break;
    }
    return "-";
}

std::string Line(long second, const ControlReadouts& out, const SampleStats& stats) {
    const std::string peak = stats.maxVbusPower == 0
                                 ? std::string()
                                 : PeakValueText(stats.maxVbusPower, stats.maxVbusPowerVoltage,
                                                 stats.maxVbusPowerCurrent);
    const std::string peakReverse =
        stats.minVbusPower == 0 ? std::string()
                                : PeakValueText(stats.minVbusPower, stats.minVbusPowerVoltage,
                                                stats.minVbusPowerCurrent);
    std::string line = std::to_string(second);
    for (const std::string& field :
         {out.vbusVoltage, out.vbusCurrent, out.vbusPower, std::string(DirectionName(out.picture)),
          out.cc1Voltage, out.cc1Current, out.cc2Voltage, out.cc2Current, out.vconnVoltage,
          out.vconnPower, out.ccStatus, peak, peakReverse}) {
        line += '\t';
        line += Field(field);
    }
    return line + '\n';
}

// Polls and reads the analyzer while printing; nothing is recorded.
int Monitor(AnalyzerConnection& analyzer, const MonitorArgs& args) {
    SettingsStore settings;
    settings.launchDriverInstaller = false;
    settings.graphAutoScroll = false;
    CKVDoc document;
    CaptureState state;
    CaptureHost host;
    CaptureControl control(document, settings, state, analyzer, host);
    StreamPeakTap tap(analyzer);
    ReaderThread reader(state, tap, CalibrationRatios{});
    InstallStopSignals();
    reader.Start();

    std::fputs(kHeader, stdout);
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    ControlReadouts shown;
    for (long second = 0;; ++second) {
        control.Tick();
        // The first poll connects; give the reader a moment for the first samples.
        if (second == 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        shown = LinkUp(state.flags) ? ComputeReadouts(ReadLiveValues(state.live))
                                    : LinkDownReadouts(shown);
        std::fputs(Line(second, shown, tap.Stats()).c_str(), stdout);
        std::fflush(stdout);
        const auto next = start + std::chrono::seconds(second + 1);
        while (Clock::now() < next && !StopSignalled()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        if (StopSignalled() || (args.seconds > 0 && elapsed >= args.seconds)) {
            return 0;
        }
    }
}

}  // namespace

int RunMonitor(const CliArgs& args) {
    MonitorArgs parsed;
    if (std::optional<std::string> problem = ParseArgs(args, parsed)) {
        std::fprintf(stderr, "zoduz-cli monitor: %s\n%s", problem->c_str(), kUsage);
        return kExitUsage;
    }
    if (CliParseOnly()) {
        return 0;
    }
    if (parsed.isVirtual) {
        std::unique_ptr<AnalyzerConnection> analyzer = AnalyzerConnection::Virtual(parsed.scenario);
        if (!analyzer) {
            std::fprintf(stderr, "zoduz-cli monitor: unknown scenario '%s'\n",
                         parsed.scenario.c_str());
            return kExitUsage;
        }
        return Monitor(*analyzer, parsed);
    }
    LibusbTransport usb;
    if (!usb.Available()) {
        std::fprintf(stderr, "zoduz-cli monitor: %s\n", usb.StartError().c_str());
        return kExitNoUsb;
    }
    AnalyzerConnection analyzer(usb);
    return Monitor(analyzer, parsed);
}
