#include <gtest/gtest.h>

#include <chrono>

#include "capture/collecting_sink.h"
#include "capture/record_stream.h"
#include "device/analyzer_identity.h"
#include "device/virtual_link.h"
#include "pd/bmc_decoder.h"

namespace {

// Reads `bytes` of the stream through the link and parses them.
CollectingSink ReadAndParse(DeviceLink& link, size_t bytes, size_t chunk = kStreamReadSize) {
    RecordStreamParser parser;
    CollectingSink sink;
    std::vector<uint8_t> buffer(chunk);
    for (size_t total = 0; total < bytes;) {
        TransportResult read = link.Read(buffer);
        EXPECT_TRUE(read.Ok()) << read.message;
        if (!read.Ok()) {
            break;
        }
        parser.Feed(std::span(buffer).first(read.bytes), sink);
        total += read.bytes;
    }
    return sink;
}

struct Band {
    int low;
    int high;
};

TEST(VirtualAnalyzer, InjectedTerminationPutsTheCcVoltageInItsBand) {
    VirtualLink v;
    ASSERT_TRUE(v.link.PollDevice());
    const std::pair<CcTermination, Band> cases[] = {
        {CcTermination::kRp3A0, {1310, 2040}},    // vRd-3.0
        {CcTermination::kRp1A5, {700, 1160}},     // vRd-1.5
        {CcTermination::kRpDefault, {250, 610}},  // vRd-USB
        {CcTermination::kRd, {250, 610}},         // a source's default Rp seen through Rd
        {CcTermination::kRa, {0, 249}},           // below every band
    };
    for (const auto& [termination, band] : cases) {
        ASSERT_TRUE(v.link.SetCcTermination(CcLine::kCc1, termination));
        CollectingSink sink = ReadAndParse(v.link, 4 * kStreamReadSize);
        // The first block after the command may still have been built before it.
        ASSERT_GT(sink.samples.size(), 10u);
        for (size_t i = 3; i < sink.samples.size(); ++i) {
            EXPECT_GE(sink.samples[i].cc1Voltage, band.low) << CcTerminationName(termination);
            EXPECT_LE(sink.samples[i].cc1Voltage, band.high) << CcTerminationName(termination);
            EXPECT_EQ(sink.samples[i].cc1Current, 0);
        }
    }
}

TEST(VirtualAnalyzer, SamplingIntervalCommandSpacesTheSamples) {
    VirtualLink v;
    ASSERT_TRUE(v.link.PollDevice());
    ASSERT_TRUE(v.link.SetSamplingInterval(5));
    CollectingSink sink = ReadAndParse(v.link, 2 * kStreamReadSize);
    ASSERT_GT(sink.samples.size(), 50u);
    for (size_t i = 4; i < sink.samples.size(); ++i) {
        EXPECT_EQ(sink.samples[i].time - sink.samples[i - 1].time, 5000) << i;
    }
    ASSERT_TRUE(v.link.SetSamplingInterval(1));
    sink = ReadAndParse(v.link, kStreamReadSize);
    EXPECT_EQ(sink.samples.back().time - sink.samples[sink.samples.size() - 2].time, 1000);
}

TEST(VirtualAnalyzer, StreamCarriesDecodablePdTrafficAcrossScenarioSegments) {
    VirtualAnalyzerOptions options = UnpacedAnalyzer();
    options.stream.samplingIntervalMs = 20;  // few samples: many 3-second segments quickly
    DeviceLinkSettings settings;
    settings.samplingIntervalMs = 0;
    VirtualLink v(options, settings);
    ASSERT_TRUE(v.link.PollDevice());
    CollectingSink sink = ReadAndParse(v.link, 40 * kStreamReadSize, 1000);
    ASSERT_FALSE(sink.samples.empty());
    // Several plays of the 3-second scenario, one continuous clock.
    EXPECT_GT(sink.samples.back().time, 9'000'000);
    for (size_t i = 1; i < sink.samples.size(); ++i) {
        ASSERT_EQ(sink.samples[i].time - sink.samples[i - 1].time, 20000) << i;
    }
    int good = 0;
    for (PacketPtr& packet : sink.packets) {
        DecodePacket(*packet, 0);
        good += packet->crcOk ? 1 : 0;
    }
    EXPECT_GT(good, 30);
    EXPECT_GT(sink.samples.back().vbusVoltage, 4000);
}

TEST(VirtualAnalyzer, ReopeningResumesTheStreamWhereItStopped) {
    VirtualAnalyzerOptions options = UnpacedAnalyzer();
    options.stream.samplingIntervalMs = 10;  // as the link sets it, from the first block on
    VirtualLink v(options);
    ASSERT_TRUE(v.link.PollDevice());
    RecordStreamParser parser;
    CollectingSink sink;
    std::vector<uint8_t> buffer(100);  // not a whole number of blocks
    for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < 50; ++i) {
            TransportResult read = v.link.Read(buffer);
            ASSERT_TRUE(read.Ok());
            parser.Feed(std::span(buffer).first(read.bytes), sink);
        }
        v.link.Close();
        ASSERT_TRUE(v.link.PollDevice());
    }
    ASSERT_GT(sink.samples.size(), 100u);
    for (size_t i = 1; i < sink.samples.size(); ++i) {
        ASSERT_EQ(sink.samples[i].time - sink.samples[i - 1].time, 10000) << i;
    }
}

