// Opening captures for commands and scripts: the failures told apart with their texts, the
// problems of a cut file, the sample records and the packet facts.
#include <gtest/gtest.h>

#include <limits>

#include "device/sim/simulator.h"
#include "pd/message_header.h"
#include "query/opened_capture.h"
#include "query/packet_fields.h"
#include "query/packet_record.h"
#include "query/simulation_file.h"
#include "temp_files.h"

namespace {

std::string Simulated(const TempDir& dir, const std::string& scenario) {
    SimulationRequest request;
    request.options.scenario = scenario;
    request.options.seconds = 2;
    request.options.intervalMs = 10;
    request.output = dir.File(scenario + ".zaz");
    EXPECT_EQ(SimulateRecordFile(request).kind, SimulationOutcome::kOk);
    return request.output;
}

TEST(OpenCapture, FailuresKeepTheirCausesAndTexts) {
    TempDir dir;
    CKVDoc doc;
    const std::string missing = dir.File("missing.zaz");
    OpenOutcome outcome = OpenCapture(missing, false, doc);
    EXPECT_EQ(outcome.kind, OpenOutcome::kMissing);
    EXPECT_EQ(outcome.message, "cannot read '" + missing + "'");

    outcome = OpenCapture(dir.Path().string(), false, doc);
    EXPECT_EQ(outcome.kind, OpenOutcome::kNotRegularFile);
    EXPECT_EQ(outcome.message, "'" + dir.Path().string() + "' is not a regular file");

    const std::string session = dir.File("broken.sr");
    WriteFile(session, {'P', 'K', 3, 4, 0, 0});
    outcome = OpenCapture(session, false, doc);
    EXPECT_EQ(outcome.kind, OpenOutcome::kDamaged);
    EXPECT_EQ(outcome.message.rfind("cannot read '" + session + "' as a sigrok session: ", 0), 0u)
        << outcome.message;

    const std::string text = dir.File("text.zaz");
    WriteFile(text, std::vector<uint8_t>(640, 'x'));
    std::shared_ptr<const OpenedCapture> opened = OpenedCapture::Open(text, {}, outcome);
    EXPECT_EQ(opened, nullptr);
    EXPECT_EQ(outcome.kind, OpenOutcome::kDamaged);
    EXPECT_EQ(outcome.message, "'" + text +
                                   "': No valid record block found: this is probably not a "
                                   "Zoduz record file.");
    EXPECT_EQ(NoPacketText(-2, "a.zaz", 7), "no packet -2 in 'a.zaz' (7 packets)");
}

TEST(OpenCapture, CutFileOpensWithItsProblem) {
    TempDir dir;
    const std::string path = Simulated(dir, "spr");
    std::filesystem::resize_file(path, std::filesystem::file_size(path) - 64 * 3 - 20);
    OpenOutcome outcome;
    std::shared_ptr<const OpenedCapture> opened = OpenedCapture::Open(path, {}, outcome);
    ASSERT_NE(opened, nullptr) << outcome.message;
    EXPECT_NE(opened->Problems().find("its last 44 bytes are not decoded."), std::string::npos)
        << opened->Problems();
    EXPECT_GT(opened->Doc().PacketCount(), 0u);
}

TEST(OpenedCapture, SampleRecordsNegateCurrentsOnRequest) {
    TempDir dir;
    OpenOutcome outcome;
    const std::string path = Simulated(dir, "epr");
    std::shared_ptr<const OpenedCapture> plain = OpenedCapture::Open(path, {}, outcome);
    std::shared_ptr<const OpenedCapture> reversed =
        OpenedCapture::Open(path, {.reverseCurrent = true}, outcome);
    ASSERT_NE(plain, nullptr);
    ASSERT_NE(reversed, nullptr);
    const size_t count = plain->Doc().SampleCount();
    ASSERT_GT(count, 100u);
    std::vector<SampleRecord> a(count);
    std::vector<SampleRecord> b(count);
    CopySamples(plain->Doc().Snapshot().samples, false, a);
    CopySamples(reversed->Doc().Snapshot().samples, true, b);
    bool current = false;
    for (size_t i = 0; i < count; ++i) {
        const CVbusInfo s = *plain->Doc().SampleAt(i);
        EXPECT_EQ(a[i].timeUs, s.time);
        EXPECT_EQ(a[i].vbusMv, s.vbusVoltage);
        EXPECT_EQ(a[i].vbusMa, s.vbusCurrent);
        EXPECT_EQ(a[i].cc2Mv, s.cc2Voltage);
        EXPECT_EQ(b[i].vbusMa, -s.vbusCurrent);
        EXPECT_EQ(b[i].cc1Ma, -s.cc1Current);
        EXPECT_EQ(b[i].cc2Ma, -s.cc2Current);
        EXPECT_EQ(b[i].vbusMv, a[i].vbusMv);
        current = current || s.vbusCurrent != 0;
    }
    EXPECT_TRUE(current);
}

TEST(PacketRecord, HeaderDataObjectsAndBytes) {
    TempDir dir;
    OpenOutcome outcome;
    std::shared_ptr<const OpenedCapture> opened =
        OpenedCapture::Open(Simulated(dir, "spr"), {}, outcome);
    ASSERT_NE(opened, nullptr);
    const CCCPacket& caps = *opened->Doc().Packets()[0];
    ASSERT_EQ(MessageName(caps), "Source_Capabilities");
    const std::span<const uint8_t> bytes = PacketMessageBytes(caps);
    ASSERT_GE(bytes.size(), 6u);
    EXPECT_EQ(PacketHeader(caps), bytes[0] | bytes[1] << 8);
    const std::vector<uint32_t> objects = PacketDataObjects(caps);
    ASSERT_EQ(static_cast<int>(objects.size()), DataObjectCount(caps));
    EXPECT_EQ(objects[0], static_cast<uint32_t>(bytes[2] | bytes[3] << 8 | bytes[4] << 16 |
                                                static_cast<uint32_t>(bytes[5]) << 24));

    CCCPacket reset;
    reset.orderedSetKind = kOsHardReset;
    EXPECT_EQ(PacketHeader(reset), std::nullopt);
    EXPECT_TRUE(PacketDataObjects(reset).empty());
    std::string error;
    EXPECT_EQ(NodeFieldRows(caps, 0, 0x08000000, error), std::nullopt);
    EXPECT_EQ(error, "packet 0 has no node 08000000");
    ASSERT_TRUE(NodeFieldRows(caps, 0, std::nullopt, error).has_value());
}

TEST(PacketFields, NodeCodes) {
    EXPECT_EQ(ParseNodeCode("04010000"), 0x04010000u);
    EXPECT_EQ(ParseNodeCode("0x2400000a"), 0x2400000Au);
    EXPECT_EQ(ParseNodeCode("FFFFFFFF"), std::numeric_limits<uint32_t>::max());
    for (const char* bad : {"", "0x", "123456789", "12g4", "-1", " 1"}) {
        EXPECT_EQ(ParseNodeCode(bad), std::nullopt) << bad;
    }
}

}  // namespace
