// zoduz-cli devices: every analyzer on the USB bus (and with --virtual the virtual one), with
// its identity and whether its firmware is accepted.
#include <cstdio>

#include "cli/analyzer_args.h"
#include "cli/commands.h"
#include "device/analyzer_identity.h"
#include "device/analyzer_probe.h"
#include "device/usb/libusb_transport.h"
#include "device/virtual/virtual_transport.h"

namespace {

constexpr const char* kUsage =
    "usage: zoduz-cli devices [--virtual] [--ids VID:PID,...] [--firmware TEXT] [--serial TEXT]\n";

void PrintProbe(const AnalyzerProbe& probe) {
    const AnalyzerLocation& where = probe.location;
    if (!probe.opened.Ok()) {
        std::printf("%s\t%s\t-\t-\terror\t-\n", Field(where.path).c_str(),
                    UsbIdText(where.id).c_str());
        std::fprintf(stderr, "zoduz-cli devices: %s\n", probe.opened.message.c_str());
        return;
    }
    std::printf("%s\t%s\t%s\t0x%04X\t%s\t%s\n", Field(where.path).c_str(),
                UsbIdText(where.id).c_str(), Field(probe.firmwareText).c_str(),
                probe.firmwareVersion, probe.validFirmware ? "valid" : "refused",
                Field(probe.serialText).c_str());
}

}  // namespace

int RunDevices(const CliArgs& args) {
    AnalyzerArgs parsed;
    if (!ParseAnalyzerArgs(args, parsed) || !parsed.positional.empty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (CliParseOnly()) {
        return 0;
    }
    std::printf("#path\tid\tfirmware\tversion\tstate\tserial\n");
    int status = 0;
    LibusbTransport usb;
    if (usb.Available()) {
        for (const AnalyzerProbe& probe : ProbeAnalyzers(usb, parsed.ids)) {
            PrintProbe(probe);
        }
    } else {
        std::fprintf(stderr, "zoduz-cli devices: %s\n", usb.StartError().c_str());
        // Without a USB stack the real bus cannot be listed; the virtual analyzer still can.
        status = parsed.useVirtual ? 0 : 1;
    }
    if (parsed.useVirtual) {
        VirtualAnalyzer analyzer(parsed.virtualOptions);
        VirtualTransport transport(analyzer);
        const std::vector<UsbDeviceId> ids = {analyzer.Id()};
        for (const AnalyzerProbe& probe : ProbeAnalyzers(transport, ids)) {
            PrintProbe(probe);
        }
    }
    return status;
}
