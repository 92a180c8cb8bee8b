// Protocol layer rules on hand-built captures: each rule fires on its fault and stays quiet on
// the same traffic without it.
#include <gtest/gtest.h>

#include "check_capture.h"

namespace {

const std::vector<uint32_t> kPdos = {FixedPdo(5000, 3000), FixedPdo(9000, 3000)};

// A clean attach and 9 V negotiation.
TestCapture CleanCapture() {
    TestCapture capture;
    capture.Attach();
    capture.Negotiate(kPdos, FixedRdo(2, 2000, 2000), 9000);
    return capture;
}

TEST(ProtocolRules, CleanNegotiationHasNoFinding) {
    TestCapture capture = CleanCapture();
    CheckReport report = capture.Check();
    EXPECT_TRUE(report.findings.empty()) << Describe(report);
    ASSERT_EQ(report.contracts.size(), 1u);
    EXPECT_TRUE(report.vbusMeasured);
}

TEST(ProtocolRules, GoodCrcTime) {
    TestCapture late;
    late.Attach();
    late.goodCrcDelayUs = 402;
    late.Exchange(Side::kSource, kDataSourceCapabilities, kPdos);
    std::vector<Finding> found = Of(late.Check(), "P-GOODCRC-TIME");
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].severity, Severity::kError);
    EXPECT_EQ(found[0].measured->value, 402);
    EXPECT_EQ(found[0].text,
              "GoodCRC 402 µs after the end of Source_Capabilities #0 (tTransmit at most 195 µs)");
    // 195 µs plus the guard band of one tick and the rounding passes.
    TestCapture edge;
    edge.Attach();
    edge.goodCrcDelayUs = 197;
    edge.Exchange(Side::kSource, kDataSourceCapabilities, kPdos);
    EXPECT_TRUE(Of(edge.Check(), "P-GOODCRC-TIME").empty());
}

TEST(ProtocolRules, GoodCrcMatchAndAfterBad) {
    TestCapture wrongId;
    wrongId.Attach();
    wrongId.Send(Side::kSource, kDataSourceCapabilities, kPdos);
    wrongId.now += 60;
    wrongId.GoodCrc(Side::kSink, 5);
    EXPECT_EQ(Of(wrongId.Check(), "P-GOODCRC-MATCH").size(), 1u);

    TestCapture bad;
    bad.Attach();
    bad.Send(Side::kSource, kDataSourceCapabilities, kPdos, -1, false);
    bad.now += 60;
    bad.GoodCrc(Side::kSink, 0);
    CheckReport report = bad.Check();
    EXPECT_EQ(Of(report, "P-GOODCRC-AFTER-BAD").size(), 1u);
    EXPECT_TRUE(Of(report, "P-GOODCRC-MATCH").empty());

    EXPECT_TRUE(Of(CleanCapture().Check(), "P-GOODCRC-MATCH").empty());
}

// An unacknowledged message sent `copies` times, `gapUs` apart, then acknowledged.
TestCapture Retries(int copies, int64_t gapUs, int revision = 2, bool change = false) {
    TestCapture capture;
    capture.revision = revision;
    capture.Attach();
    PacketPtr first = capture.Send(Side::kSource, kDataSourceCapabilities, kPdos);
    int id = capture.IdOf(first);
    for (int copy = 1; copy < copies; ++copy) {
        capture.now += gapUs;
        capture.Send(Side::kSource, kDataSourceCapabilities,
                     change && copy == 1 ? std::vector<uint32_t>{FixedPdo(5000, 1500)} : kPdos, id);
    }
    capture.now += 60;
    capture.GoodCrc(Side::kSink, id);
    return capture;
}

TEST(ProtocolRules, RetryTimeCountAndSame) {
    EXPECT_TRUE(Retries(3, 1000).Check().findings.empty()) << Describe(Retries(3, 1000).Check());

    std::vector<Finding> early = Of(Retries(2, 600).Check(), "P-RETRY-TIME");
    ASSERT_EQ(early.size(), 1u);
    EXPECT_EQ(early[0].severity, Severity::kError);
    EXPECT_EQ(Of(Retries(2, 600, 1).Check(), "P-RETRY-TIME")[0].severity, Severity::kWarning);
    std::vector<Finding> late = Of(Retries(2, 1500).Check(), "P-RETRY-TIME");
    ASSERT_EQ(late.size(), 1u);
    EXPECT_EQ(late[0].severity, Severity::kWarning);

    // PD 3.x allows 1 + 2 copies, PD 2.0 1 + 3.
    EXPECT_EQ(Of(Retries(4, 1000).Check(), "P-RETRY-COUNT").size(), 1u);
    EXPECT_TRUE(Of(Retries(4, 1000, 1).Check(), "P-RETRY-COUNT").empty());
    EXPECT_EQ(Of(Retries(5, 1000, 1).Check(), "P-RETRY-COUNT").size(), 1u);

    EXPECT_EQ(Of(Retries(2, 1000, 2, true).Check(), "P-RETRY-SAME").size(), 1u);
}

