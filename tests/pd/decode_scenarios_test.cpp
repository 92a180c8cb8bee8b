// zoduz-cli decode on every synthesizer scenario: each cleanly sent message appears as a row
// whose ordered set, type, header and description are those of the bytes the scenario built.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "capture/stream_builder.h"
#include "capture/temp_files.h"
#include "device/sim/scenarios.h"
#include "device/sim/simulator.h"
#include "pd/chunk_assembler.h"
#include "pd/description_text.h"
#include "pd/message_header.h"
#include "pd/packet_column.h"
#include "pd/port_state.h"
#include "pd/symbols.h"
#include "pd/text_format.h"

namespace {

// Standard output of zoduz-cli with the arguments; `status` gets its exit status.
std::string RunCli(const std::string& arguments, int* status = nullptr) {
    const std::string command = std::string(ZODUZ_CLI_PATH) + " " + arguments + " 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return {};
    }
    std::string out;
    char buffer[65536];
    while (size_t got = std::fread(buffer, 1, sizeof buffer, pipe)) {
        out.append(buffer, got);
    }
    const int result = pclose(pipe);
    if (status != nullptr) {
        *status = WIFEXITED(result) ? WEXITSTATUS(result) : -1;
    }
    return out;
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (true) {
        const size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end - start));
        if (end == std::string::npos) {
            return parts;
        }
        start = end + 1;
    }
}

// The text after "key": up to the closing quote of a JSON string, or the bare number.
std::string JsonValue(const std::string& line, const std::string& key) {
    const std::string marker = "\"" + key + "\":";
    size_t at = line.find(marker);
    if (at == std::string::npos) {
        return {};
    }
    at += marker.size();
    if (line[at] != '"') {
        const size_t end = line.find_first_of(",}", at);
        return line.substr(at, end - at);
    }
    std::string value;
    for (size_t i = at + 1; i < line.size() && line[i] != '"'; ++i) {
        if (line[i] == '\\' && i + 1 < line.size()) {
            ++i;
        }
        value += line[i];
    }
    return value;
}

// A packet as the decoder would leave it for a cleanly received message.
PacketPtr PacketOf(const BuiltMessage& message) {
    auto packet = std::make_shared<CCCPacket>();
    packet->preambleFound = true;
    packet->eopFound = true;
    packet->orderedSetKind = message.orderedSet;
    const bool reset = message.orderedSet == kOsHardReset || message.orderedSet == kOsCableReset;
    packet->crcOk = !reset;
    packet->bytesAssembled = !reset;
    const size_t count = std::min<size_t>(message.bytes.size(), kMaxMessageBytes);
    packet->messageBytes.Assign(message.bytes.data(), count);
    packet->messageByteCount = static_cast<int32_t>(count);
    return packet;
}

struct Row {
    std::string orderedSet, type, header, description;
};

class DecodeScenarioTest : public ::testing::TestWithParam<std::string> {};

TEST_P(DecodeScenarioTest, RowsMatchTheBuiltMessages) {
    SimulationOptions options;
    options.scenario = GetParam();
    if (options.scenario == "long" || options.scenario == "mixed") {
        options.seconds = 10.0;
    }
    const TempDir dir;
    const std::string path = dir.File("decode_" + options.scenario + ".zaz");
    std::string error;
    const std::optional<SimulationResult> result = SimulateToFile(options, path, error);
    ASSERT_TRUE(result.has_value()) << error;

    // Rows keyed by CC line and time, from the JSON form.
    std::map<std::pair<int, int64_t>, Row> rows;
    const std::vector<std::string> lines =
        Split(RunCli("decode '" + path + "' --format json"), '\n');
    for (const std::string& line : lines) {
        if (line.empty()) {
            continue;
        }
        Row row{JsonValue(line, "Ordered Set"), JsonValue(line, "Message Type"),
                JsonValue(line, "Message Header"), JsonValue(line, "Description")};
        rows[{std::stoi(JsonValue(line, "ccLine")), std::stoll(JsonValue(line, "relTime"))}] = row;
    }

    // The tsv form: the header line and one row of 38 fields per packet.
    const std::vector<std::string> tsv = Split(RunCli("decode '" + path + "'"), '\n');
    ASSERT_GE(tsv.size(), 2u);
    const std::vector<std::string> titles = Split(tsv[0], '\t');
    ASSERT_EQ(titles.size(), static_cast<size_t>(kPacketColumnCount));
    for (int column = 0; column < kPacketColumnCount; ++column) {
        EXPECT_EQ(titles[column], ColumnShortTitle(column));
    }
    EXPECT_EQ(tsv.size(), rows.size() + 2);  // header, rows, final empty piece
    for (size_t i = 1; i + 1 < tsv.size(); ++i) {
        EXPECT_EQ(Split(tsv[i], '\t').size(), static_cast<size_t>(kPacketColumnCount)) << i;
        EXPECT_EQ(Split(tsv[i], '\t')[0], std::to_string(i - 1));
    }

    // Expected texts: the built bytes of the clean messages, with the port attribution and
    // chunk reassembly over all of them (a reassembled block is complete only after its last
    // chunk, and a Request refers to an earlier packet, so every packet stays alive).
    PdPortState ports;
    ChunkAssembler chunks;
    std::vector<std::pair<const BuiltMessage*, PacketPtr>> expectedPackets;
    for (const BuiltMessage& message : result->messages) {
        if (!DecodesCleanly(message)) {
            continue;
        }
        PacketPtr expected = PacketOf(message);
        AttributePort(ports, expected);
        AssembleChunks(chunks, *expected);
        expectedPackets.emplace_back(&message, expected);
    }
    int checked = 0;
    for (const auto& [message, expected] : expectedPackets) {
        const int64_t relTime = message->startTimeUs - result->captureStartTimeUs;
        const auto row = rows.find({message->ccLine, relTime});
        ASSERT_NE(row, rows.end()) << message->label << " at " << relTime;
        const bool reset =
            message->orderedSet == kOsHardReset || message->orderedSet == kOsCableReset;
        EXPECT_EQ(row->second.orderedSet, OrderedSetName(*expected)) << message->label;
        if (reset) {
            EXPECT_EQ(row->second.type, "") << message->label;
            EXPECT_EQ(row->second.header, "") << message->label;
        } else {
            EXPECT_EQ(row->second.type, MessageName(*expected)) << message->label;
            EXPECT_EQ(row->second.header,
                      FormatText("%04Xh", static_cast<unsigned>(MessageHeader(*expected))));
        }
        EXPECT_EQ(row->second.description, DescriptionText(*expected))
            << message->label << " at " << relTime;
        ++checked;
    }
    EXPECT_GT(checked, 0);
}

