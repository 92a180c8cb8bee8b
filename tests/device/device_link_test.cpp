#include <gtest/gtest.h>

#include <thread>

#include "device/analyzer_identity.h"
#include "device/analyzer_probe.h"
#include "device/virtual_link.h"
#include "scripted_transport.h"

namespace {

TEST(DeviceLinkPoll, ConnectReadsIdentityAndSetsTheAnalyzerUp) {
    VirtualAnalyzerOptions options = UnpacedAnalyzer("1.23");
    options.texts.serial = "0123456789ABCDEF01234567";
    options.stream.samplingIntervalMs = 3;
    VirtualLink v(options);
    EXPECT_FALSE(v.link.Connected());
    ASSERT_TRUE(v.link.PollDevice());
    EXPECT_TRUE(v.link.Connected());
    EXPECT_TRUE(v.link.HandleOpen());
    EXPECT_EQ(v.link.DevicePath(), "virtual");
    EXPECT_EQ(v.link.FirmwareText(), "1.23");
    EXPECT_EQ(v.link.FirmwareVersion(), 0x0123);
    EXPECT_EQ(v.link.SerialText(), "0123456789ABCDEF01234567");
    SerialNumber expected = {0x67, 0x45, 0x23, 0x01, 0xEF, 0xCD,
                             0xAB, 0x89, 0x67, 0x45, 0x23, 0x01};
    EXPECT_EQ(v.link.SerialBytes(), expected);
    EXPECT_FALSE(v.link.InvalidFirmware());
    // The stored interval (10 ms by default) and both terminations of none went out.
    EXPECT_EQ(v.analyzer.SamplingIntervalMs(), 10);
    EXPECT_EQ(v.link.Termination(CcLine::kCc1), CcTermination::kNone);
    EXPECT_EQ(v.link.Termination(CcLine::kCc2), CcTermination::kNone);
    // Further polls only check the device descriptor.
    EXPECT_TRUE(v.link.PollDevice());
    EXPECT_TRUE(v.link.PollDevice());
}

TEST(DeviceLinkPoll, SamplingIntervalSettingIsSentUnlessZero) {
    DeviceLinkSettings one;
    one.samplingIntervalMs = 1;
    VirtualAnalyzerOptions options = UnpacedAnalyzer();
    options.stream.samplingIntervalMs = 7;
    VirtualLink withOne(options, one);
    ASSERT_TRUE(withOne.link.PollDevice());
    EXPECT_EQ(withOne.analyzer.SamplingIntervalMs(), 1);

    DeviceLinkSettings zero;
    zero.samplingIntervalMs = 0;
    VirtualLink withZero(options, zero);
    ASSERT_TRUE(withZero.link.PollDevice());
    EXPECT_EQ(withZero.analyzer.SamplingIntervalMs(), 7);
}

TEST(DeviceLinkFirmware, OnePointZeroOneIsTheOldestAccepted) {
    VirtualLink accepted(UnpacedAnalyzer("1.01"));
    EXPECT_TRUE(accepted.link.PollDevice());
    EXPECT_EQ(accepted.link.FirmwareVersion(), 0x0101);
    for (const char* old : {"1.00", "0.92"}) {
        VirtualLink refused(UnpacedAnalyzer(old));
        EXPECT_FALSE(refused.link.PollDevice()) << old;
        EXPECT_TRUE(refused.link.InvalidFirmware()) << old;
        EXPECT_FALSE(refused.link.Connected());
        EXPECT_FALSE(refused.link.HandleOpen());
        EXPECT_FALSE(refused.analyzer.IsOpen());
        EXPECT_EQ(refused.link.FirmwareText(), old);
    }
}

TEST(DeviceLinkFirmware, ThreeCharacterTextKeepsTheLastVersionAndIsRefused) {
    VirtualLink v(UnpacedAnalyzer("1.2"));
    EXPECT_FALSE(v.link.PollDevice());
    EXPECT_EQ(v.link.FirmwareVersion(), 0);
    EXPECT_TRUE(v.link.InvalidFirmware());
}

TEST(DeviceLinkFirmware, ShortTextNeverInheritsTheVersionOfAnAnalyzerUnpluggedBefore) {
    ScriptedTransport transport;
    DeviceLink link(transport);
    ASSERT_TRUE(link.PollDevice());
    EXPECT_EQ(link.FirmwareVersion(), 0x0123);
    // Unplugged, and within the same tick another analyzer with a short text plugged in.
    transport.deviceDescriptorSize = 17;
    EXPECT_FALSE(link.PollDevice());
    transport.deviceDescriptorSize = 18;
    transport.firmware = "1.2";
    EXPECT_FALSE(link.PollDevice());
    EXPECT_TRUE(link.InvalidFirmware());
    EXPECT_EQ(link.FirmwareVersion(), 0);
    EXPECT_EQ(link.FirmwareText(), "1.2");
}

TEST(DeviceLinkFirmware, OldAnalyzerIsRefusedAtEveryPollUntilItIsGone) {
    VirtualLink v(UnpacedAnalyzer("0.92"));
    for (int poll = 0; poll < 3; ++poll) {
        EXPECT_FALSE(v.link.PollDevice());
        EXPECT_TRUE(v.link.InvalidFirmware());
        EXPECT_FALSE(v.analyzer.IsOpen());
    }
    // A poll that finds no analyzer at all clears the state.
    DeviceLinkSettings elsewhere;
    elsewhere.ids = {{0x1234, 0x5678}};
    v.link.SetSettings(elsewhere);
    EXPECT_FALSE(v.link.PollDevice());
    EXPECT_FALSE(v.link.InvalidFirmware());
    EXPECT_EQ(v.link.FirmwareText(), "");
    EXPECT_EQ(v.link.FirmwareVersion(), 0);
}

TEST(DeviceLinkCommands, CcInjectionWhileDisconnectedChangesNothing) {
    VirtualLink v;
    EXPECT_FALSE(v.link.SetCcTermination(CcLine::kCc2, CcTermination::kRd));
    EXPECT_EQ(v.link.Termination(CcLine::kCc2), CcTermination::kNone);
    EXPECT_EQ(v.analyzer.Termination(CcLine::kCc2), CcTermination::kNone);
    EXPECT_FALSE(v.link.SetSamplingInterval(5));
    EXPECT_FALSE(v.link.EnterFirmwareUpdate());
    EXPECT_FALSE(v.link.SendCommand(kCommandSetCcTermination, std::vector<uint8_t>{1, 2}));
}

TEST(DeviceLinkCommands, AcceptedInjectionIsRemembered) {
    VirtualLink v;
    ASSERT_TRUE(v.link.PollDevice());
    EXPECT_TRUE(v.link.SetCcTermination(CcLine::kCc2, CcTermination::kRd));
    EXPECT_EQ(v.link.Termination(CcLine::kCc2), CcTermination::kRd);
    EXPECT_EQ(v.link.Termination(CcLine::kCc1), CcTermination::kNone);
    EXPECT_EQ(v.analyzer.Termination(CcLine::kCc2), CcTermination::kRd);
    EXPECT_TRUE(v.link.SetSamplingInterval(25));
    EXPECT_EQ(v.analyzer.SamplingIntervalMs(), 25);
}

TEST(DeviceLinkCommands, FailedWriteKeepsTheStoredTermination) {
    ScriptedTransport transport;
    DeviceLink link(transport);
    ASSERT_TRUE(link.PollDevice());
    transport.failWrites = true;
    EXPECT_FALSE(link.SetCcTermination(CcLine::kCc1, CcTermination::kRp1A5));
    EXPECT_EQ(link.Termination(CcLine::kCc1), CcTermination::kNone);
    transport.failWrites = false;
    EXPECT_TRUE(link.SetCcTermination(CcLine::kCc1, CcTermination::kRp1A5));
    EXPECT_EQ(link.Termination(CcLine::kCc1), CcTermination::kRp1A5);
    EXPECT_EQ(transport.written.back(),
              SetCcTerminationPacket(CcLine::kCc1, CcTermination::kRp1A5).bytes);
}

TEST(DeviceLinkCommands, ConnectSendsIntervalThenCc1ThenCc2) {
    ScriptedTransport transport;
    DeviceLink link(transport);
    ASSERT_TRUE(link.PollDevice());
    ASSERT_EQ(transport.written.size(), 3u);
    EXPECT_EQ(transport.written[0], SetSamplingIntervalPacket(10).bytes);
    EXPECT_EQ(transport.written[1],
              SetCcTerminationPacket(CcLine::kCc1, CcTermination::kNone).bytes);
    EXPECT_EQ(transport.written[2],
              SetCcTerminationPacket(CcLine::kCc2, CcTermination::kNone).bytes);
}

TEST(DeviceLinkUnplug, FirmwareUpdateMakesTheNextPollReportDisconnected) {
    VirtualAnalyzerOptions options = UnpacedAnalyzer();
    options.firmwareUpdateAbsenceMs = 100;
    VirtualLink v(options);
    ASSERT_TRUE(v.link.PollDevice());
    EXPECT_TRUE(v.link.EnterFirmwareUpdate());
    EXPECT_FALSE(v.link.PollDevice());
    EXPECT_FALSE(v.link.Connected());
    EXPECT_FALSE(v.link.HandleOpen());
    // Kept for the record file that the unplug finishes, until a poll finds no analyzer.
    EXPECT_EQ(v.link.FirmwareVersion(), 0x0123);
    EXPECT_FALSE(v.link.PollDevice());  // still away
    EXPECT_EQ(v.link.FirmwareText(), "");
    EXPECT_EQ(v.link.FirmwareVersion(), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_TRUE(v.link.PollDevice());  // back, set up again
    EXPECT_EQ(v.link.FirmwareVersion(), 0x0123);
}

TEST(DeviceLinkUnplug, ShortDeviceDescriptorCountsAsGone) {
    ScriptedTransport transport;
    DeviceLink link(transport);
    ASSERT_TRUE(link.PollDevice());
    transport.deviceDescriptorSize = 17;
    EXPECT_FALSE(link.PollDevice());
    EXPECT_FALSE(link.Connected());
    EXPECT_EQ(transport.closes, 1);
}

TEST(DeviceLinkOpen, TriesSeventeenAnalyzersThenFailsWithTheLastError) {
    ScriptedTransport transport;
    transport.analyzers = 20;
    transport.openableFrom = 20;
    transport.openError = TransportError::kNoPermission;
    DeviceLink link(transport);
    EXPECT_FALSE(link.PollDevice());
    EXPECT_EQ(transport.opens, 17);
    EXPECT_EQ(link.LastError(), "refused");
    // The fourth one opens.
    transport.opens = 0;
    transport.openableFrom = 3;
    EXPECT_TRUE(link.PollDevice());
    EXPECT_EQ(transport.opens, 4);
    EXPECT_EQ(link.DevicePath(), "path3");
}

TEST(DeviceLinkOpen, InterfaceThatCannotBeClaimedEndsTheSearch) {
    ScriptedTransport transport;
    transport.analyzers = 3;
    transport.openableFrom = 1;
    transport.openError = TransportError::kBusy;
    DeviceLink link(transport);
    EXPECT_FALSE(link.PollDevice());
    EXPECT_EQ(transport.opens, 1);
    EXPECT_EQ(link.LastError(), "busy");
}

TEST(DeviceLinkOpen, OverlongPathEndsTheSearch) {
    ScriptedTransport transport;
    transport.pathLength = 261;
    DeviceLink link(transport);
    EXPECT_FALSE(link.PollDevice());
    EXPECT_EQ(transport.opens, 0);
    transport.pathLength = 260;
    EXPECT_TRUE(link.PollDevice());
}

TEST(DeviceLinkRead, StreamReadsNeedAnOpenAnalyzer) {
    VirtualLink v;
    std::vector<uint8_t> buffer(kStreamReadSize);
    EXPECT_EQ(v.link.Read(buffer).error, TransportError::kNotOpen);
    ASSERT_TRUE(v.link.PollDevice());
    TransportResult read = v.link.Read(buffer);
    ASSERT_TRUE(read.Ok());
    EXPECT_EQ(read.bytes, kStreamReadSize);
    v.link.Close();
    EXPECT_EQ(v.link.Read(buffer).error, TransportError::kNotOpen);
    EXPECT_FALSE(v.analyzer.IsOpen());
}

}  // namespace

namespace {

TEST(DeviceLinkPoll, WithoutSetUpAtConnectNothingIsSent) {
    ScriptedTransport transport;
    DeviceLinkSettings settings;
    settings.configureAtConnect = false;
    DeviceLink link(transport, settings);
    ASSERT_TRUE(link.PollDevice());
    EXPECT_TRUE(transport.written.empty());
    EXPECT_EQ(link.DeviceId(), kVirtualAnalyzerId);
}

TEST(AnalyzerProbe, ListsEachAnalyzerWithItsIdentityAndVerdict) {
    VirtualAnalyzer refused(UnpacedAnalyzer("1.00"));
    VirtualTransport transport(refused);
    std::vector<AnalyzerProbe> probes = ProbeAnalyzers(transport, DefaultAnalyzerIds());
    ASSERT_EQ(probes.size(), 1u);
    EXPECT_TRUE(probes[0].opened.Ok());
    EXPECT_EQ(probes[0].location.path, "virtual");
    EXPECT_EQ(probes[0].firmwareText, "1.00");
    EXPECT_EQ(probes[0].firmwareVersion, 0x0100);
    EXPECT_FALSE(probes[0].validFirmware);
    EXPECT_EQ(probes[0].serialText, "53494D000000000000000001");
    EXPECT_FALSE(refused.IsOpen());  // closed again after the look

    ScriptedTransport busy;
    busy.analyzers = 2;
    busy.openableFrom = 1;
    probes = ProbeAnalyzers(busy, DefaultAnalyzerIds());
    ASSERT_EQ(probes.size(), 2u);
    EXPECT_EQ(probes[0].opened.error, TransportError::kBusy);
    EXPECT_TRUE(probes[1].opened.Ok());
    EXPECT_TRUE(probes[1].validFirmware);
}

}  // namespace