TEST(ProtocolRules, MessageIdSequenceDuplicateAndReset) {
    TestCapture skip;
    skip.Attach();
    skip.Exchange(Side::kSource, kDataSourceCapabilities, kPdos);
    skip.Exchange(Side::kSink, kDataRequest, {FixedRdo(1, 1000, 1000)});
    PacketPtr accept = skip.Send(Side::kSource, kCtrlAccept, {}, 3);  // 1 follows 0
    skip.Acknowledge(Side::kSource, accept);
    EXPECT_EQ(Of(skip.Check(), "P-MSGID-SEQ").size(), 1u);

    TestCapture dup;
    dup.Attach();
    PacketPtr caps = dup.Exchange(Side::kSource, kDataSourceCapabilities, kPdos);
    PacketPtr other = dup.Send(Side::kSource, kCtrlGetSinkCap, {}, dup.IdOf(caps));
    dup.Acknowledge(Side::kSource, other);
    EXPECT_EQ(Of(dup.Check(), "P-MSGID-DUP").size(), 1u);

    // The same message again with its id (its GoodCRC was lost on the way back) is fine.
    TestCapture again;
    again.Attach();
    PacketPtr first = again.Exchange(Side::kSource, kDataSourceCapabilities, kPdos);
    again.Send(Side::kSource, kDataSourceCapabilities, kPdos, again.IdOf(first));
    EXPECT_TRUE(Of(again.Check(), "P-MSGID-DUP").empty());

    TestCapture reset;
    reset.Attach();
    reset.Exchange(Side::kSource, kDataSourceCapabilities, kPdos);
    reset.HardReset();
    PacketPtr after = reset.Send(Side::kSource, kDataSourceCapabilities, kPdos, 2);
    reset.Acknowledge(Side::kSource, after);
    EXPECT_EQ(Of(reset.Check(), "P-MSGID-RESET").size(), 1u);

    TestCapture soft;
    soft.Attach();
    soft.Exchange(Side::kSource, kDataSourceCapabilities, kPdos);
    soft.Exchange(Side::kSink, kCtrlGetSourceCap);
    soft.Send(Side::kSink, kCtrlSoftReset, {}, 4);
    EXPECT_EQ(Of(soft.Check(), "P-MSGID-RESET").size(), 1u);
    EXPECT_TRUE(Of(CleanCapture().Check(), "P-MSGID-RESET").empty());
}

TEST(ProtocolRules, RevisionNegotiation) {
    TestCapture high;
    high.Attach();
    high.revision = 1;
    high.Exchange(Side::kSource, kDataSourceCapabilities, kPdos);
    high.revision = 2;
    high.Exchange(Side::kSink, kDataRequest, {FixedRdo(1, 1000, 1000)});
    EXPECT_GE(Of(high.Check(), "P-REV-NEG").size(), 1u);

    TestCapture later;
    later.Attach();
    later.Negotiate(kPdos, FixedRdo(1, 1000, 1000), 5000);
    later.revision = 1;
    later.Exchange(Side::kSink, kCtrlGetSourceCap);
    std::vector<Finding> found = Of(later.Check(), "P-REV-NEG");
    ASSERT_EQ(found.size(), 1u);
    EXPECT_NE(found[0].text.find("after the ports settled on 3.x"), std::string::npos);
}

TEST(ProtocolRules, RoleBits) {
    TestCapture capture;
    capture.Attach();
    PacketPtr caps = capture.Send(Side::kSource, kDataSourceCapabilities, kPdos);
    capture.now += 60;
    capture.GoodCrc(Side::kSource, capture.IdOf(caps));  // the acknowledging port says Source/DFP
    std::vector<Finding> found = Of(capture.Check(), "P-ROLE-BITS");
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].packets[0], 1);
}

}  // namespace