std::vector<std::string> ScenarioNames() {
    std::vector<std::string> names;
    for (const ScenarioInfo& info : Scenarios()) {
        names.push_back(info.name);
    }
    return names;
}

INSTANTIATE_TEST_SUITE_P(AllScenarios, DecodeScenarioTest, ::testing::ValuesIn(ScenarioNames()),
                         [](const ::testing::TestParamInfo<std::string>& param) {
                             std::string name = param.param;
                             for (char& c : name) {
                                 if (c == '-') {
                                     c = '_';
                                 }
                             }
                             return name;
                         });

TEST(DecodeCli, ErrorsAndAFileWithoutPackets) {
    int status = 0;
    EXPECT_EQ(RunCli("decode /nonexistent/file.zaz", &status), "");
    EXPECT_EQ(status, 1);
    RunCli("decode", &status);
    EXPECT_EQ(status, 2);
    RunCli("decode a.zaz --format xml", &status);
    EXPECT_EQ(status, 2);
    RunCli("decode a.zaz b.zaz", &status);
    EXPECT_EQ(status, 2);
    RunCli("decode a.zaz --colour", &status);
    EXPECT_EQ(status, 2);

    // A record file of only its leading InfoBlock: the header line, no rows.
    const TempDir dir;
    const std::string path = dir.File("decode_empty.zaz");
    StreamBuilder stream;
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(stream.Bytes().data(), 1, stream.Bytes().size(), file);
    std::fclose(file);
    const std::string tsvAfter =
        RunCli("decode --reverse-current '" + path + "' --format tsv", &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(std::count(tsvAfter.begin(), tsvAfter.end(), '\n'), 1);
    EXPECT_EQ(tsvAfter.rfind("#\tIdle Time\tTimestamp\t", 0), 0u);
    EXPECT_EQ(RunCli("decode '" + path + "' --format json", &status), "");
    EXPECT_EQ(status, 0);
}

// Literal texts of selected messages, as a reader of the list sees them.
TEST(DecodeScenarioLiterals, SprAndEprDescriptions) {
    const auto descriptions = [](const std::string& scenario) {
        SimulationOptions options;
        options.scenario = scenario;
        const TempDir dir;
        const std::string path = dir.File("literal_" + scenario + ".zaz");
        std::string error;
        EXPECT_TRUE(SimulateToFile(options, path, error).has_value()) << error;
        std::vector<std::string> texts;
        const std::vector<std::string> lines = Split(RunCli("decode '" + path + "'"), '\n');
        for (size_t i = 1; i < lines.size(); ++i) {
            const std::vector<std::string> fields = Split(lines[i], '\t');
            if (fields.size() == static_cast<size_t>(kPacketColumnCount)) {
                texts.push_back(fields[kColumnMessageType] + "|" + fields[kColumnDescription]);
            }
        }
        return texts;
    };
    const auto contains = [](const std::vector<std::string>& texts, const std::string& text) {
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    };
    const std::vector<std::string> spr = descriptions("spr");
    EXPECT_TRUE(contains(spr,
                         "Request|Position=4<Fixed> (Operating Current=3000[mA])"
                         "(Max Operating Current=3250[mA])(USB Commincations Capable)"
                         "(No USB Suspend)"));
    const std::vector<std::string> epr = descriptions("epr");
    EXPECT_TRUE(contains(epr, "EPR_Mode|Enter (EPR Sink Operational PDP=140[W])"));
    EXPECT_TRUE(contains(epr, "Extended_Control|EPR_KeepAlive"));
    EXPECT_TRUE(
        contains(epr,
                 "EPR_Source_Capabilities|[1]<Fix>5.00V/3.00A(Unconstrained)(USB Comm)"
                 "(DRD)(EPR) [2]<Fix>9.00V/3.00A [3]<Fix>15.00V/3.00A [4]<Fix>20.00V/5.00A "
                 "[5]<APDO>(PPS) [8]<Fix>28.00V/5.00A [9]<Fix>36.00V/3.89A [10]<APDO>(AVS) "));
    EXPECT_TRUE(contains(epr, "EPR_Source_Capabilities|"));  // the later chunks
}

}  // namespace
