// zoduz-cli command: sends one command packet to the analyzer and reports whether it went out.
// With --virtual the virtual analyzer takes it, and what it then reports is shown.
#include <charconv>
#include <cstdio>

#include "capture/record_stream.h"
#include "cli/analyzer_args.h"
#include "cli/commands.h"
#include "device/device_link.h"
#include "device/usb/libusb_transport.h"
#include "device/virtual/virtual_transport.h"

namespace {

constexpr const char* kUsage =
    "usage: zoduz-cli command [--virtual] [--ids VID:PID,...] [--firmware TEXT] [--serial TEXT]\n"
    "                         cc1|cc2 none|ra|rd|rp-default|rp-1.5a|rp-3a\n"
    "       zoduz-cli command [OPTIONS] sampling-interval MS\n"
    "       zoduz-cli command [OPTIONS] firmware-update\n";

struct ParsedCommand {
    CommandPacket packet;
    const char* name = "";
    size_t payloadSize = 0;
    std::string arguments;  // as given, for the report
};

std::optional<ParsedCommand> ParseCommand(const std::vector<std::string>& words) {
    ParsedCommand command;
    if (words.size() == 2 && (words[0] == "cc1" || words[0] == "cc2")) {
        std::optional<CcTermination> value = CcTerminationFromName(words[1]);
        if (!value) {
            return std::nullopt;
        }
        CcLine line = words[0] == "cc1" ? CcLine::kCc1 : CcLine::kCc2;
        command = {SetCcTerminationPacket(line, *value), "SetCcTermination", 2,
                   words[0] + " " + words[1]};
    } else if (words.size() == 2 && words[0] == "sampling-interval") {
        int ms = -1;
        const char* end = words[1].data() + words[1].size();
        auto [ptr, ec] = std::from_chars(words[1].data(), end, ms);
        if (ec != std::errc() || ptr != end || ms < 0) {
            return std::nullopt;
        }
        command = {SetSamplingIntervalPacket(ms), "SetSamplingInterval", 5, words[1]};
    } else if (words.size() == 1 && words[0] == "firmware-update") {
        command = {EnterFirmwareUpdatePacket(), "EnterFirmwareUpdate", 0, "-"};
    } else {
        return std::nullopt;
    }
    return command;
}

std::string PacketHex(const ParsedCommand& command) {
    std::string text;
    char digits[4];
    for (size_t i = 0; i < kCommandPayloadOffset + command.payloadSize; ++i) {
        std::snprintf(digits, sizeof digits, i == 0 ? "%02X" : " %02X", command.packet.bytes[i]);
        text += digits;
    }
    return text;
}

// Keeps the samples the stream delivers.
class SampleCollector : public RecordSink {
  public:
    void OnSample(const CVbusInfo& sample) override { samples.push_back(sample); }
    void OnPacket(PacketPtr /*packet*/) override {}
    std::vector<CVbusInfo> samples;
};

// What the virtual analyzer reports after the command: the CC voltages of its next sample and
// the spacing of two samples, or that it left the bus.
void ReportVirtualReading(DeviceLink& link) {
    if (!link.PollDevice()) {
        std::printf("reading\tgone\n");
        return;
    }
    RecordStreamParser parser;
    SampleCollector sink;
    std::array<uint8_t, kBlockSize> block{};
    for (int i = 0; i < 100000 && sink.samples.size() < 2; ++i) {
        TransportResult read = link.Read(block);
        if (!read.Ok()) {
            break;
        }
        parser.Feed(std::span(block).first(read.bytes), sink);
    }
    if (sink.samples.size() < 2) {
        std::printf("reading\tnone\n");
        return;
    }
    const CVbusInfo& first = sink.samples[0];
    std::printf("reading\tcc1=%dmV\tcc2=%dmV\tinterval=%lldms\n", first.cc1Voltage,
                first.cc2Voltage,
                static_cast<long long>((sink.samples[1].time - first.time) / 1000));
}

int Send(UsbTransport& transport, const AnalyzerArgs& parsed, const ParsedCommand& command,
         bool reportReading) {
    DeviceLinkSettings settings;
    settings.ids = parsed.ids;
    settings.configureAtConnect = false;  // this command is the only packet sent
    DeviceLink link(transport, settings);
    if (!link.PollDevice()) {
        if (link.InvalidFirmware()) {
            std::fprintf(stderr,
                         "zoduz-cli command: the analyzer at %s has firmware %s, older than 1.01\n",
                         link.DevicePath().c_str(), link.FirmwareText().c_str());
        } else if (!link.LastError().empty()) {
            std::fprintf(stderr, "zoduz-cli command: %s\n", link.LastError().c_str());
        } else {
            std::fprintf(stderr, "zoduz-cli command: no analyzer found\n");
        }
        return 1;
    }
    std::printf("analyzer\t%s\t%s\t%s\t%s\n", Field(link.DevicePath()).c_str(),
                UsbIdText(link.DeviceId()).c_str(), Field(link.FirmwareText()).c_str(),
                Field(link.SerialText()).c_str());
    if (!link.SendCommand(command.packet)) {
        std::fprintf(stderr, "zoduz-cli command: the analyzer did not take %s\n", command.name);
        return 1;
    }
    std::printf("sent\t%s\t%s\t%s\n", command.name, command.arguments.c_str(),
                PacketHex(command).c_str());
    if (reportReading) {
        ReportVirtualReading(link);
    }
    return 0;
}

}  // namespace

int RunCommand(const CliArgs& args) {
    AnalyzerArgs parsed;
    std::optional<ParsedCommand> command;
    if (ParseAnalyzerArgs(args, parsed)) {
        command = ParseCommand(parsed.positional);
    }
    if (!command) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (CliParseOnly()) {
        return 0;
    }
    if (parsed.useVirtual) {
        VirtualAnalyzer analyzer(parsed.virtualOptions);
        VirtualTransport transport(analyzer);
        parsed.ids = {analyzer.Id()};
        return Send(transport, parsed, *command, true);
    }
    LibusbTransport usb;
    if (!usb.Available()) {
        std::fprintf(stderr, "zoduz-cli command: %s\n", usb.StartError().c_str());
        return 1;
    }
    return Send(usb, parsed, *command, false);
}
