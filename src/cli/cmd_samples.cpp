// zoduz-cli samples FILE: every VBUS/CC sample of a record file (or of a sigrok session's
// import) as tab-separated values.
#include <cinttypes>
#include <cstdio>
#include <vector>

#include "capture/record_file_io.h"
#include "capture/record_stream.h"
#include "cli/commands.h"
#include "cli/open_document.h"

namespace {

class SamplePrinter : public RecordSink {
  public:
    void OnSample(const CVbusInfo& s) override {
        std::printf("%" PRId64 "\t%u\t%d\t%d\t%d\t%d\t%d\n", s.time, s.vbusVoltage, s.vbusCurrent,
                    s.cc1Voltage, s.cc1Current, s.cc2Voltage, s.cc2Current);
    }
    void OnPacket(PacketPtr /*packet*/) override {}
};

}  // namespace

int RunSamples(const CliArgs& args) {
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: zoduz-cli samples FILE\n");
        return 2;
    }
    if (CliParseOnly()) {
        return 0;
    }
    if (!CheckRecordFile("samples", args[0])) {
        return 1;
    }
    const std::optional<std::string> record = RecordPathForCli("samples", args[0]);
    if (!record) {
        return 1;
    }
    ReadOnlyFile file(*record);
    std::vector<uint8_t> buffer(kReadChunkSize);
    RecordStreamParser parser;
    SamplePrinter printer;
    std::printf("Time[us]\tVBUS[mV]\tVBUS[mA]\tCC1[mV]\tCC1[mA]\tCC2[mV]\tCC2[mA]\n");
    int64_t offset = 0;
    while (size_t got = file.ReadAt(offset, buffer.data(), buffer.size())) {
        parser.Feed(std::span<const uint8_t>(buffer.data(), got), printer);
        offset += static_cast<int64_t>(got);
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
