#include <gtest/gtest.h>

#include <chrono>

#include "capture/collecting_sink.h"
#include "capture/record_stream.h"
#include "device/device_link.h"
#include "device/usb/libusb_transport.h"
#include "device/usb/emulated_analyzer.h"

namespace {

VirtualAnalyzerOptions AnalyzerOptions(const std::string& firmware = "1.23") {
    VirtualAnalyzerOptions options;
    options.texts.firmware = firmware;
    options.texts.serial = "0123456789ABCDEF01234567";
    options.stream.scenarios = {"spr"};
    return options;
}

class LibusbTransportTest : public testing::Test {
  protected:
    void SetUp() override {
        if (!EmulatedAnalyzer::Available()) {
            GTEST_SKIP() << "needs umockdev's preload library (run under umockdev-wrapper)";
        }
    }
};

// The analyzer and the transport, created in that order so libusb sees the emulated bus.
struct Bench {
    explicit Bench(VirtualAnalyzerOptions options = AnalyzerOptions())
        : analyzer(std::move(options)), link(transport) {}

    EmulatedAnalyzer analyzer;
    LibusbTransport transport;
    DeviceLink link;
};

TEST_F(LibusbTransportTest, FindsTheAnalyzerByItsIds) {
    Bench bench;
    ASSERT_TRUE(bench.transport.Available()) << bench.transport.StartError();
    const std::vector<UsbDeviceId> ids = {kVirtualAnalyzerId};
    std::vector<AnalyzerLocation> found = bench.transport.List(ids);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].path, "1-1");
    EXPECT_EQ(found[0].id, kVirtualAnalyzerId);
    EXPECT_TRUE(bench.transport.List(std::vector<UsbDeviceId>{{0x1d6b, 0x0003}}).empty());
    EXPECT_EQ(bench.transport.Open("2-7").error, TransportError::kNotFound);
}

TEST_F(LibusbTransportTest, PollReadsBothStringDescriptorsAndTheDeviceDescriptor) {
    Bench bench;
    ASSERT_TRUE(bench.link.PollDevice()) << bench.link.LastError();
    EXPECT_EQ(bench.link.DevicePath(), "1-1");
    EXPECT_EQ(bench.link.FirmwareText(), "1.23");
    EXPECT_EQ(bench.link.FirmwareVersion(), 0x0123);
    EXPECT_EQ(bench.link.SerialText(), "0123456789ABCDEF01234567");
    SerialNumber expected = {0x67, 0x45, 0x23, 0x01, 0xEF, 0xCD,
                             0xAB, 0x89, 0x67, 0x45, 0x23, 0x01};
    EXPECT_EQ(bench.link.SerialBytes(), expected);
    // The poll of a connected analyzer reads the 18-byte device descriptor.
    EXPECT_TRUE(bench.link.PollDevice());
    std::array<uint8_t, 64> buffer{};
    TransportResult device = bench.transport.GetDescriptor(kDescriptorTypeDevice, 0, 0, buffer);
    ASSERT_TRUE(device.Ok()) << device.message;
    EXPECT_EQ(device.bytes, 18u);
    EXPECT_EQ(buffer[8] | (buffer[9] << 8), 0x1209);
}

TEST_F(LibusbTransportTest, OldFirmwareIsRefusedThroughLibusbToo) {
    Bench bench(AnalyzerOptions("0.92"));
    EXPECT_FALSE(bench.link.PollDevice());
    EXPECT_TRUE(bench.link.InvalidFirmware());
    EXPECT_FALSE(bench.transport.IsOpen());
}

TEST_F(LibusbTransportTest, CommandPacketsReachBulkOutWithTheirBytes) {
    Bench bench;
    ASSERT_TRUE(bench.link.PollDevice()) << bench.link.LastError();
    ASSERT_TRUE(bench.link.SetCcTermination(CcLine::kCc1, CcTermination::kRp3A0));
    std::vector<std::vector<uint8_t>> commands = bench.analyzer.Commands();
    ASSERT_EQ(commands.size(), 4u);
    auto bytes = [](const CommandPacket& packet) {
        return std::vector<uint8_t>(packet.bytes.begin(), packet.bytes.end());
    };
    EXPECT_EQ(commands[0], bytes(SetSamplingIntervalPacket(10)));
    EXPECT_EQ(commands[0][8], 9);
    EXPECT_EQ(commands[1], bytes(SetCcTerminationPacket(CcLine::kCc1, CcTermination::kNone)));
    EXPECT_EQ(commands[2], bytes(SetCcTerminationPacket(CcLine::kCc2, CcTermination::kNone)));
    ASSERT_EQ(commands[3].size(), 64u);
    EXPECT_EQ(std::vector<uint8_t>(commands[3].begin(), commands[3].begin() + 10),
              (std::vector<uint8_t>{0x43, 0x43, 0x56, 0x4B, 1, 0, 0, 0, 0, 5}));
    EXPECT_EQ(bench.analyzer.Analyzer().Termination(CcLine::kCc1), CcTermination::kRp3A0);
    EXPECT_EQ(bench.analyzer.Analyzer().SamplingIntervalMs(), 10);
}

