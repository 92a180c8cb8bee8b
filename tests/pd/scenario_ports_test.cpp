// The synthesizer's conversations, packed into a record stream, parsed into packets and decoded
// one by one as the capture document does: every packet must carry the port and the message
// name that the scenario's script implies.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "capture/record_stream.h"
#include "device/sim/simulator.h"
#include "pd/bmc_decoder.h"
#include "pd/chunk_assembler.h"
#include "pd/extended_text.h"
#include "pd/message_header.h"
#include "pd/port_state.h"

namespace {

class PacketCollector : public RecordSink {
  public:
    void OnSample(const CVbusInfo& /*sample*/) override {}
    void OnPacket(PacketPtr packet) override { packets.push_back(std::move(packet)); }

    std::vector<PacketPtr> packets;
};

struct DecodedScenario {
    std::vector<BuiltMessage> script;
    std::vector<PacketPtr> packets;  // in time order, decoded, attributed and reassembled
};

std::optional<DecodedScenario> Decode(const std::string& scenario, uint64_t seed) {
    SimulationOptions options;
    options.scenario = scenario;
    options.seed = seed;
    options.intervalMs = 10;
    std::optional<SimulationResult> result = Simulate(options);
    if (!result) {
        return std::nullopt;
    }
    RecordStreamParser parser;
    PacketCollector collector;
    parser.Feed(result->stream, collector);

    DecodedScenario decoded;
    decoded.script = std::move(result->messages);
    decoded.packets = std::move(collector.packets);
    std::stable_sort(
        decoded.packets.begin(), decoded.packets.end(),
        [](const PacketPtr& a, const PacketPtr& b) { return a->startTime < b->startTime; });
    PdPortState ports;
    ChunkAssembler chunks;
    for (const PacketPtr& packet : decoded.packets) {
        DecodePacket(*packet, result->captureStartTimeUs);
        AttributePort(ports, packet);
        AssembleChunks(chunks, *packet);
    }
    return decoded;
}

// Structured VDM commands the scenarios label by their command.
bool IsVdmLabel(const std::string& label) {
    static const char* const kLabels[] = {
        "Discover Identity", "Discover SVIDs", "Discover Modes",        "Enter Mode",
        "Exit Mode",         "Attention",      "DisplayPort Configure", "DisplayPort Status Update",
    };
    return std::find(std::begin(kLabels), std::end(kLabels), label) != std::end(kLabels);
}

// The message name a script label stands for; the Extended_Control ones also give their type
// text.
struct ExpectedName {
    std::string name;
    std::string controlText;
};

ExpectedName NameOfLabel(std::string label) {
    for (const char* suffix : {" chunk request"}) {
        if (label.ends_with(suffix)) {
            label.resize(label.size() - std::string(suffix).size());
        }
    }
    if (const size_t chunk = label.find(" chunk "); chunk != std::string::npos) {
        label.resize(chunk);
    }
    if (label == "EPR_KeepAlive" || label == "EPR_KeepAlive_Ack") {
        return {"Extended_Control", label};
    }
    if (IsVdmLabel(label)) {
        return {"Vendor_Defined", ""};
    }
    return {label, ""};
}

// Ports by the script: the party that starts as Source and DFP is port 1, its partner port 2,
// a cable plug 3; a port talking to the cable is the source-side port 1 (the DFP in these
// scenarios). The data role bits tell the two ports apart; an accepted DR_Swap exchanges them
// once its Accept has been acknowledged.
std::vector<int> ExpectedPorts(const DecodedScenario& decoded) {
    std::vector<int> ports;
    bool swapped = false;
    int drSwapStep = 0;  // 1: DR_Swap seen, 2: its Accept seen
    for (size_t i = 0; i < decoded.script.size(); ++i) {
        const BuiltMessage& message = decoded.script[i];
        const CCCPacket& packet = *decoded.packets[i];
        int port = 0;
        if (message.orderedSet == kOsSop) {
            port = PortDataRoleIsDfp(packet) != swapped ? 1 : 2;
        } else if (IsCableKind(message.orderedSet)) {
            port = CablePlugBit(packet) ? 3 : 1;
        }
        ports.push_back(port);
        if (message.label == "DR_Swap") {
            drSwapStep = 1;
        } else if (drSwapStep == 1 && message.label == "Accept") {
            drSwapStep = 2;
        } else if (drSwapStep == 2 && message.label == "GoodCRC") {
            swapped = !swapped;
            drSwapStep = 0;
        }
    }
    return ports;
}

void ExpectScriptDecoded(const DecodedScenario& decoded) {
    ASSERT_EQ(decoded.packets.size(), decoded.script.size());
    const std::vector<int> ports = ExpectedPorts(decoded);
    for (size_t i = 0; i < decoded.script.size(); ++i) {
        const BuiltMessage& message = decoded.script[i];
        const CCCPacket& packet = *decoded.packets[i];
        SCOPED_TRACE(testing::Message() << "packet " << i << " '" << message.label << "'");
        ASSERT_TRUE(DecodesCleanly(message));
        EXPECT_EQ(packet.orderedSetKind, message.orderedSet);
        EXPECT_TRUE(packet.crcOk);
        const ExpectedName expected = NameOfLabel(message.label);
        EXPECT_EQ(MessageName(packet), expected.name);
        if (!expected.controlText.empty()) {
            EXPECT_EQ(ExtendedControlText(packet), expected.controlText);
        }
        EXPECT_EQ(packet.port, ports[i]);
    }
}

// Every Request refers to the latest Source_Capabilities before it.
void ExpectRequestsLinked(const DecodedScenario& decoded) {
    PacketPtr latestCaps;
    int requests = 0;
    for (size_t i = 0; i < decoded.script.size(); ++i) {
        const std::string& label = decoded.script[i].label;
        if (label == "Source_Capabilities") {
            latestCaps = decoded.packets[i];
        } else if (label == "Request") {
            ++requests;
            ASSERT_TRUE(latestCaps);
            EXPECT_EQ(decoded.packets[i]->sourceCapsRef.lock(), latestCaps) << "packet " << i;
        }
    }
    EXPECT_GT(requests, 0);
}

class ScenarioPorts : public testing::TestWithParam<uint64_t> {};

TEST_P(ScenarioPorts, PrSwap) {
    const std::optional<DecodedScenario> decoded = Decode("pr-swap", GetParam());
    ASSERT_TRUE(decoded);
    ExpectScriptDecoded(*decoded);
    ExpectRequestsLinked(*decoded);

    // The second contract is offered by port 2 and requested by port 1.
    std::vector<int> capsPorts;
    std::vector<int> requestPorts;
    for (size_t i = 0; i < decoded->script.size(); ++i) {
        if (decoded->script[i].label == "Source_Capabilities") {
            capsPorts.push_back(decoded->packets[i]->port);
        } else if (decoded->script[i].label == "Request") {
            requestPorts.push_back(decoded->packets[i]->port);
        }
    }
    EXPECT_EQ(capsPorts, (std::vector<int>{1, 2}));
    EXPECT_EQ(requestPorts, (std::vector<int>{2, 1}));
}

TEST_P(ScenarioPorts, Epr) {
    const std::optional<DecodedScenario> decoded = Decode("epr", GetParam());
    ASSERT_TRUE(decoded);
    ExpectScriptDecoded(*decoded);
    ExpectRequestsLinked(*decoded);

    // The EPR capabilities' chunks share one block holding every chunk's data.
    std::vector<uint8_t> expectedBlock;
    ChunkBuffer block;
    int chunks = 0;
    for (size_t i = 0; i < decoded->script.size(); ++i) {
        const BuiltMessage& message = decoded->script[i];
        const CCCPacket& packet = *decoded->packets[i];
        if (message.label.starts_with("EPR_Source_Capabilities") &&
            !message.label.ends_with("chunk request")) {
            if (chunks++ == 0) {
                block = packet.chunkBuffer;
                ASSERT_TRUE(block);
                EXPECT_TRUE(packet.chunkStart);
            }
            EXPECT_EQ(packet.chunkBuffer, block);
            EXPECT_EQ(packet.chunkOffset, static_cast<int>(expectedBlock.size()));
            const int length = std::min<int>(26, packet.chunkTotalSize - packet.chunkOffset);
            expectedBlock.insert(expectedBlock.end(), message.bytes.begin() + 4,
                                 message.bytes.begin() + 4 + length);
        }
        if (message.label == "Source_Capabilities_Extended") {
            EXPECT_NE(SourceCapsExtText(packet), "");
        }
    }
    EXPECT_GE(chunks, 2);
    ASSERT_TRUE(block);
    EXPECT_EQ(std::vector<uint8_t>(block->Bytes().begin(), block->Bytes().end()), expectedBlock);
}

TEST_P(ScenarioPorts, AltMode) {
    const std::optional<DecodedScenario> decoded = Decode("alt-mode", GetParam());
    ASSERT_TRUE(decoded);
    ExpectScriptDecoded(*decoded);
    ExpectRequestsLinked(*decoded);
    const auto cablePackets = std::count_if(decoded->packets.begin(), decoded->packets.end(),
                                            [](const PacketPtr& p) { return p->port == 3; });
    EXPECT_GE(cablePackets, 2);
}

// Seeds pick the CC line and, for alt-mode, a passive or an active cable.
INSTANTIATE_TEST_SUITE_P(Seeds, ScenarioPorts, testing::Values(1u, 2u, 3u, 4u));

}  // namespace
