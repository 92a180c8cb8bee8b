#include "pd/port_state.h"

#include <gtest/gtest.h>

#include "pd/hand_packets.h"
#include "pd/message_header.h"

namespace {

using hand::Control;
using hand::Data;

constexpr bool kSource = true;
constexpr bool kSink = false;
constexpr bool kDfp = true;
constexpr bool kUfp = false;

constexpr uint32_t kFixed5V3A = 0x0801912C;
constexpr uint32_t kRequestPdo1 = 0x1304B12C;

// Attributes a packet and returns it, so a script reads like the exchange on the wire.
PacketPtr Send(PdPortState& state, PacketPtr packet) {
    AttributePort(state, packet);
    return packet;
}

TEST(PortStateReset, InitialValues) {
    const PdPortState state;
    EXPECT_EQ(state.sourcePort, 1);
    EXPECT_EQ(state.sinkPort, 2);
    EXPECT_EQ(state.ufpPort, 0);
    EXPECT_EQ(state.dfpPort, 0);
    EXPECT_FALSE(state.prSwapActive);
    EXPECT_FALSE(state.prSwapAccepted);
    EXPECT_EQ(state.prSwapInitiator, 0);
    EXPECT_FALSE(state.initiatorReady);
    EXPECT_FALSE(state.partnerReady);
    EXPECT_TRUE(state.lastSourceCaps.expired());
}

TEST(PortStateReset, OtherPort) {
    EXPECT_EQ(OtherPort(1), 2);
    EXPECT_EQ(OtherPort(2), 1);
    EXPECT_EQ(OtherPort(0), 1);
    EXPECT_EQ(OtherPort(3), 1);
}

TEST(SopPorts, PowerRoleSelectsSourceOrSinkPort) {
    PdPortState state;
    EXPECT_EQ(Send(state, Data(kDataSourceCapabilities, kSource, kDfp, {kFixed5V3A}))->port, 1);
    EXPECT_EQ(Send(state, Control(kCtrlGoodCrc, kSink, kUfp))->port, 2);
}

TEST(SopPorts, FirstSopPacketFromSourceDfpFixesTheDataRoles) {
    PdPortState state;
    Send(state, Data(kDataSourceCapabilities, kSource, kDfp, {kFixed5V3A}));
    EXPECT_EQ(state.dfpPort, 1);
    EXPECT_EQ(state.ufpPort, 2);
}

TEST(SopPorts, FirstSopPacketFromAUfpMakesTheOtherPortDfp) {
    PdPortState state;
    Send(state, Control(kCtrlGoodCrc, kSink, kUfp));
    EXPECT_EQ(state.ufpPort, 2);
    EXPECT_EQ(state.dfpPort, 1);
}

TEST(SopPorts, FirstSopPacketFromASinkDfp) {
    PdPortState state;
    Send(state, Control(kCtrlGoodCrc, kSink, kDfp));
    EXPECT_EQ(state.dfpPort, 2);
    EXPECT_EQ(state.ufpPort, 1);
    // Later packets with other data roles do not move the data roles.
    Send(state, Control(kCtrlGoodCrc, kSource, kDfp));
    EXPECT_EQ(state.dfpPort, 2);
    EXPECT_EQ(state.ufpPort, 1);
}

TEST(SopPorts, DataRoleSwapLeavesDataRolePortsAlone) {
    PdPortState state;
    Send(state, Data(kDataSourceCapabilities, kSource, kDfp, {kFixed5V3A}));
    Send(state, Control(kCtrlDrSwap, kSource, kDfp));
    Send(state, Control(kCtrlAccept, kSink, kUfp));
    EXPECT_EQ(Send(state, Control(kCtrlGoodCrc, kSource, kUfp))->port, 1);
    EXPECT_EQ(Send(state, Control(kCtrlGoodCrc, kSink, kDfp))->port, 2);
    EXPECT_EQ(state.dfpPort, 1);
    EXPECT_EQ(state.ufpPort, 2);
}

TEST(SopPorts, PacketWithoutAssembledHeaderStaysUnattributed) {
    PdPortState state;
    auto packet = hand::Raw(kOsSop, {});
    packet->crcOk = false;
    packet->port = 2;
    EXPECT_EQ(Send(state, packet)->port, 0);
    EXPECT_EQ(state.ufpPort, 0);
    EXPECT_EQ(state.dfpPort, 0);
}

TEST(SopPorts, BadCrcStillAttributedFromTheHeaderBits) {
    PdPortState state;
    auto packet = Control(kCtrlGoodCrc, kSink, kUfp);
    packet->crcOk = false;
    EXPECT_EQ(Send(state, packet)->port, 2);
    EXPECT_EQ(state.ufpPort, 2);
}

// The sink (port 2, UFP) asks for the swap; the source accepts, turns its supply off and says
// PS_RDY as the new sink, then the old sink says PS_RDY as the new source.
TEST(PrSwap, FullSwapExchangesSourceAndSinkPorts) {
    PdPortState state;
    Send(state, Data(kDataSourceCapabilities, kSource, kDfp, {kFixed5V3A}));

    EXPECT_EQ(Send(state, Control(kCtrlPrSwap, kSink, kUfp))->port, 2);
    EXPECT_TRUE(state.prSwapActive);
    EXPECT_EQ(state.prSwapInitiator, 2);
    EXPECT_EQ(Send(state, Control(kCtrlGoodCrc, kSource, kDfp))->port, 1);
    EXPECT_EQ(Send(state, Control(kCtrlAccept, kSource, kDfp))->port, 1);
    EXPECT_TRUE(state.prSwapAccepted);
    EXPECT_EQ(Send(state, Control(kCtrlGoodCrc, kSink, kUfp))->port, 2);

    // Old source now speaks as Sink: the sink port moves to it.
    EXPECT_EQ(Send(state, Control(kCtrlPsRdy, kSink, kDfp))->port, 1);
    EXPECT_EQ(state.sinkPort, 1);
    EXPECT_TRUE(state.partnerReady);
    EXPECT_FALSE(state.initiatorReady);
    EXPECT_TRUE(state.prSwapActive);
    EXPECT_EQ(Send(state, Control(kCtrlGoodCrc, kSource, kUfp))->port, 2);

    // Old sink now speaks as Source: the swap completes.
    EXPECT_EQ(Send(state, Control(kCtrlPsRdy, kSource, kUfp))->port, 2);
    EXPECT_EQ(state.sourcePort, 2);
    EXPECT_TRUE(state.initiatorReady);
    EXPECT_FALSE(state.prSwapActive);

    // After the swap power roles decide again, with the ports exchanged.
    EXPECT_EQ(Send(state, Control(kCtrlGoodCrc, kSink, kDfp))->port, 1);
    EXPECT_EQ(Send(state, Data(kDataSourceCapabilities, kSource, kUfp, {kFixed5V3A}))->port, 2);
    EXPECT_EQ(state.dfpPort, 1);
    EXPECT_EQ(state.ufpPort, 2);
}

TEST(PrSwap, SwapStartedByTheSourceEndsWhenBothSaidReady) {
    PdPortState state;
    Send(state, Control(kCtrlGoodCrc, kSource, kDfp));
    EXPECT_EQ(Send(state, Control(kCtrlPrSwap, kSource, kDfp))->port, 1);
    EXPECT_EQ(state.prSwapInitiator, 1);
    Send(state, Control(kCtrlAccept, kSink, kUfp));
    EXPECT_EQ(Send(state, Control(kCtrlPsRdy, kSink, kDfp))->port, 1);
    EXPECT_TRUE(state.initiatorReady);
    EXPECT_TRUE(state.prSwapActive);
    EXPECT_EQ(Send(state, Control(kCtrlPsRdy, kSource, kUfp))->port, 2);
    EXPECT_TRUE(state.partnerReady);
    EXPECT_FALSE(state.prSwapActive);
    EXPECT_EQ(state.sourcePort, 2);
    EXPECT_EQ(state.sinkPort, 1);
}

TEST(PrSwap, RejectEndsTheSwapWithoutChangingPorts) {
    PdPortState state;
    Send(state, Control(kCtrlGoodCrc, kSource, kDfp));
    Send(state, Control(kCtrlPrSwap, kSink, kUfp));
    EXPECT_EQ(Send(state, Control(kCtrlReject, kSource, kDfp))->port, 1);
    EXPECT_FALSE(state.prSwapActive);
    EXPECT_EQ(Send(state, Control(kCtrlPsRdy, kSource, kDfp))->port, 1);
    EXPECT_EQ(state.sourcePort, 1);
    EXPECT_EQ(state.sinkPort, 2);
}

TEST(PrSwap, WaitEndsTheSwapEvenAfterAnAccept) {
    PdPortState state;
    Send(state, Control(kCtrlGoodCrc, kSource, kDfp));
    Send(state, Control(kCtrlPrSwap, kSink, kUfp));
    Send(state, Control(kCtrlAccept, kSource, kDfp));
    Send(state, Control(kCtrlWait, kSource, kDfp));
    EXPECT_FALSE(state.prSwapActive);
    Send(state, Control(kCtrlPsRdy, kSink, kDfp));
    EXPECT_EQ(state.sourcePort, 1);
    EXPECT_EQ(state.sinkPort, 2);
}

TEST(PrSwap, PsRdyBeforeAcceptChangesNothing) {
    PdPortState state;
    Send(state, Control(kCtrlGoodCrc, kSource, kDfp));
    Send(state, Control(kCtrlPrSwap, kSink, kUfp));
    EXPECT_EQ(Send(state, Control(kCtrlPsRdy, kSource, kDfp))->port, 1);
    EXPECT_EQ(state.sourcePort, 1);
    EXPECT_TRUE(state.prSwapActive);
    EXPECT_FALSE(state.partnerReady);
}

TEST(PrSwap, SwapBeforeDataRolesAreKnownUsesPowerRoles) {
    PdPortState state;
    // PR_Swap is the first SOP packet: it fixes the data roles itself.
    EXPECT_EQ(Send(state, Control(kCtrlPrSwap, kSink, kUfp))->port, 2);
    EXPECT_EQ(state.ufpPort, 2);
    EXPECT_EQ(Send(state, Control(kCtrlAccept, kSource, kDfp))->port, 1);
}

TEST(PrSwap, ExtendedMessagesNeverActAsControlMessages) {
    PdPortState state;
    Send(state, Control(kCtrlGoodCrc, kSource, kDfp));
    // An extended message of type 10 is not a PR_Swap.
    Send(state, hand::Extended(kOsSop, {.type = 10, .dataSize = 2, .source = false, .dfp = false},
                               {0, 0}));
    EXPECT_FALSE(state.prSwapActive);
}

TEST(PrSwap, Pd20PrSwapIsRecognisedThroughItsFourBitType) {
    PdPortState state;
    Send(state, Control(kCtrlGoodCrc, kSource, kDfp, 1));
    Send(state, Control(kCtrlPrSwap | 0x10, kSink, kUfp, 1));
    EXPECT_TRUE(state.prSwapActive);
}

TEST(SourceCapsLink, RequestFromSinkRefersToTheLatestSourceCapsFromSource) {
    PdPortState state;
    const auto first = Send(state, Data(kDataSourceCapabilities, kSource, kDfp, {kFixed5V3A}));
    const auto second = Send(state, Data(kDataSourceCapabilities, kSource, kDfp, {kFixed5V3A}));
    const auto request = Send(state, Data(kDataRequest, kSink, kUfp, {kRequestPdo1}));
    EXPECT_EQ(request->sourceCapsRef.lock(), second);
    EXPECT_EQ(state.lastSourceCaps.lock(), second);
    EXPECT_NE(request->sourceCapsRef.lock(), first);
}

TEST(SourceCapsLink, SourceCapsFromTheSinkPortAreNotLinked) {
    PdPortState state;
    const auto fromSource = Send(state, Data(kDataSourceCapabilities, kSource, kDfp, {kFixed5V3A}));
    // A dual-role sink advertising its own source capabilities.
    Send(state, Data(kDataSourceCapabilities, kSink, kUfp, {kFixed5V3A}));
    const auto request = Send(state, Data(kDataRequest, kSink, kUfp, {kRequestPdo1}));
    EXPECT_EQ(request->sourceCapsRef.lock(), fromSource);
}

TEST(SourceCapsLink, RequestFromTheSourcePortHasNoReference) {
    PdPortState state;
    Send(state, Data(kDataSourceCapabilities, kSource, kDfp, {kFixed5V3A}));
    const auto request = Send(state, Data(kDataRequest, kSource, kDfp, {kRequestPdo1}));
    EXPECT_TRUE(request->sourceCapsRef.expired());
}

TEST(SourceCapsLink, RequestBeforeAnySourceCapsHasNoReference) {
    PdPortState state;
    const auto request = Send(state, Data(kDataRequest, kSink, kUfp, {kRequestPdo1}));
    EXPECT_TRUE(request->sourceCapsRef.expired());
}

TEST(SourceCapsLink, AfterPrSwapTheNewSourceAndSinkLink) {
    PdPortState state;
    const auto oldCaps = Send(state, Data(kDataSourceCapabilities, kSource, kDfp, {kFixed5V3A}));
    Send(state, Control(kCtrlPrSwap, kSink, kUfp));
    Send(state, Control(kCtrlAccept, kSource, kDfp));
    Send(state, Control(kCtrlPsRdy, kSink, kDfp));
    Send(state, Control(kCtrlPsRdy, kSource, kUfp));
    // Before new capabilities arrive the latest ones are still those of the old source.
    const auto early = Send(state, Data(kDataRequest, kSink, kDfp, {kRequestPdo1}));
    EXPECT_EQ(early->port, 1);
    EXPECT_EQ(early->sourceCapsRef.lock(), oldCaps);

    const auto newCaps = Send(state, Data(kDataSourceCapabilities, kSource, kUfp, {kFixed5V3A}));
    EXPECT_EQ(newCaps->port, 2);
    const auto request = Send(state, Data(kDataRequest, kSink, kDfp, {kRequestPdo1}));
    EXPECT_EQ(request->port, 1);
    EXPECT_EQ(request->sourceCapsRef.lock(), newCaps);
}

TEST(SourceCapsLink, RemovedSourceCapsReadsAsNoReference) {
    PdPortState state;
    auto caps = Send(state, Data(kDataSourceCapabilities, kSource, kDfp, {kFixed5V3A}));
    const auto linked = Send(state, Data(kDataRequest, kSink, kUfp, {kRequestPdo1}));
    caps.reset();  // the document drops the packet (auto-remove)
    EXPECT_TRUE(linked->sourceCapsRef.expired());
    EXPECT_TRUE(state.lastSourceCaps.expired());
    const auto later = Send(state, Data(kDataRequest, kSink, kUfp, {kRequestPdo1}));
    EXPECT_TRUE(later->sourceCapsRef.expired());
}

TEST(SourceCapsLink, ReattributingAPacketClearsAnOldReference) {
    PdPortState state;
    const auto caps = Send(state, Data(kDataSourceCapabilities, kSource, kDfp, {kFixed5V3A}));
    const auto request = Send(state, Data(kDataRequest, kSink, kUfp, {kRequestPdo1}));
    PdPortState fresh;
    Send(fresh, request);
    EXPECT_TRUE(request->sourceCapsRef.expired());
}

TEST(CablePackets, CablePlugBitGivesPort3) {
    PdPortState state;
    for (int32_t kind : {kOsSopPrime, kOsSopDoublePrime}) {
        auto packet = hand::Message(kind, {.type = kCtrlGoodCrc, .bit8 = true});
        EXPECT_EQ(Send(state, packet)->port, 3) << kind;
    }
}

TEST(CablePackets, PortPacketGoesToSourceWhileDfpUnknown) {
    PdPortState state;
    auto packet = hand::Message(kOsSopPrime, {.type = kCtrlGoodCrc});
    EXPECT_EQ(Send(state, packet)->port, 1);
    EXPECT_EQ(state.dfpPort, 0);  // cable packets do not fix the data roles
}

TEST(CablePackets, PortPacketGoesToSourceWhileDfpIsTheSource) {
    PdPortState state;
    Send(state, Control(kCtrlGoodCrc, kSource, kDfp));
    auto packet = hand::Message(kOsSopDoublePrime, {.type = kCtrlGoodCrc});
    EXPECT_EQ(Send(state, packet)->port, 1);
}

TEST(CablePackets, PortPacketUnattributedWhileDfpIsTheSink) {
    PdPortState state;
    Send(state, Control(kCtrlGoodCrc, kSource, kUfp));
    EXPECT_EQ(state.dfpPort, 2);
    auto packet = hand::Message(kOsSopPrime, {.type = kCtrlGoodCrc});
    EXPECT_EQ(Send(state, packet)->port, 0);
}

TEST(CablePackets, AfterPrSwapTheDfpIsTheNewSource) {
    PdPortState state;
    Send(state, Control(kCtrlGoodCrc, kSource, kUfp));  // DFP is the sink, port 2
    Send(state, Control(kCtrlPrSwap, kSource, kUfp));
    Send(state, Control(kCtrlAccept, kSink, kDfp));
    Send(state, Control(kCtrlPsRdy, kSink, kUfp));
    Send(state, Control(kCtrlPsRdy, kSource, kDfp));
    EXPECT_EQ(state.sourcePort, 2);
    auto packet = hand::Message(kOsSopPrime, {.type = kCtrlGoodCrc});
    EXPECT_EQ(Send(state, packet)->port, 2);
}

TEST(OtherKinds, AreNeverAttributedAndChangeNothing) {
    PdPortState state;
    for (int32_t kind :
         std::initializer_list<int32_t>{kOsSopPrimeDebug, kOsSopDoublePrimeDebug, kOsHardReset,
                                        kOsCableReset, kOsNotDecoded, kOsUnrecognised}) {
        auto packet = hand::Message(kind, {.type = kCtrlPrSwap, .bit8 = true});
        packet->port = 1;
        EXPECT_EQ(Send(state, packet)->port, 0) << kind;
    }
    EXPECT_FALSE(state.prSwapActive);
    EXPECT_EQ(state.ufpPort, 0);
}

TEST(OtherKinds, NullPacketIsIgnored) {
    PdPortState state;
    AttributePort(state, nullptr);
    EXPECT_EQ(state.sourcePort, 1);
}

}  // namespace
