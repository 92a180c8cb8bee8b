// The field breakdown of synthesized captures, decoded through the capture document: every
// node of every packet stays within its bits, and the reassembled and linked parts show their
// breakdown.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "capture/document.h"
#include "capture/temp_files.h"
#include "device/sim/simulator.h"
#include "pd/field_rows.h"
#include "pd/field_tree.h"
#include "pd/message_header.h"

namespace {

void OpenScenario(const std::string& name, const TempDir& dir, CKVDoc& doc) {
    SimulationOptions options;
    options.scenario = name;
    const std::string path = dir.File(name + ".zaz");
    std::string error;
    ASSERT_TRUE(SimulateToFile(options, path, error)) << error;
    ASSERT_TRUE(doc.OpenRecordFile(path));
    ASSERT_GT(doc.PacketCount(), 0u);
}

// Last bit of a row's offset text ("n" or "first..last").
int LastOffset(const std::string& offset) {
    int first = 0;
    int last = 0;
    const int matched = std::sscanf(offset.c_str(), "%d..%d", &first, &last);
    return matched == 2 ? last : first;
}

TEST(FieldCapture, EveryNodeOfEveryScenarioStaysWithinItsBits) {
    const TempDir dir;
    for (const char* scenario :
         {"spr", "epr", "pr-swap", "alt-mode", "hard-reset", "noisy", "catalog"}) {
        SCOPED_TRACE(scenario);
        CKVDoc doc;
        OpenScenario(scenario, dir, doc);
        for (size_t number = 0; number < doc.PacketCount(); ++number) {
            SCOPED_TRACE(number);
            const CCCPacket* packet = doc.Packets()[number].get();
            const PacketTree tree = BuildPacketTree(*packet, static_cast<int32_t>(number));
            ASSERT_FALSE(tree.nodes.empty());
            EXPECT_EQ(tree.nodes[0].text, "Packet #" + std::to_string(number));
            for (const PacketTreeNode& node : tree.nodes) {
                if (node.code == kNodeFault) {
                    continue;  // a line of words: no bits of its own
                }
                const auto range = NodeBitRange(*packet, node.code);
                ASSERT_TRUE(range.has_value()) << std::hex << node.code;
                for (const FieldRow& row : FieldRowsForNode(*packet, node.code)) {
                    EXPECT_LT(LastOffset(row.offset), range->length) << row.name;
                }
            }
        }
    }
}

TEST(FieldCapture, EprCapabilitiesAreBrokenDownPdoByPdo) {
    const TempDir dir;
    CKVDoc doc;
    OpenScenario("epr", dir, doc);
    int blocks = 0;
    for (const PacketPtr& packet : doc.Packets()) {
        if (!IsExtended(*packet) || MessageType(*packet) != kExtEprSourceCapabilities ||
            !packet->chunkBuffer) {
            continue;
        }
        ++blocks;
        const PacketTree tree = BuildPacketTree(*packet, 0);
        int words = 0;
        for (const PacketTreeNode& node : tree.nodes) {
            if ((node.code & 0xFF000000u) != kNodeBlockDataObject) {
                continue;
            }
            ++words;
            const auto rows = FieldRowsForNode(*packet, node.code);
            ASSERT_FALSE(rows.empty());
            EXPECT_EQ(LastOffset(rows.back().offset), 31);
            EXPECT_EQ(rows.front().offset.rfind("0..", 0), 0u);
        }
        EXPECT_EQ(words, (packet->chunkTotalSize + 3) / 4);
    }
    EXPECT_GT(blocks, 0);
}

TEST(FieldCapture, LinkedRequestsShowTheirRdo) {
    const TempDir dir;
    CKVDoc doc;
    OpenScenario("spr", dir, doc);
    int requests = 0;
    for (const PacketPtr& packet : doc.Packets()) {
        if (!IsData(*packet) || MessageType(*packet) != kDataRequest ||
            packet->sourceCapsRef.expired()) {
            continue;
        }
        ++requests;
        const auto rows = FieldRowsForNode(*packet, kNodeDataObject);
        ASSERT_FALSE(rows.empty());
        EXPECT_EQ(rows.back().name, "Object position");
        EXPECT_EQ(rows.back().offset, "28..31");
    }
    EXPECT_GT(requests, 0);
}

}  // namespace
