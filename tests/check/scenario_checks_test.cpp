// The checks on synthesized captures: the well-behaved scenarios give no error finding, and the
// `faults` scenario fires every rule it plants a fault for, each in its own connection.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>

#include "capture/document.h"
#include "check/check_walk.h"
#include "device/sim/simulator.h"

namespace {

CheckReport CheckScenario(const std::string& scenario, double seconds = 0.0) {
    SimulationOptions options;
    options.scenario = scenario;
    options.seconds = seconds;
    const std::string path =
        (std::filesystem::temp_directory_path() / ("zoduz-check-" + scenario + ".zaz")).string();
    std::string error;
    EXPECT_TRUE(SimulateToFile(options, path, error).has_value()) << error;
    CKVDoc doc;
    doc.DecodeAll(path);
    std::filesystem::remove(path);
    return CheckCapture(doc.Snapshot(), CheckOptions{});
}

std::map<std::string, int> RuleCounts(const CheckReport& report, Severity severity) {
    std::map<std::string, int> counts;
    for (const Finding& finding : report.findings) {
        if (finding.severity == severity) {
            ++counts[finding.rule];
        }
    }
    return counts;
}

TEST(ScenarioChecks, WellBehavedScenariosHaveNoError) {
    for (const char* scenario : {"spr", "epr", "pr-swap", "alt-mode", "hard-reset", "noisy"}) {
        CheckReport report = CheckScenario(scenario);
        EXPECT_TRUE(RuleCounts(report, Severity::kError).empty()) << scenario;
        EXPECT_FALSE(report.contracts.empty()) << scenario;
    }
    // The catalog's sink asks for EPR mode without having said it can (on purpose).
    std::map<std::string, int> catalog = RuleCounts(CheckScenario("catalog"), Severity::kError);
    EXPECT_EQ(catalog, (std::map<std::string, int>{{"S-EPR-ENTRY", 1}}));
    EXPECT_TRUE(RuleCounts(CheckScenario("long", 120.0), Severity::kError).empty());
}

TEST(ScenarioChecks, PlantedFaultsFireTheirRules) {
    CheckReport report = CheckScenario("faults");
    std::set<std::string> fired;
    for (const Finding& finding : report.findings) {
        if (finding.severity != Severity::kInfo) {
            fired.insert(finding.rule);
        }
    }
    for (const char* rule :
         {"P-GOODCRC-TIME",    "P-RETRY-COUNT",  "P-RETRY-TIME", "P-MSGID-SEQ",
          "P-MSGID-DUP",       "P-MSGID-RESET",  "T-RCVRSP",     "T-SRCTRANS",
          "T-PSTRANS",         "E-PSRDY-VBUS",   "E-CONTRACT-V", "T-SRCREADY",
          "E-SINK-STANDBY",    "E-SINK-CURRENT", "M-RDO-POS",    "M-RDO-CUR",
          "S-REQUEST-INVALID", "M-SRCCAP-ORDER", "T-HARDRESET",  "T-EPR-KEEPALIVE"}) {
        EXPECT_EQ(fired.count(rule), 1u) << rule;
    }
    // Nothing fires that no episode planted.
    std::set<std::string> planted = {
        "P-GOODCRC-TIME",    "P-RETRY-COUNT",  "P-RETRY-TIME", "P-MSGID-SEQ",
        "P-MSGID-DUP",       "P-MSGID-RESET",  "T-RCVRSP",     "T-SRCTRANS",
        "T-PSTRANS",         "E-PSRDY-VBUS",   "E-CONTRACT-V", "T-SRCREADY",
        "E-SINK-STANDBY",    "E-SINK-CURRENT", "M-RDO-POS",    "M-RDO-CUR",
        "S-REQUEST-INVALID", "M-SRCCAP-ORDER", "T-HARDRESET",  "T-EPR-KEEPALIVE"};
    for (const std::string& rule : fired) {
        EXPECT_EQ(planted.count(rule), 1u) << "unplanted " << rule;
    }
}

// The window keeps the report's contracts as long as the capture is open: closing the one the
// capture ends in leaves no spare room behind.
TEST(ScenarioChecks, AReportsContractsTakeNoSpareRoom) {
    const CheckReport report = CheckScenario("long", 120.0);
    ASSERT_GT(report.contracts.size(), 10u);
    EXPECT_EQ(report.contracts.back().end, ContractEnd::kCaptureEnd);
    EXPECT_LE(report.contracts.capacity(), report.contracts.size() + 1);
}

// A walk that hands over its ended contracts as it goes, as the window's does, ends up with the
// contracts of a walk over the whole capture at once.
TEST(ScenarioChecks, ContractsHandedOverOnTheWayAddUpToTheWholeReport) {
    SimulationOptions options;
    options.scenario = "long";
    options.seconds = 120.0;
    const std::string path =
        (std::filesystem::temp_directory_path() / "zoduz-check-handed-over.zaz").string();
    std::string error;
    ASSERT_TRUE(SimulateToFile(options, path, error).has_value()) << error;
    CKVDoc doc;
    doc.DecodeAll(path);
    std::filesystem::remove(path);
    const DocumentSnapshot snapshot = doc.Snapshot();
    const CheckReport whole = CheckCapture(snapshot, CheckOptions{});

    CheckWalk walk(CheckOptions{});
    std::vector<Contract> handed;
    const size_t count = snapshot.packets.size();
    for (size_t end : {count / 3, count / 2, count}) {
        walk.Advance(snapshot, end);
        std::vector<Contract> ended = walk.TakeEndedContracts();
        EXPECT_FALSE(ended.empty());
        handed.insert(handed.end(), ended.begin(), ended.end());
        // A report lists only what was not handed over.
        for (const Contract& contract : walk.Report(snapshot).contracts) {
            EXPECT_EQ(contract.end, ContractEnd::kCaptureEnd);
        }
    }
    const std::vector<Contract> open = walk.Report(snapshot).contracts;
    handed.insert(handed.end(), open.begin(), open.end());
    ASSERT_EQ(handed.size(), whole.contracts.size());
    for (size_t k = 0; k < handed.size(); ++k) {
        EXPECT_EQ(handed[k].requestPacket, whole.contracts[k].requestPacket) << k;
        EXPECT_EQ(handed[k].end, whole.contracts[k].end) << k;
        EXPECT_EQ(handed[k].finalVoltage, whole.contracts[k].finalVoltage) << k;
    }
    EXPECT_TRUE(walk.TakeEndedContracts().empty());
}

}  // namespace
