// zoduz-cli tree and fields on a synthesized record file: the output formats, the default
// node and the error statuses.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "capture/document.h"
#include "capture/temp_files.h"
#include "cli_runner.h"
#include "device/sim/simulator.h"
#include "pd/field_rows.h"
#include "pd/field_tree.h"
#include "pd/message_header.h"

namespace {

std::string Hex8(uint32_t code) {
    char text[16];
    std::snprintf(text, sizeof text, "%08X", code);
    return text;
}

class FieldCli : public testing::Test {
  protected:
    void SetUp() override {
        SimulationOptions options;
        options.scenario = "epr";
        path_ = dir_.File("epr.zaz");
        std::string error;
        ASSERT_TRUE(SimulateToFile(options, path_, error)) << error;
        ASSERT_TRUE(doc_.OpenRecordFile(path_));
    }

    // First packet that is an EPR_Source_Capabilities chunk with the reassembled block.
    size_t EprCapsPacket() const {
        for (size_t number = 0; number < doc_.PacketCount(); ++number) {
            const CCCPacket& packet = *doc_.Packets()[number];
            if (IsExtended(packet) && MessageType(packet) == kExtEprSourceCapabilities &&
                packet.chunkBuffer) {
                return number;
            }
        }
        ADD_FAILURE() << "no EPR_Source_Capabilities in the capture";
        return 0;
    }

    TempDir dir_;
    std::string path_;
    CKVDoc doc_;
};

TEST_F(FieldCli, TreePrintsCodeDepthAndTextPerNode) {
    const size_t n = EprCapsPacket();
    const CliResult result = RunCli("tree '" + path_ + "' " + std::to_string(n));
    ASSERT_EQ(result.status, 0);
    const PacketTree tree = BuildPacketTree(*doc_.PacketAt(n), static_cast<int32_t>(n));
    ASSERT_EQ(result.lines.size(), tree.nodes.size());
    EXPECT_EQ(result.lines[0], "01000000\t0\tPacket #" + std::to_string(n));
    for (size_t i = 0; i < tree.nodes.size(); ++i) {
        const PacketTreeNode& node = tree.nodes[i];
        EXPECT_EQ(result.lines[i],
                  Hex8(node.code) + "\t" + std::to_string(node.depth) + "\t" + node.text);
    }
}

TEST_F(FieldCli, FieldsShowsTheHeaderByDefaultAndAnyNodeOnRequest) {
    const size_t n = EprCapsPacket();
    const std::string header =
        "Offset [bits]\tLength [bits]\tField name\tValue\tDescription\tHEX\tASCII";
    const CliResult byDefault = RunCli("fields '" + path_ + "' " + std::to_string(n));
    ASSERT_EQ(byDefault.status, 0);
    ASSERT_GE(byDefault.lines.size(), 2u);
    EXPECT_EQ(byDefault.lines[0], header);
    EXPECT_EQ(
        byDefault.lines[1].rfind("0..4\t5\tMessage Type\t11h (17)\tEPR_Source_Capabilities\t", 0),
        0u);

    const CliResult word =
        RunCli("fields '" + path_ + "' " + std::to_string(n) + " --node 24010000");
    ASSERT_EQ(word.status, 0);
    const auto rows = FieldRowsForNode(*doc_.PacketAt(n), 0x24010000);
    ASSERT_EQ(word.lines.size(), rows.size() + 1);
    for (size_t i = 0; i < rows.size(); ++i) {
        const FieldRow& row = rows[i];
        EXPECT_EQ(word.lines[i + 1], row.offset + "\t" + row.length + "\t" + row.name + "\t" +
                                         row.value + "\t" + row.description + "\t" + row.hex +
                                         "\t" + row.ascii);
    }
    EXPECT_EQ(word.lines[1].rfind("0..", 0), 0u);
    // "0x" and lower case are accepted.
    EXPECT_EQ(RunCli("fields '" + path_ + "' " + std::to_string(n) + " --node 0x24010000").lines,
              word.lines);
}

TEST_F(FieldCli, ErrorsAndUsage) {
    const std::string file = "'" + path_ + "'";
    EXPECT_EQ(RunCli("tree " + file).status, 2);
    EXPECT_EQ(RunCli("tree " + file + " x").status, 2);
    EXPECT_EQ(RunCli("tree " + file + " -1").status, 2);
    EXPECT_EQ(RunCli("tree '" + dir_.File("missing.zaz") + "' 0").status, 1);
    EXPECT_EQ(RunCli("tree " + file + " 999999").status, 1);
    EXPECT_EQ(RunCli("fields " + file + " 0 --node").status, 2);
    EXPECT_EQ(RunCli("fields " + file + " 0 --node 12G").status, 2);
    EXPECT_EQ(RunCli("fields " + file + " 0 --node 123456789").status, 2);
    // A code that is not a node of this packet's tree.
    EXPECT_EQ(RunCli("fields " + file + " 0 --node 20000000").status, 1);
    EXPECT_EQ(RunCli("fields " + file + " 999999").status, 1);
    EXPECT_EQ(RunCli("fields '" + dir_.File("missing.zaz") + "' 0").status, 1);
}

TEST_F(FieldCli, ErrorLinesNameTheProblem) {
    const std::string err = dir_.File("stderr.txt");
    const auto errorOf = [&](const std::string& arguments) {
        const std::string command =
            std::string(ZODUZ_CLI_PATH) + " " + arguments + " >/dev/null 2>'" + err + "'";
        EXPECT_NE(std::system(command.c_str()), 0) << arguments;
        std::string text;
        if (FILE* file = std::fopen(err.c_str(), "r")) {
            char buffer[512];
            while (size_t got = std::fread(buffer, 1, sizeof buffer, file)) {
                text.append(buffer, got);
            }
            std::fclose(file);
        }
        return text;
    };
    const std::string count = std::to_string(doc_.PacketCount());
    EXPECT_EQ(errorOf("tree '" + path_ + "' 999999"),
              "zoduz-cli tree: no packet 999999 in '" + path_ + "' (" + count + " packets)\n");
    EXPECT_EQ(errorOf("fields '" + dir_.File("missing.zaz") + "' 0"),
              "zoduz-cli fields: cannot read '" + dir_.File("missing.zaz") + "'\n");
    EXPECT_EQ(errorOf("fields '" + path_ + "' 0 --node 20000000"),
              "zoduz-cli fields: packet 0 has no node 20000000\n");
}

}  // namespace
