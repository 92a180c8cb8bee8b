// Rules measured on the VBUS/IBUS trace, EPR and the contracts, on hand-built captures.
#include <gtest/gtest.h>

#include "check/check_format.h"
#include "check_capture.h"

namespace {

const std::vector<uint32_t> kPdos = {FixedPdo(5000, 3000), FixedPdo(9000, 3000)};

TEST(PowerRules, SourceTransitionTiming) {
    for (auto [delay, expected] : {std::pair{30000, -1}, {10000, 0}, {60000, 1}}) {
        TestCapture capture;
        capture.Attach();
        capture.Negotiate(kPdos, FixedRdo(2, 2000, 2000), 9000, delay, 150000);
        std::vector<Finding> found = Of(capture.Check(), "T-SRCTRANS");
        if (expected < 0) {
            EXPECT_TRUE(found.empty()) << delay;
        } else {
            ASSERT_EQ(found.size(), 1u) << delay;
            EXPECT_EQ(static_cast<int>(found[0].severity), expected);
        }
    }
}

TEST(PowerRules, SettleAndReady) {
    TestCapture slow;
    slow.Attach();
    TestCapture::Negotiation n =
        slow.Negotiate(kPdos, FixedRdo(2, 2000, 2000), 9000, 30000, 400000);
    // A slow ramp: 9 V only 330 ms after the transition started.
    slow.Vbus(n.acceptAckEnd + 30000 + 40000, 5800);
    slow.Vbus(n.acceptAckEnd + 30000 + 330000, 9000);
    std::vector<Finding> found = Of(slow.Check(), "T-SRCREADY");
    EXPECT_EQ(found.size(), 2u);  // settled late, and PS_RDY later than 285 ms

    TestCapture fine;
    fine.Attach();
    fine.Negotiate(kPdos, FixedRdo(2, 2000, 2000), 9000);
    EXPECT_TRUE(Of(fine.Check(), "T-SRCREADY").empty());
}

TEST(PowerRules, VbusAtPsRdyAndDuringContract) {
    // 8.4 V at PS_RDY: outside vSrcNew (8.55-9.45 V) but inside vSrcValid.
    for (auto [mv, expected] : {std::pair{9000, -1}, {8400, 1}, {7500, 0}}) {
        TestCapture capture;
        capture.Attach();
        capture.Negotiate(kPdos, FixedRdo(2, 2000, 2000), mv);
        capture.WaitMs(300);
        capture.Exchange(Side::kSink, kCtrlGetSourceCap);
        CheckReport report = capture.Check();
        std::vector<Finding> atPsRdy = Of(report, "E-PSRDY-VBUS");
        std::vector<Finding> during = Of(report, "E-CONTRACT-V");
        if (expected < 0) {
            EXPECT_TRUE(atPsRdy.empty());
            EXPECT_TRUE(during.empty());
        } else {
            ASSERT_EQ(atPsRdy.size(), 1u) << mv;
            EXPECT_EQ(static_cast<int>(atPsRdy[0].severity), expected);
            ASSERT_EQ(during.size(), 1u) << mv;
            EXPECT_EQ(static_cast<int>(during[0].severity), expected);
        }
    }
}

TEST(PowerRules, DetachEndsTheContractWhereVbusStartsToFall) {
    for (int mv : {9000, 8400}) {
        TestCapture capture;
        capture.Attach();
        capture.Negotiate(kPdos, FixedRdo(2, 2000, 2000), mv);
        const int64_t unplug = capture.now + 500000;
        capture.Vbus(unplug, mv);
        capture.Vbus(unplug + 180000, 0);  // discharged at 50 mV/ms
        capture.now = unplug + 900000;
        capture.Attach();
        capture.Vbus(capture.now - 100000, 0);
        capture.Vbus(capture.now - 50000, 5000);
        capture.Negotiate(kPdos, FixedRdo(1, 1000, 1000), 5000);
        CheckReport report = capture.Check();
        ASSERT_EQ(report.contracts.size(), 2u) << Describe(report);
        EXPECT_EQ(report.contracts[0].end, ContractEnd::kDetach);
        EXPECT_NEAR(static_cast<double>(report.contracts[0].endTime), unplug, 1500);
        // The fall itself is no violation; a contract below vSrcNew throughout is.
        EXPECT_EQ(Of(report, "E-CONTRACT-V").size(), mv == 9000 ? 0u : 1u) << Describe(report);
        EXPECT_TRUE(Of(report, "E-VSAFE5V").empty()) << Describe(report);
        EXPECT_TRUE(Of(report, "P-MSGID-SEQ").empty()) << Describe(report);
    }
}

TEST(PowerRules, ImplicitContractAndFirstCaps) {
    TestCapture high;
    high.Attach();
    high.Vbus(80000, 5000);
    high.Vbus(90000, 5900);  // above vSafe5V before any contract
    high.Vbus(100000, 5000);
    high.Negotiate(kPdos, FixedRdo(2, 2000, 2000), 9000);
    EXPECT_EQ(Of(high.Check(), "E-VSAFE5V").size(), 1u);

    TestCapture late;
    late.Attach();
    late.now = 400000;  // 340 ms after VBUS reached 4.75 V
    late.Negotiate(kPdos, FixedRdo(2, 2000, 2000), 9000);
    CheckReport report = late.Check();
    EXPECT_EQ(Of(report, "T-FIRSTCAP").size(), 1u);
    EXPECT_TRUE(Of(report, "E-VSAFE5V").empty());
}

TEST(PowerRules, HardResetRecovery) {
    for (double offMs : {800.0, 300.0}) {
        TestCapture capture;
        capture.Attach();
        capture.Negotiate(kPdos, FixedRdo(2, 2000, 2000), 9000);
        capture.WaitMs(200);
        int64_t reset = capture.now;
        capture.HardReset();
        capture.Vbus(reset + 30000, 9000);
        capture.Vbus(reset + 90000, 0);
        const int64_t on = reset + 90000 + static_cast<int64_t>(offMs * 1000);
        capture.Vbus(on, 0);
        capture.Vbus(on + 50000, 5000);
        capture.now = on + 150000;
        capture.Negotiate(kPdos, FixedRdo(1, 1000, 1000), 5000);
        CheckReport report = capture.Check();
        EXPECT_EQ(Of(report, "T-HARDRESET").size(), offMs < 660 ? 1u : 0u) << Describe(report);
        EXPECT_TRUE(Of(report, "P-MSGID-RESET").empty()) << Describe(report);
    }
}

TEST(PowerRules, SinkStandbyAndCurrent) {
    TestCapture standby;
    standby.Attach();
    standby.Exchange(Side::kSource, kDataSourceCapabilities, kPdos);
    standby.Ibus(standby.now, 1000);  // 5 W during the change
    standby.Negotiate({}, FixedRdo(2, 2000, 2000), 9000);
    EXPECT_EQ(Of(standby.Check(), "E-SINK-STANDBY").size(), 1u);

    for (auto [ma, expected] : {std::pair{1900, -1}, {2500, 1}, {3200, 0}}) {
        TestCapture capture;
        capture.Attach();
        TestCapture::Negotiation n = capture.Negotiate(kPdos, FixedRdo(2, 2000, 2000), 9000);
        capture.Ibus(n.psRdy->relTime + 10000, 90);
        capture.Ibus(n.psRdy->relTime + 20000, ma);
        capture.WaitMs(3000);
        std::vector<Finding> found = Of(capture.Check(), "E-SINK-CURRENT");
        if (expected < 0) {
            EXPECT_TRUE(found.empty()) << ma;
        } else {
            ASSERT_EQ(found.size(), 1u) << ma;
            EXPECT_EQ(static_cast<int>(found[0].severity), expected);
        }
    }
}

TEST(PowerRules, PpsVoltage) {
    const std::vector<uint32_t> pdos = {FixedPdo(5000, 3000), PpsPdo(3300, 11000, 3000)};
    for (int mv : {9000, 8000}) {
        TestCapture capture;
        capture.Attach();
        capture.Negotiate(pdos, PpsRdo(2, 9000, 2000), mv);
        capture.WaitMs(500);
        EXPECT_EQ(Of(capture.Check(), "E-PPS-V").size(), mv == 9000 ? 0u : 1u);
    }
}

TEST(PowerRules, NoVbusMeasurementSkipsVbusRulesWithOneNotice) {
    TestCapture capture;
    capture.Negotiate(kPdos, FixedRdo(2, 2000, 2000), 9000, 1000, 100000);
    DocumentSnapshot snapshot;
    snapshot.packets = capture.packets;  // no samples at all
    CheckReport report = CheckCapture(snapshot, {});
    EXPECT_FALSE(report.vbusMeasured);
    ASSERT_EQ(report.findings.size(), 1u) << Describe(report);
    EXPECT_EQ(report.findings[0].rule, "E-NO-VBUS");
    EXPECT_EQ(report.findings[0].severity, Severity::kInfo);
}

TEST(PowerRules, ContractStory) {
    TestCapture capture;
    capture.Attach();
    TestCapture::Negotiation n = capture.Negotiate(kPdos, FixedRdo(2, 2000, 2000), 9000);
    capture.WaitMs(200);
    capture.Exchange(Side::kSource, kCtrlDrSwap);
    capture.Exchange(Side::kSink, kCtrlAccept);
    capture.WaitMs(100);
    capture.HardReset();
    CheckReport report = capture.Check();
    ASSERT_EQ(report.contracts.size(), 1u);
    const Contract& c = report.contracts[0];
    EXPECT_EQ(c.pdoType, "Fixed");
    EXPECT_EQ(c.voltage, 9000);
    EXPECT_EQ(c.current, 2000);
    EXPECT_EQ(c.maxCurrent, 3000);
    EXPECT_EQ(c.position, 2);
    EXPECT_EQ(c.requestPacket, capture.NumberOf(n.request));
    EXPECT_EQ(c.psRdyPacket, capture.NumberOf(n.psRdy));
    EXPECT_EQ(*c.psRdyLatency, 100000);
    // VBUS leaves vSafe5V (5.5 V) 5 ms into the ramp that starts 27 ms after the GoodCRC.
    EXPECT_NEAR(static_cast<double>(*c.transitionStart), 32000, 1000);
    EXPECT_EQ(c.end, ContractEnd::kHardReset);
    ASSERT_EQ(c.events.size(), 1u);
    EXPECT_EQ(c.events[0].rfind("DR_Swap #", 0), 0u);
    EXPECT_NE(ContractJson(c, 0).find("\"end\":\"hard reset\""), std::string::npos);
}

TEST(EprRules, EntryKeepAliveAndCapabilities) {
    const std::vector<uint32_t> spr = {FixedPdo(5000, 3000, kEprCapablePdo), FixedPdo(20000, 5000)};
    auto enter = [&spr](TestCapture& capture, bool eprRdo, double succeededAfterMs = 5) {
        capture.Attach();
        capture.Negotiate(spr, FixedRdo(2, 3000, 5000, eprRdo ? kEprCapableRdo : 0), 20000);
        capture.WaitMs(50);
        capture.Exchange(Side::kSink, kDataEprMode, {EprModeObject(1)});
        capture.Exchange(Side::kSource, kDataEprMode, {EprModeObject(2)});
        capture.WaitMs(succeededAfterMs);
        capture.Exchange(Side::kSource, kDataEprMode, {EprModeObject(3)});
    };
    TestCapture good;
    enter(good, true);
    EXPECT_TRUE(good.Check().findings.empty()) << Describe(good.Check());

    TestCapture notCapable;
    enter(notCapable, false);
    EXPECT_EQ(Of(notCapable.Check(), "S-EPR-ENTRY").size(), 1u);

    // Enter Succeeded at most tEnterEPR (550 ms) after the GoodCRC of Enter Acknowledged; the
    // acknowledgement's own GoodCRC and gap come before the wait.
    for (const auto& [waitMs, late] : {std::pair{540.0, false}, std::pair{560.0, true}}) {
        TestCapture capture;
        enter(capture, true, waitMs);
        const std::vector<Finding> found = Of(capture.Check(), "T-EPR-ENTER");
        ASSERT_EQ(found.size(), late ? 1u : 0u) << waitMs;
        if (late) {
            EXPECT_EQ(found[0].packets.front(), capture.packets.size() - 2);
            EXPECT_EQ(found[0].limit->value, 550);
        }
    }

    // In EPR mode the sink keeps talking at least every 500 ms.
    TestCapture silent;
    enter(silent, true);
    silent.WaitMs(700);
    silent.ExchangeExtended(Side::kSink, kExtExtendedControl, {3, 0});
    EXPECT_EQ(Of(silent.Check(), "T-EPR-KEEPALIVE").size(), 1u);

    // The EPR capabilities: positions 1-7 mirror the SPR ones.
    std::vector<uint32_t> eprCaps = spr;
    eprCaps.resize(7, 0);
    eprCaps.push_back(FixedPdo(28000, 5000));
    for (bool mirror : {true, false}) {
        TestCapture capture;
        enter(capture, true);
        std::vector<uint32_t> pdos = eprCaps;
        if (!mirror) {
            pdos[1] = FixedPdo(15000, 3000);
        }
        std::vector<uint8_t> block;
        for (uint32_t pdo : pdos) {
            for (int shift = 0; shift < 32; shift += 8) {
                block.push_back(static_cast<uint8_t>(pdo >> shift));
            }
        }
        capture.ExchangeExtended(Side::kSource, kExtEprSourceCapabilities, block);
        capture.Exchange(Side::kSink, kDataEprRequest, {FixedRdo(8, 5000, 5000), pdos[7]});
        CheckReport report = capture.Check();
        EXPECT_EQ(Of(report, "M-EPR-SRCCAP").size(), mirror ? 0u : 1u) << Describe(report);
        EXPECT_TRUE(Of(report, "M-EPR-REQ").empty());
        EXPECT_TRUE(Of(report, "S-EPR-ENTRY").empty()) << Describe(report);
    }

    // An EPR_Request carries a copy of the PDO it asks for; a copy that differs is an error,
    // and so is an EPR capabilities message with more than 11 PDOs.
    auto epr = [&](const std::vector<uint32_t>& pdos, uint32_t copy) {
        TestCapture capture;
        enter(capture, true);
        std::vector<uint8_t> block;
        for (uint32_t pdo : pdos) {
            for (int shift = 0; shift < 32; shift += 8) {
                block.push_back(static_cast<uint8_t>(pdo >> shift));
            }
        }
        capture.ExchangeExtended(Side::kSource, kExtEprSourceCapabilities, block);
        capture.Exchange(Side::kSink, kDataEprRequest, {FixedRdo(8, 5000, 5000), copy});
        return capture.Check();
    };
    const CheckReport wrongCopy = epr(eprCaps, FixedPdo(28000, 3000));
    ASSERT_EQ(Of(wrongCopy, "M-EPR-REQ").size(), 1u) << Describe(wrongCopy);
    EXPECT_NE(Of(wrongCopy, "M-EPR-REQ")[0].text.find("position 8"), std::string::npos);
    std::vector<uint32_t> twelve = eprCaps;
    twelve.resize(12, FixedPdo(36000, 5000));
    EXPECT_EQ(Of(epr(twelve, twelve[7]), "M-NDO").size(), 1u);
    EXPECT_TRUE(Of(epr(eprCaps, eprCaps[7]), "M-NDO").empty());
}

TEST(CheckFormat, FindingLines) {
    Finding finding;
    finding.rule = "P-GOODCRC-TIME";
    finding.severity = Severity::kError;
    finding.packets = {4, 3};
    finding.time = 1500;
    finding.measured = Quantity{402, "µs"};
    finding.limit = Quantity{195, "µs"};
    finding.text = "GoodCRC \"late\"";
    EXPECT_EQ(FindingTsv(finding, 500),
              "1000\terror\tP-GOODCRC-TIME\t4,3\t402 µs\t195 µs\tGoodCRC \"late\"\n");
    EXPECT_EQ(FindingJson(finding, 500),
              "{\"rule\":\"P-GOODCRC-TIME\",\"severity\":\"error\",\"packets\":[4,3],"
              "\"time\":1000,\"measured\":{\"value\":402,\"unit\":\"µs\"},"
              "\"limit\":{\"value\":195,\"unit\":\"µs\"},\"text\":\"GoodCRC \\\"late\\\"\"}\n");
    finding.measured.reset();
    finding.limit = Quantity{12.5, "ms"};
    EXPECT_NE(FindingJson(finding, 0).find("\"measured\":null,\"limit\":{\"value\":12.5,"),
              std::string::npos);
}

}  // namespace