TEST_F(LibusbTransportTest, BulkReadsDeliverTheBlockStream) {
    Bench bench;
    ASSERT_TRUE(bench.link.PollDevice()) << bench.link.LastError();
    ASSERT_TRUE(bench.link.SetCcTermination(CcLine::kCc2, CcTermination::kRp1A5));
    RecordStreamParser parser;
    CollectingSink sink;
    std::vector<uint8_t> buffer(kStreamReadSize);
    for (int i = 0; i < 8; ++i) {
        TransportResult read = bench.link.Read(buffer);
        ASSERT_TRUE(read.Ok()) << read.message;
        ASSERT_EQ(read.bytes, kStreamReadSize);
        parser.Feed(std::span(buffer).first(read.bytes), sink);
    }
    EXPECT_EQ(parser.PendingBytes(), 0u);
    ASSERT_GT(sink.samples.size(), 100u);
    for (size_t i = 4; i < sink.samples.size(); ++i) {
        ASSERT_EQ(sink.samples[i].time - sink.samples[i - 1].time, 10000) << i;
        ASSERT_GE(sink.samples[i].cc2Voltage, 700);  // vRd-1.5
        ASSERT_LE(sink.samples[i].cc2Voltage, 1160);
    }
}

TEST_F(LibusbTransportTest, SilentAnalyzerReadTimesOut) {
    Bench bench;
    ASSERT_TRUE(bench.link.PollDevice()) << bench.link.LastError();
    bench.analyzer.SetSilent(true);
    std::vector<uint8_t> buffer(kStreamReadSize);
    auto start = std::chrono::steady_clock::now();
    TransportResult read = bench.link.Read(buffer, 100);
    auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(read.error, TransportError::kTimeout);
    EXPECT_EQ(read.bytes, 0u);
    EXPECT_GE(elapsed, std::chrono::milliseconds(90));
    EXPECT_LT(elapsed, std::chrono::seconds(5));
    // The stream goes on once the analyzer talks again.
    bench.analyzer.SetSilent(false);
    EXPECT_TRUE(bench.link.Read(buffer, 100).Ok());
}

TEST_F(LibusbTransportTest, UnpluggedAnalyzerIsReportedDisconnected) {
    Bench bench;
    ASSERT_TRUE(bench.link.PollDevice()) << bench.link.LastError();
    bench.analyzer.Unplug();
    std::vector<uint8_t> buffer(kStreamReadSize);
    EXPECT_EQ(bench.transport.ReadStream(buffer, 100).error, TransportError::kGone);
    EXPECT_FALSE(bench.link.PollDevice());
    EXPECT_FALSE(bench.link.Connected());
    EXPECT_FALSE(bench.transport.IsOpen());
    EXPECT_NE(bench.link.LastError().find("was unplugged"), std::string::npos)
        << bench.link.LastError();
    EXPECT_FALSE(bench.link.PollDevice());
}

TEST_F(LibusbTransportTest, ClaimedInterfaceIsReportedBusy) {
    Bench bench;
    bench.analyzer.SetClaimedElsewhere(true);
    TransportResult opened = bench.transport.Open("1-1");
    EXPECT_EQ(opened.error, TransportError::kBusy);
    EXPECT_EQ(opened.message, "the analyzer at 1-1 is in use by another program");
    EXPECT_FALSE(bench.transport.IsOpen());
    EXPECT_FALSE(bench.link.PollDevice());
    EXPECT_EQ(bench.link.LastError(), "the analyzer at 1-1 is in use by another program");
    bench.analyzer.SetClaimedElsewhere(false);
    EXPECT_TRUE(bench.link.PollDevice());
}

// A refused device node cannot be emulated for a process running as root, so the error text
// is checked on its own.
TEST(LibusbFailure, EachCauseHasItsOwnKindAndText) {
    TransportResult access = LibusbFailure(-3, "3-1.4");  // LIBUSB_ERROR_ACCESS
    EXPECT_EQ(access.error, TransportError::kNoPermission);
    EXPECT_EQ(access.message,
              "no permission to open the analyzer at 3-1.4: install the udev rule 60-zoduz.rules "
              "into /etc/udev/rules.d or /usr/lib/udev/rules.d, then replug the analyzer");
    EXPECT_EQ(LibusbFailure(-6, "3-1").error, TransportError::kBusy);     // LIBUSB_ERROR_BUSY
    EXPECT_EQ(LibusbFailure(-4, "3-1").error, TransportError::kGone);     // LIBUSB_ERROR_NO_DEVICE
    EXPECT_EQ(LibusbFailure(-7, "3-1").error, TransportError::kTimeout);  // LIBUSB_ERROR_TIMEOUT
    TransportResult other = LibusbFailure(-9, "3-1");                     // LIBUSB_ERROR_PIPE
    EXPECT_EQ(other.error, TransportError::kIo);
    EXPECT_EQ(other.message.rfind("USB error at 3-1: ", 0), 0u) << other.message;
}

}  // namespace
