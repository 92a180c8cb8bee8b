// Second look at the message layer: every name of the three type tables letter for letter, the
// gaps between them, the role and revision texts per ordered set, the order of the reassembly
// rules for chunk requests and single-chunk blocks, and the swap and cable cases not covered by
// the authors' own tests.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "pd/bmc_decoder.h"
#include "pd/bmc_encoding.h"
#include "pd/chunk_assembler.h"
#include "pd/extended_text.h"
#include "pd/hand_packets.h"
#include "pd/message_header.h"
#include "pd/port_state.h"
#include "pd/symbols.h"

namespace {

std::string NameOf(int type, int objects, bool extended, int revision = 2, int32_t kind = kOsSop) {
    return MessageName(*hand::Message(
        kind, {.type = type, .objects = objects, .revision = revision, .extended = extended}));
}

TEST(NameTables, EveryControlNameLetterForLetter) {
    const std::vector<std::string> names = {"GoodCRC",
                                            "GotoMin",
                                            "Accept",
                                            "Reject",
                                            "Ping",
                                            "PS_RDY",
                                            "Get_Source_Cap",
                                            "Get_Sink_Cap",
                                            "DR_Swap",
                                            "PR_Swap",
                                            "VCONN_Swap",
                                            "Wait",
                                            "Soft_Reset",
                                            "Data_Reset",
                                            "Data_Reset_Complete",
                                            "Not_Supported",
                                            "Get_Source_Cap_Extended",
                                            "Get_Status",
                                            "FR_Swap",
                                            "Get_PPS_Status",
                                            "Get_Country_Codes",
                                            "Get_Sink_Cap_Extended",
                                            "Get_Source_Info",
                                            "Get_Revision"};
    for (int type = 0; type < 32; ++type) {
        const std::string expected =
            type >= 1 && type <= 24 ? names[type - 1] : "Unknown(" + std::to_string(type) + ")";
        EXPECT_EQ(NameOf(type, 0, false), expected) << type;
    }
}

TEST(NameTables, EveryDataNameLetterForLetter) {
    const std::vector<std::string> names = {"Source_Capabilities",
                                            "Request",
                                            "BIST",
                                            "Sink_Capabilities",
                                            "Battery_Status",
                                            "Alert",
                                            "Get_Country_Info",
                                            "Enter_USB",
                                            "EPR_Request",
                                            "EPR_Mode",
                                            "Source_Info",
                                            "Revision"};
    for (int type = 0; type < 32; ++type) {
        std::string expected = "Unknown(" + std::to_string(type) + ")";
        if (type >= 1 && type <= 12) {
            expected = names[type - 1];
        } else if (type == 15) {
            expected = "Vendor_Defined";
        }
        EXPECT_EQ(NameOf(type, 1, false), expected) << type;
    }
}

TEST(NameTables, EveryExtendedNameLetterForLetter) {
    const std::vector<std::string> names = {"Source_Capabilities_Extended",
                                            "Status",
                                            "Get_Battery_Cap",
                                            "Get_Battery_Status",
                                            "Battery_Capabilities",
                                            "Get_Manufacturer_Info",
                                            "Manufacturer_Info",
                                            "Security_Request",
                                            "Security_Response",
                                            "Firmware_Update_Request",
                                            "Firmware_Update_Response",
                                            "PPS_Status",
                                            "Country_Info",
                                            "Country_Codes",
                                            "Sink_Capabilities_Extended",
                                            "Extended_Control",
                                            "EPR_Source_Capabilities",
                                            "EPR_Sink_Capabilities"};
    for (int type = 0; type < 32; ++type) {
        std::string expected = "Unknown(" + std::to_string(type) + ")";
        if (type >= 1 && type <= 18) {
            expected = names[type - 1];
        } else if (type == 30) {
            expected = "Vendor_Defined_Extended";
        }
        // The extended table does not depend on the object count.
        EXPECT_EQ(NameOf(type, 0, true), expected) << type;
        EXPECT_EQ(NameOf(type, 7, true), expected) << type;
    }
}

TEST(NameTables, FourBitTypesBeforeRevision30AndTheDebugSetsUseTheTables) {
    // Revision 2.0: 0x18 is type 8, 0x1F data is type 15; bit 15 does not make it extended.
    EXPECT_EQ(NameOf(0x18, 0, false, 1), "Get_Sink_Cap");
    EXPECT_EQ(NameOf(0x1F, 1, false, 1), "Vendor_Defined");
    EXPECT_EQ(NameOf(0x11, 1, true, 1), "Source_Capabilities");
    EXPECT_EQ(NameOf(0x10, 0, false, 0), "Unknown(0)");
    // Reserved revision 3 reads like 3.0.
    EXPECT_EQ(NameOf(0x13, 0, false, 3), "FR_Swap");
    EXPECT_EQ(NameOf(0x11, 0, true, 3), "EPR_Source_Capabilities");
    EXPECT_EQ(NameOf(3, 0, false, 2, kOsSopDoublePrimeDebug), "Accept");
    EXPECT_EQ(NameOf(3, 0, false, 2, kOsUnrecognised), "(Unknown OS)");
}

TEST(HeaderTexts, RevisionAndRolesPerOrderedSet) {
    const auto message = [](int32_t kind, int revision, bool bit5, bool bit8) {
        return hand::Message(kind, {.type = 1, .revision = revision, .bit5 = bit5, .bit8 = bit8});
    };
    EXPECT_EQ(RevisionText(*message(kOsSopPrimeDebug, 3, false, false)), "Rsv(3)");
    EXPECT_EQ(RevisionText(*message(kOsSopDoublePrimeDebug, 0, false, false)), "1.0");
    EXPECT_EQ(RevisionText(*message(kOsSopDoublePrime, 2, false, false)), "3.0");
    EXPECT_EQ(RevisionText(*message(kOsCableReset, 2, false, false)), "");

    const auto sop = message(kOsSop, 2, true, false);
    EXPECT_EQ(PowerRoleText(*sop), "Sink");
    EXPECT_EQ(DataRoleText(*sop), "DFP");
    EXPECT_EQ(CablePlugText(*sop), "");
    const auto sopSource = message(kOsSop, 2, false, true);
    EXPECT_EQ(PowerRoleText(*sopSource), "Source");
    EXPECT_EQ(DataRoleText(*sopSource), "UFP");

    for (int32_t kind : {kOsSopPrime, kOsSopDoublePrime}) {
        EXPECT_EQ(CablePlugText(*message(kind, 2, true, true)), "Cable Plug");
        EXPECT_EQ(CablePlugText(*message(kind, 2, true, false)), "UFP or DFP");
        EXPECT_EQ(PowerRoleText(*message(kind, 2, true, true)), "");
        EXPECT_EQ(DataRoleText(*message(kind, 2, true, true)), "");
    }
    for (int32_t kind : {kOsSopPrimeDebug, kOsSopDoublePrimeDebug, kOsHardReset}) {
        const auto other = message(kind, 2, true, true);
        EXPECT_EQ(PowerRoleText(*other), "");
        EXPECT_EQ(DataRoleText(*other), "");
        EXPECT_EQ(CablePlugText(*other), "");
    }
}

PacketPtr EprChunk(int dataSize, int chunk, const std::vector<uint8_t>& data,
                   bool requestChunk = false) {
    return hand::Extended(kOsSop,
                          {.type = kExtEprSourceCapabilities,
                           .dataSize = dataSize,
                           .chunk = chunk,
                           .requestChunk = requestChunk},
                          data);
}

TEST(ChunkRules, ChunkRequestIsCheckedBeforeTheSingleChunkRule) {
    ChunkAssembler assembler;
    const auto first = EprChunk(40, 0, hand::Counting(26, 0));
    AssembleChunks(assembler, *first);
    ASSERT_TRUE(assembler.buffer);

    // A request of a small message carries no data and leaves the message in progress alone.
    const auto request = EprChunk(8, 0, {0, 0}, true);
    AssembleChunks(assembler, *request);
    EXPECT_FALSE(request->chunkBuffer);
    EXPECT_EQ(assembler.buffer, first->chunkBuffer);
    EXPECT_EQ(assembler.expectedChunk, 1);

    const auto second = EprChunk(40, 1, hand::Counting(26, 26));
    AssembleChunks(assembler, *second);
    EXPECT_EQ(second->chunkBuffer, first->chunkBuffer);
    EXPECT_EQ(second->chunkOffset, 26);
    EXPECT_EQ(second->chunkLength, 14);
    EXPECT_EQ(first->chunkBuffer->Bytes()[39], 39);
    EXPECT_FALSE(assembler.buffer);
}

TEST(ChunkRules, TwentySixBytesIsOneFullChunkAndTwentyFiveASingleBlock) {
    ChunkAssembler assembler;
    const auto full = EprChunk(26, 0, hand::Counting(26, 1));
    AssembleChunks(assembler, *full);
    EXPECT_TRUE(full->chunkStart);
    EXPECT_EQ(full->chunkLength, 26);
    EXPECT_FALSE(assembler.buffer);  // complete at once

    const auto single = EprChunk(25, 3, hand::Counting(25, 1));
    AssembleChunks(assembler, *single);
    EXPECT_FALSE(single->chunkStart);
    ASSERT_TRUE(single->chunkBuffer);
    EXPECT_EQ(single->chunkTotalSize, 25);
    EXPECT_EQ(single->chunkLength, 25);
    EXPECT_EQ(single->chunkBuffer->Bytes()[24], 25);
}

TEST(ChunkRules, DataSizeOf260IsReassembledAndAbove260AbandonsTheMessage) {
    ChunkAssembler assembler;
    const auto first = EprChunk(260, 0, hand::Counting(26, 0));
    AssembleChunks(assembler, *first);
    EXPECT_TRUE(first->chunkStart);
    EXPECT_EQ(first->chunkTotalSize, 260);

    ChunkAssembler other;
    // 30 data bytes announced, chunk 0 carries 26 of them.
    const auto fits = EprChunk(30, 0, hand::Counting(26, 0));
    AssembleChunks(other, *fits);
    EXPECT_TRUE(fits->chunkStart);
    // Data Size above 260 is refused, and the message in progress is abandoned.
    const auto tooMany = EprChunk(261, 1, hand::Counting(26, 26));
    AssembleChunks(other, *tooMany);
    EXPECT_FALSE(tooMany->chunkBuffer);
    EXPECT_FALSE(other.buffer);
    EXPECT_EQ(other.expectedChunk, -1);
}

TEST(ExtendedTexts, ExactTextsOfBothCapabilityBlocks) {
    std::vector<uint8_t> block(25, 0);
    block[18] = 0x80 | 15;
    block[19] = 45;
    block[20] = 60;
    block[21] = 140;
    block[22] = 0xFF;
    block[23] = 0x80 | 100;
    block[24] = 0xF0;
    const auto sink = hand::Extended(
        kOsSop, {.type = kExtSinkCapabilitiesExtended, .dataSize = 24, .chunked = false},
        std::vector<uint8_t>(block.begin(), block.begin() + 24));
    ChunkAssembler assembler;
    AssembleChunks(assembler, *sink);
    EXPECT_EQ(SinkCapsExtText(*sink),
              "(Sink Min/Ope/Max PDP=15/45/60[W])(EPR Sink Min/Ope/Max PDP=140/255/228[W])");

    const auto source = hand::Extended(
        kOsSop, {.type = kExtSourceCapabilitiesExtended, .dataSize = 25, .chunked = false}, block);
    AssembleChunks(assembler, *source);
    EXPECT_EQ(SourceCapsExtText(*source), "(SPR Source Rating=100[W])(EPR Source Rating=240[W])");

    const auto control = [](int type) {
        return hand::Extended(kOsSop,
                              {.type = kExtExtendedControl, .dataSize = 2, .chunked = false},
                              {static_cast<uint8_t>(type), 0});
    };
    EXPECT_EQ(ExtendedControlText(*control(3)), "EPR_KeepAlive");
    EXPECT_EQ(ExtendedControlText(*control(4)), "EPR_KeepAlive_Ack");
    EXPECT_EQ(ExtendedControlText(*control(0)), "(Invalid Type)");
    EXPECT_EQ(ExtendedControlText(*control(5)), "(Invalid Type)");
}

PacketPtr Attribute(PdPortState& state, PacketPtr packet) {
    AttributePort(state, packet);
    return packet;
}

TEST(SwapRules, SecondPrSwapRestartsTheSwapAndPortsFollowTheDataRolesMeanwhile) {
    PdPortState state;
    // Source (port 1) is DFP.
    EXPECT_EQ(Attribute(state, hand::Control(kCtrlGoodCrc, true, true))->port, 1);
    EXPECT_EQ(Attribute(state, hand::Control(kCtrlPrSwap, false, false))->port, 2);
    EXPECT_EQ(Attribute(state, hand::Control(kCtrlAccept, true, true))->port, 1);
    // While active a packet claiming the source role but sent as UFP is port 2.
    EXPECT_EQ(Attribute(state, hand::Control(kCtrlGoodCrc, true, false))->port, 2);
    // A new PR_Swap from the DFP restarts the swap: the Accept seen before no longer counts.
    EXPECT_EQ(Attribute(state, hand::Control(kCtrlPrSwap, true, true))->port, 1);
    EXPECT_EQ(state.prSwapInitiator, 1);
    EXPECT_FALSE(state.prSwapAccepted);
    Attribute(state, hand::Control(kCtrlPsRdy, false, true));
    EXPECT_EQ(state.sinkPort, 2);
    EXPECT_TRUE(state.prSwapActive);
}

TEST(SwapRules, InitiatorReadyFirstThenPartnerEndsTheSwap) {
    PdPortState state;
    Attribute(state, hand::Control(kCtrlGoodCrc, true, true));  // port 1 source and DFP
    Attribute(state, hand::Control(kCtrlPrSwap, true, true));   // initiated by the source
    Attribute(state, hand::Control(kCtrlAccept, false, false));
    // The old source, now sink, reports ready: it is the initiator.
    const auto first = Attribute(state, hand::Control(kCtrlPsRdy, false, true));
    EXPECT_EQ(first->port, 1);
    EXPECT_EQ(state.sinkPort, 1);
    EXPECT_TRUE(state.initiatorReady);
    EXPECT_TRUE(state.prSwapActive);
    const auto second = Attribute(state, hand::Control(kCtrlPsRdy, true, false));
    EXPECT_EQ(second->port, 2);
    EXPECT_EQ(state.sourcePort, 2);
    EXPECT_FALSE(state.prSwapActive);
    // After the swap the power roles select the ports again.
    EXPECT_EQ(Attribute(state, hand::Data(kDataSourceCapabilities, true, false, {1}))->port, 2);
    EXPECT_EQ(Attribute(state, hand::Data(kDataRequest, false, true, {1}))->port, 1);
}

TEST(CableRules, SopDoublePrimeFollowsTheSameRulesAndDebugSetsStayUnattributed) {
    PdPortState state;
    const auto early = Attribute(state, hand::Message(kOsSopDoublePrime, {.type = kCtrlGoodCrc}));
    EXPECT_EQ(early->port, 1);  // DFP unknown: the source
    // The first SOP packet comes from the sink as DFP: the DFP is not the source.
    Attribute(state, hand::Control(kCtrlGoodCrc, false, true));
    EXPECT_EQ(state.dfpPort, 2);
    EXPECT_EQ(Attribute(state, hand::Message(kOsSopDoublePrime, {.type = 1}))->port, 0);
    EXPECT_EQ(Attribute(state, hand::Message(kOsSopDoublePrime, {.type = 1, .bit8 = true}))->port,
              3);
    EXPECT_EQ(Attribute(state, hand::Message(kOsSopPrimeDebug, {.type = 1, .bit8 = true}))->port,
              0);
    EXPECT_EQ(Attribute(state, hand::Message(kOsSopDoublePrimeDebug, {.type = 1}))->port, 0);
}

// The resolve pass and the preamble scan written out step by step, without shortcuts, to compare
// the decoder's linear versions against on random input.
namespace literal {

bool Unassigned(const CcEdge& e) {
    return e.bitRole == static_cast<uint8_t>(BitRole::kUnassigned);
}
bool Is(const CcEdge& e, EdgeClass c) {
    return e.edgeClass == static_cast<uint8_t>(c);
}
bool HalfLike(const CcEdge& e) {
    return Is(e, EdgeClass::kHalf) || Is(e, EdgeClass::kHalfResolved);
}
void Set(CcEdge& e, EdgeClass c) {
    e.edgeClass = static_cast<uint8_t>(c);
}
void Set(CcEdge& e, BitRole r) {
    e.bitRole = static_cast<uint8_t>(r);
}

int32_t Resolve(std::vector<CcEdge>& e) {
    const int32_t count = static_cast<int32_t>(e.size());
    int32_t a = 1;
    int32_t unresolved = 0;
    while (a < count) {
        if (!Unassigned(e[a])) {
            a += 1;
        } else if (Is(e[a], EdgeClass::kFull) || Is(e[a], EdgeClass::kFullResolved)) {
            Set(e[a], BitRole::kZero);
            a += 1;
        } else {
            int32_t n = 0;
            while (a + n < count && Unassigned(e[a + n])) {
                ++n;
            }
            const int32_t z = a + n;
            if (n == 1) {
                if (Is(e[a], EdgeClass::kAmbiguous)) {
                    Set(e[a], EdgeClass::kFullResolved);
                    Set(e[a], BitRole::kZero);
                } else {
                    Set(e[a], BitRole::kInvalid);
                }
                a += 1;
            } else if (HalfLike(e[a]) &&
                       (HalfLike(e[a + 1]) || Is(e[a + 1], EdgeClass::kAmbiguous))) {
                if (Is(e[a + 1], EdgeClass::kAmbiguous)) {
                    Set(e[a + 1], EdgeClass::kHalfResolved);
                }
                Set(e[a], BitRole::kOneFirst);
                Set(e[a + 1], BitRole::kOneSecond);
                a += 2;
            } else if (HalfLike(e[z - 1]) &&
                       (HalfLike(e[z - 2]) || Is(e[z - 2], EdgeClass::kAmbiguous))) {
                if (Is(e[z - 2], EdgeClass::kAmbiguous)) {
                    Set(e[z - 2], EdgeClass::kHalfResolved);
                }
                Set(e[z - 2], BitRole::kOneFirst);
                Set(e[z - 1], BitRole::kOneSecond);
            } else {
                unresolved += n;
                a = z;
            }
        }
    }
    return unresolved;
}

struct Preamble {
    bool found = false;
    int32_t start = -1;
    int32_t sop = -1;
    int32_t length = 0;
};

Preamble Scan(const std::vector<uint8_t>& bits) {
    Preamble p;
    int prev = -1;
    int32_t run = 0;
    int32_t start = -1;
    int32_t lastOne = -1;
    bool found = false;
    for (int32_t i = 0; i < static_cast<int32_t>(bits.size()); ++i) {
        const int d = bits[i];
        if (prev >= 0) {
            if (d == prev) {
                if (found) {
                    break;
                }
                start = -1;
                run = 0;
            } else {
                run += 1;
                if (start == -1) {
                    start = i - 1;
                }
                if (d == 1) {
                    lastOne = i;
                }
                if (run >= 60) {
                    found = true;
                }
            }
        }
        prev = d;
    }
    if (found) {
        p = {true, start, lastOne + 1, lastOne + 1 - start};
    }
    return p;
}

}  // namespace literal

TEST(LiteralComparison, ResolvePassMatchesTheStepByStepRules) {
    std::mt19937 random(20261209);
    for (int round = 0; round < 3000; ++round) {
        const int count = 2 + static_cast<int>(random() % 60);
        std::vector<uint8_t> ticks;
        for (int i = 0; i < count; ++i) {
            ticks.push_back(static_cast<uint8_t>(3 + random() % 7));  // half, ambiguous, full
        }
        CCCPacket packet = bmc::Packet(ticks);
        ASSERT_TRUE(ClassifyEdges(packet));
        // Decisions of an earlier search step, as TryAmbiguous leaves them.
        for (int i = 1; i < count; ++i) {
            CcEdge& edge = packet.edges[i];
            if (literal::Is(edge, EdgeClass::kAmbiguous) && random() % 4 == 0) {
                literal::Set(edge,
                             random() % 2 ? EdgeClass::kHalfResolved : EdgeClass::kFullResolved);
            }
        }
        std::vector<CcEdge> expected(packet.edges.begin(), packet.edges.end());
        const int32_t expectedUnresolved = literal::Resolve(expected);
        ASSERT_EQ(ResolveEdges(packet), expectedUnresolved) << round;
        for (int i = 0; i < count; ++i) {
            ASSERT_EQ(packet.edges[i].edgeClass, expected[i].edgeClass) << round << " " << i;
            ASSERT_EQ(packet.edges[i].bitRole, expected[i].bitRole) << round << " " << i;
        }
    }
}

TEST(LiteralComparison, PreambleAndUnitIntervalMatchTheScan) {
    std::mt19937 random(7);
    for (int round = 0; round < 2000; ++round) {
        // Alternating stretches of random length broken by repeated bits.
        std::vector<uint8_t> bits;
        while (bits.size() < 300) {
            const int stretch = 1 + static_cast<int>(random() % 90);
            uint8_t bit = static_cast<uint8_t>(random() % 2);
            for (int i = 0; i < stretch; ++i, bit ^= 1) {
                bits.push_back(bit);
            }
        }
        // Roles straight from the bits, with a tick count per interval that varies.
        CCCPacket packet;
        packet.clockDivider = 20;
        for (uint8_t bit : bits) {
            CcEdge first;
            first.ticks = static_cast<uint8_t>(bit ? 3 + random() % 2 : 7 + random() % 3);
            literal::Set(first, bit ? BitRole::kOneFirst : BitRole::kZero);
            packet.edges.push_back(first);
            if (bit) {
                CcEdge second;
                second.ticks = static_cast<uint8_t>(3 + random() % 2);
                literal::Set(second, BitRole::kOneSecond);
                packet.edges.push_back(second);
            }
        }
        packet.edgeCount = static_cast<int32_t>(packet.edges.size());
        RecoverBits(packet);
        ASSERT_EQ(packet.bitCount, static_cast<int32_t>(bits.size()));
        const literal::Preamble p = literal::Scan(bits);
        ASSERT_EQ(packet.preambleFound, p.found) << round;
        ASSERT_EQ(packet.preambleStartBit, p.start) << round;
        ASSERT_EQ(packet.sopStartBit, p.sop) << round;
        ASSERT_EQ(packet.preambleLength, p.length) << round;
        if (!p.found) {
            continue;
        }
        // Ticks from the edge of bit start + 1 up to, not including, the edge of bit sop.
        int64_t sum = 0;
        bool started = false;
        bool ended = false;
        for (const CcEdge& edge : packet.edges) {
            if (edge.bitIndex == p.start + 1) {
                started = true;
            }
            if (started && edge.bitIndex == p.sop) {
                ended = true;
                break;
            }
            if (started) {
                sum += edge.ticks;
            }
        }
        const float expected =
            ended ? static_cast<float>(20.0 * static_cast<double>(sum) / (p.length - 1) / 48.0)
                  : 0.0f;
        ASSERT_FLOAT_EQ(packet.averageUnitInterval, expected) << round;
    }
}

TEST(LiteralComparison, ClassesFollowTheTenthsOfAHalfUnitInterval) {
    std::mt19937 random(11);
    for (int round = 0; round < 400; ++round) {
        const int count = 1 + static_cast<int>(random() % 400);
        const int divider = 1 + static_cast<int>(random() % 40);
        std::vector<uint8_t> ticks;
        for (int i = 0; i < count; ++i) {
            ticks.push_back(static_cast<uint8_t>(1 + random() % 255));
        }
        CCCPacket packet = bmc::Packet(ticks, divider);
        ASSERT_TRUE(ClassifyEdges(packet));
        float ui = 3.3f;
        if (count >= 151) {
            int32_t sum = 0;
            for (int i = 1; i <= 150; ++i) {
                sum += ticks[i];
            }
            ui = static_cast<float>(divider) * static_cast<float>(sum) / 48.0f / 50.0f * 0.5f;
        }
        const float h = ui * 48.0f / static_cast<float>(divider) * 0.5f;
        int32_t total = 0;
        int32_t shorts = 0;
        int32_t longs = 0;
        for (int i = 0; i < count; ++i) {
            total += ticks[i];
            const int c = static_cast<int>(static_cast<float>(ticks[i]) * 10.0f / h);
            EdgeClass expected = c <= 5    ? EdgeClass::kShort
                                 : c <= 12 ? EdgeClass::kHalf
                                 : i == 0  ? EdgeClass::kFull
                                 : c <= 15 ? EdgeClass::kAmbiguous
                                 : c <= 25 ? EdgeClass::kFull
                                           : EdgeClass::kLong;
            shorts += expected == EdgeClass::kShort;
            longs += expected == EdgeClass::kLong;
            ASSERT_EQ(packet.edges[i].edgeClass, static_cast<uint8_t>(expected))
                << round << " " << i;
            ASSERT_EQ(packet.edges[i].bitRole,
                      static_cast<uint8_t>(expected == EdgeClass::kFull ? BitRole::kZero
                                                                        : BitRole::kUnassigned));
        }
        EXPECT_EQ(packet.totalTicks, total);
        EXPECT_EQ(packet.shortCount, shorts);
        EXPECT_EQ(packet.longCount, longs);
    }
}

// The search as a plain depth-first recursion without a budget: copy, decide the first ambiguous
// interval, resolve, accept through the bit recovery, half before full.
bool LiteralTry(CCCPacket& packet, EdgeClass decided) {
    const std::vector<CcEdge> saved = packet.edges;
    auto first = std::find_if(packet.edges.begin(), packet.edges.end(), [](const CcEdge& e) {
        return literal::Is(e, EdgeClass::kAmbiguous);
    });
    if (first == packet.edges.end()) {
        packet.edges = saved;
        return false;
    }
    literal::Set(*first, decided);
    if (literal::Resolve(packet.edges) == 0) {
        if (RecoverBits(packet)) {
            return true;
        }
    } else if (LiteralTry(packet, EdgeClass::kHalfResolved) ||
               LiteralTry(packet, EdgeClass::kFullResolved)) {
        return true;
    }
    packet.edges = saved;
    return false;
}

TEST(LiteralComparison, AmbiguitySearchTakesTheSamePathAsThePlainRecursion) {
    std::mt19937 random(3);
    const std::vector<uint8_t> clean =
        bmc::Intervals(bmc::MessageBits(bmc::kSop, bmc::GoodCrcBytes()));
    int accepted = 0;
    int searchedRounds = 0;
    for (int round = 0; round < 300; ++round) {
        std::vector<uint8_t> ticks = clean;
        // Push a few intervals past the preamble into the ambiguous class (6 ticks at divider 20).
        const int changes = 1 + static_cast<int>(random() % 5);
        for (int k = 0; k < changes; ++k) {
            ticks[160 + random() % (ticks.size() - 161)] = 6;
        }
        CCCPacket searched = bmc::Packet(ticks);
        ASSERT_TRUE(ClassifyEdges(searched));
        CCCPacket plain = searched;
        AmbiguitySearch budget;
        bool ok = ResolveEdges(searched) == 0;
        if (!ok) {
            ok = TryAmbiguous(searched, EdgeClass::kHalfResolved, budget) ||
                 TryAmbiguous(searched, EdgeClass::kFullResolved, budget);
        }
        ASSERT_FALSE(budget.exhausted);
        bool plainOk = literal::Resolve(plain.edges) == 0;
        if (!plainOk) {
            plainOk = LiteralTry(plain, EdgeClass::kHalfResolved) ||
                      LiteralTry(plain, EdgeClass::kFullResolved);
        }
        accepted += ok && searched.crcOk ? 1 : 0;
        searchedRounds += budget.steps > 0 ? 1 : 0;
        ASSERT_EQ(ok, plainOk) << round;
        for (size_t i = 0; i < ticks.size(); ++i) {
            ASSERT_EQ(searched.edges[i].edgeClass, plain.edges[i].edgeClass) << round << " " << i;
            ASSERT_EQ(searched.edges[i].bitRole, plain.edges[i].bitRole) << round << " " << i;
        }
        EXPECT_EQ(searched.bitCount, plain.bitCount);
        EXPECT_EQ(searched.orderedSetKind, plain.orderedSetKind);
        EXPECT_EQ(searched.crcOk, plain.crcOk);
        EXPECT_EQ(searched.messageByteCount, plain.messageByteCount);
    }
    EXPECT_GT(accepted, 0);
    EXPECT_GT(searchedRounds, 0);
}

TEST(LiteralComparison, SearchOfCraftedShortBurstsTakesTheSamePathAsThePlainRecursion) {
    // Bursts too short for a preamble, with up to sixteen ambiguous intervals: no assignment is
    // ever accepted, and the fields must be those the last one tried leaves.
    std::mt19937 random(1409);
    for (int round = 0; round < 400; ++round) {
        const int count = 4 + static_cast<int>(random() % 40);
        std::vector<uint8_t> ticks;
        int ambiguous = 0;
        for (int i = 0; i < count; ++i) {
            const int pick = static_cast<int>(random() % 10);
            uint8_t t = pick < 6 && ambiguous < 16 && i > 0 ? 6 : (pick % 2 == 0 ? 4 : 8);
            ambiguous += t == 6 ? 1 : 0;
            ticks.push_back(t);
        }
        CCCPacket searched = bmc::Packet(ticks);
        ASSERT_TRUE(ClassifyEdges(searched));
        CCCPacket plain = searched;
        AmbiguitySearch budget;
        bool ok = ResolveEdges(searched) == 0;
        if (!ok) {
            ok = TryAmbiguous(searched, EdgeClass::kHalfResolved, budget) ||
                 TryAmbiguous(searched, EdgeClass::kFullResolved, budget);
        }
        ASSERT_FALSE(budget.exhausted);
        bool plainOk = literal::Resolve(plain.edges) == 0;
        if (!plainOk) {
            plainOk = LiteralTry(plain, EdgeClass::kHalfResolved) ||
                      LiteralTry(plain, EdgeClass::kFullResolved);
        }
        ASSERT_EQ(ok, plainOk) << round;
        ASSERT_EQ(searched.edges.size(), plain.edges.size());
        for (size_t i = 0; i < plain.edges.size(); ++i) {
            ASSERT_EQ(searched.edges[i].edgeClass, plain.edges[i].edgeClass) << round << " " << i;
            ASSERT_EQ(searched.edges[i].bitRole, plain.edges[i].bitRole) << round << " " << i;
            ASSERT_EQ(searched.edges[i].bitIndex, plain.edges[i].bitIndex) << round << " " << i;
        }
        ASSERT_EQ(searched.bitCount, plain.bitCount) << round;
        for (int32_t i = 0; i < plain.bitCount; ++i) {
            ASSERT_EQ(searched.bits[i], plain.bits[i]) << round << " " << i;
        }
        EXPECT_EQ(searched.preambleFound, plain.preambleFound);
        EXPECT_EQ(searched.orderedSetKind, plain.orderedSetKind);
    }
}

}  // namespace