TEST(VirtualAnalyzer, PacedStreamFollowsTheWallClock) {
    VirtualAnalyzerOptions options = UnpacedAnalyzer();
    options.paced = true;
    VirtualLink v(options);
    ASSERT_TRUE(v.link.PollDevice());
    ASSERT_TRUE(v.link.SetSamplingInterval(1));
    RecordStreamParser parser;
    CollectingSink sink;
    std::vector<uint8_t> buffer(kStreamReadSize);
    auto start = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(300)) {
        TransportResult read = v.link.Read(buffer, 50);
        ASSERT_TRUE(read.Ok() || read.error == TransportError::kTimeout);
        parser.Feed(std::span(buffer).first(read.bytes), sink);
    }
    auto elapsedUs = std::chrono::duration_cast<std::chrono::microseconds>(
                         std::chrono::steady_clock::now() - start)
                         .count();
    ASSERT_GT(sink.samples.size(), 10u);
    int64_t streamUs = sink.samples.back().time - sink.samples.front().time;
    // Never ahead of the clock (one block of slack), and not far behind it.
    EXPECT_LE(streamUs, elapsedUs + 20000);
    EXPECT_GE(streamUs, elapsedUs / 3);
}

TEST(VirtualAnalyzer, AnswersDescriptorsLikeTheHardware) {
    VirtualAnalyzerOptions options = UnpacedAnalyzer("1.00");
    options.texts.serial = "0123456789ABCDEF01234567";
    VirtualAnalyzer analyzer(options);
    std::array<uint8_t, 64> buffer{};
    EXPECT_EQ(analyzer.GetDescriptor(kDescriptorTypeDevice, 0, buffer).error,
              TransportError::kNotOpen);
    ASSERT_TRUE(analyzer.Open().Ok());
    EXPECT_EQ(analyzer.Open().error, TransportError::kBusy);
    TransportResult device = analyzer.GetDescriptor(kDescriptorTypeDevice, 0, buffer);
    ASSERT_TRUE(device.Ok());
    EXPECT_EQ(device.bytes, 18u);
    EXPECT_EQ(buffer[8] | (buffer[9] << 8), 0x1209);
    EXPECT_EQ(buffer[10] | (buffer[11] << 8), 0x000D);
    TransportResult firmware = analyzer.GetDescriptor(kDescriptorTypeString, 3, buffer);
    EXPECT_EQ(DecodeStringDescriptor(std::span(buffer).first(firmware.bytes)), u"1.00");
    TransportResult serial = analyzer.GetDescriptor(kDescriptorTypeString, 6, buffer);
    EXPECT_EQ(DecodeStringDescriptor(std::span(buffer).first(serial.bytes)),
              u"0123456789ABCDEF01234567");
    EXPECT_EQ(analyzer.GetDescriptor(kDescriptorTypeString, 9, buffer).error, TransportError::kIo);
}

TEST(VirtualAnalyzer, IgnoresWhatItDoesNotUnderstand) {
    VirtualAnalyzer analyzer(UnpacedAnalyzer());
    ASSERT_TRUE(analyzer.Open().Ok());
    CommandPacket wrongSignature = SetSamplingIntervalPacket(50);
    wrongSignature.bytes[0] = 0;
    EXPECT_TRUE(analyzer.WriteCommand(wrongSignature).Ok());
    EXPECT_TRUE(analyzer.WriteCommand(MakeCommandPacket(99, nullptr, 0)).Ok());
    const uint8_t badLine[2] = {2, 5};
    EXPECT_TRUE(
        analyzer.WriteCommand(MakeCommandPacket(kCommandSetCcTermination, badLine, 2)).Ok());
    const uint8_t badValue[2] = {0, 6};
    EXPECT_TRUE(
        analyzer.WriteCommand(MakeCommandPacket(kCommandSetCcTermination, badValue, 2)).Ok());
    EXPECT_EQ(analyzer.CommandsIgnored(), 4u);
    EXPECT_EQ(analyzer.SamplingIntervalMs(), 1);
    EXPECT_EQ(analyzer.Termination(CcLine::kCc1), CcTermination::kNone);
    // An absurd interval is held to the longest the analyzer has.
    EXPECT_TRUE(analyzer.WriteCommand(SetSamplingIntervalPacket(1 << 30)).Ok());
    EXPECT_EQ(analyzer.SamplingIntervalMs(), 1000);
}

TEST(VirtualAnalyzer, FirmwareUpdateModeTakesItOffTheBusForAWhile) {
    VirtualAnalyzerOptions options = UnpacedAnalyzer();
    options.firmwareUpdateAbsenceMs = 60;
    VirtualAnalyzer analyzer(options);
    VirtualTransport transport(analyzer);
    const std::vector<UsbDeviceId> ids = {kVirtualAnalyzerId};
    ASSERT_EQ(transport.List(ids).size(), 1u);
    ASSERT_TRUE(transport.Open("virtual").Ok());
    ASSERT_TRUE(
        transport.WriteCommand(SetCcTerminationPacket(CcLine::kCc2, CcTermination::kRd)).Ok());
    ASSERT_TRUE(transport.WriteCommand(EnterFirmwareUpdatePacket()).Ok());
    std::array<uint8_t, 64> buffer{};
    EXPECT_EQ(transport.ReadStream(buffer, 10).error, TransportError::kGone);
    EXPECT_EQ(transport.GetDescriptor(kDescriptorTypeDevice, 0, 0, buffer).error,
              TransportError::kGone);
    EXPECT_TRUE(transport.List(ids).empty());
    transport.Close();
    std::this_thread::sleep_for(std::chrono::milliseconds(80));
    ASSERT_EQ(transport.List(ids).size(), 1u);
    EXPECT_EQ(analyzer.Termination(CcLine::kCc2), CcTermination::kNone);  // as after power-up
    EXPECT_TRUE(transport.List(std::vector<UsbDeviceId>{{0x1209, 0x0001}}).empty());
    EXPECT_EQ(transport.Open("3-1").error, TransportError::kNotFound);
}

}  // namespace
