// Capability and request texts of the power negotiation messages.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "hand_packets.h"
#include "pd/message_header.h"
#include "pd/pdo_text.h"

namespace {

constexpr uint32_t kFixed5V3A = 0x0001912C;  // 100 x 50 mV, 300 x 10 mA
constexpr uint32_t kUsbCommunications = 1u << 26;
constexpr uint32_t kBattery5To20V60W = 0x590190F0;
constexpr uint32_t kVariable5To20V3A = 0x9901912C;
constexpr uint32_t kPps = 0xC0000000;
constexpr uint32_t kAvs = 0xD0000000;
constexpr uint32_t kApdoKind2 = 0xE0000000;

PacketPtr SourceCaps(std::initializer_list<uint32_t> pdos) {
    return hand::Data(kDataSourceCapabilities, true, true, pdos);
}
PacketPtr SinkCaps(std::initializer_list<uint32_t> pdos) {
    return hand::Data(kDataSinkCapabilities, false, false, pdos);
}

// Request Data Object fields.
uint32_t Rdo(int position, uint32_t low, uint32_t flags = 0) {
    return (static_cast<uint32_t>(position) << 28) | flags | low;
}
PacketPtr Request(uint32_t rdo, const PacketPtr& caps) {
    PacketPtr request = hand::Data(kDataRequest, false, false, {rdo});
    request->sourceCapsRef = caps;
    return request;
}

// An EPR capabilities first-chunk packet whose reassembly block holds `pdos`.
PacketPtr EprCaps(int type, const std::vector<uint32_t>& pdos) {
    std::vector<uint8_t> block;
    for (uint32_t pdo : pdos) {
        for (int shift = 0; shift < 32; shift += 8) {
            block.push_back(static_cast<uint8_t>(pdo >> shift));
        }
    }
    PacketPtr packet = hand::Extended(
        kOsSop, {.type = type, .dataSize = 26, .chunk = 0},
        std::vector<uint8_t>(block.begin(), block.begin() + std::min<size_t>(26, block.size())));
    packet->chunkStart = true;
    packet->chunkBuffer = hand::WholeBlock(block);
    packet->chunkTotalSize = static_cast<int32_t>(block.size());
    packet->chunkOffset = 0;
    packet->chunkLength = std::min<int32_t>(26, packet->chunkTotalSize);
    return packet;
}

TEST(SourceCapsText, FixedPdoWithUsbCommunicationsReadsAsTheWorkedExample) {
    EXPECT_EQ(SourceCapsText(*SourceCaps({0x0401912C})),
              "[1]<Fixed> 5000[mV]/3000[mA] (USB Communications)(Peak Current=0) ");
}

TEST(SourceCapsText, EveryPdoTypeIsNumberedAndEndsWithASpace) {
    EXPECT_EQ(SourceCapsText(*SourceCaps(
                  {kFixed5V3A, kBattery5To20V60W, kVariable5To20V3A, kPps, kAvs, kApdoKind2})),
              "[1]<Fixed> 5000[mV]/3000[mA] (Peak Current=0) "
              "[2]<Battery> 5000-20000[mV] (MaxPower=60000[mW]) "
              "[3]<None-Battery> 5000-20000[mV]/3000[mA]  "
              "[4]<APDO>(PPS) [5]<APDO>(AVS) [6]<APDO> (Unknown type) ");
}

TEST(SourceCapsText, AugmentedPdoNeverShowsItsVoltageRange) {
    // PPS 3.3-21 V, 3 A: the ranges are in the PDO but not in the text.
    EXPECT_EQ(SourceCapsText(*SourceCaps({0xC8D2103C})), "[1]<APDO>(PPS) ");
}

TEST(SourceCapsText, SourceFlagsInTableOrderThenPeakCurrent) {
    EXPECT_EQ(SourceCapsText(*SourceCaps({kFixed5V3A | 0x3F800000 | (3u << 20)})),
              "[1]<Fixed> 5000[mV]/3000[mA] (Dual-Role Power)(USB Suspend)(Unconstrained)"
              "(USB Communications)(Data-Role Data)(Unchunked)(EPR)(Peak Current=3) ");
}

TEST(SinkCapsText, SinkFixedPdoShowsFastRoleSwapInsteadOfPeakUnchunkedAndEpr) {
    EXPECT_EQ(SinkCapsText(*SinkCaps({kFixed5V3A | 0x3F800000 | (3u << 20)})),
              "[1]<Fixed> 5000[mV]/3000[mA] (Dual-Role Power)(Unconstrained)(Higher Capability)"
              "(USB Communications)(Data-Role Data)(FRSwap 3.0A@5V) ");
    EXPECT_EQ(SinkCapsText(*SinkCaps({kFixed5V3A | (1u << 23)})),
              "[1]<Fixed> 5000[mV]/3000[mA] (FRSwap Default USB) ");
    EXPECT_EQ(SinkCapsText(*SinkCaps({kFixed5V3A | (1u << 24)})),
              "[1]<Fixed> 5000[mV]/3000[mA] (FRSwap 1.5A@5V) ");
    EXPECT_EQ(SinkCapsText(*SinkCaps({kFixed5V3A})), "[1]<Fixed> 5000[mV]/3000[mA]  ");
}

TEST(CapsText, ExtendedOrEmptyMessagesHaveNoText) {
    PacketPtr extended =
        hand::Extended(kOsSop, {.type = kDataSourceCapabilities, .dataSize = 4}, {1, 2, 3, 4});
    EXPECT_EQ(SourceCapsText(*extended), "");
    EXPECT_EQ(SinkCapsText(*extended), "");
    PacketPtr empty = hand::Data(kDataSourceCapabilities, true, true, {});
    EXPECT_EQ(SourceCapsText(*empty), "");
}

TEST(RequestText, FixedRequestReadsAsTheWorkedExample) {
    PacketPtr caps = SourceCaps({0x0401912C});
    const uint32_t rdo = Rdo(1, (300u << 10) | 300u, (1u << 25) | (1u << 24));
    EXPECT_EQ(RequestText(*Request(rdo, caps)),
              "Position=1<Fixed> (Operating Current=3000[mA])(Max Operating Current=3000[mA])"
              "(USB Commincations Capable)(No USB Suspend)");
}

TEST(RequestText, PositionZeroOrBeyondTheCapabilitiesPrintsOnlyThePosition) {
    PacketPtr caps = SourceCaps({kFixed5V3A, kPps});
    EXPECT_EQ(RequestText(*Request(Rdo(0, 300u << 10, 1u << 25), caps)), "Position=0");
    EXPECT_EQ(RequestText(*Request(Rdo(3, 300u << 10, 1u << 25), caps)), "Position=3");
}

TEST(RequestText, WithoutLinkedCapabilitiesPrintsOnlyThePosition) {
    EXPECT_EQ(RequestText(*Request(Rdo(1, 300u << 10, 1u << 25), nullptr)), "Position=1");
    // The linked message was removed from the capture.
    PacketPtr caps = SourceCaps({kFixed5V3A});
    PacketPtr request = Request(Rdo(1, 300u << 10), caps);
    caps.reset();
    EXPECT_EQ(RequestText(*request), "Position=1");
}

TEST(RequestText, GiveBackSwitchesToTheMinimumAndIsNamed) {
    PacketPtr caps = SourceCaps({kVariable5To20V3A});
    EXPECT_EQ(RequestText(*Request(Rdo(1, (150u << 10) | 50u, 1u << 27), caps)),
              "Position=1<Variable> (Operating Current=1500[mA])(Min Operating Current=500[mA])"
              "(GiveBack)");
}

TEST(RequestText, BatteryRequestInMilliwatts) {
    PacketPtr caps = SourceCaps({kFixed5V3A, kBattery5To20V60W});
    EXPECT_EQ(RequestText(*Request(Rdo(2, (240u << 10) | 200u), caps)),
              "Position=2<Battery> (Operating Power=60000[mW])(Max Operating Power=50000[mW])");
    EXPECT_EQ(RequestText(*Request(Rdo(2, (240u << 10) | 200u, 1u << 27), caps)),
              "Position=2<Battery> (Operating Power=60000[mW])(Min Operating Power=50000[mW])"
              "(GiveBack)");
}

TEST(RequestText, ProgrammableRequestsPrintCurrentAndVoltage) {
    PacketPtr caps = SourceCaps({kFixed5V3A, kPps, kAvs, kApdoKind2});
    // PPS: 9000 mV in 20 mV units at bits 9-19, 2000 mA in 50 mA units.
    EXPECT_EQ(RequestText(*Request(Rdo(2, (450u << 9) | 40u), caps)),
              "Position=2<APDO(PPS)> (Operating Curren=2000[mA])(Output Voltage=9000[mV])");
    // AVS: 15000 mV in 25 mV units at bits 9-20.
    EXPECT_EQ(RequestText(*Request(Rdo(3, (600u << 9) | 60u), caps)),
              "Position=3<APDO(AVS)> (Operating Curren=3000[mA])(Output Voltage=15000[mV])");
    EXPECT_EQ(RequestText(*Request(Rdo(4, (600u << 9) | 60u, 1u << 26), caps)),
              "Position=4<APDO(Unknown)> (Capability Mismatch)");
}

TEST(RequestText, AllFlagsInOrder) {
    PacketPtr caps = SourceCaps({kFixed5V3A});
    EXPECT_EQ(RequestText(*Request(Rdo(1, 0, 0x07C00000), caps)),
              "Position=1<Fixed> (Operating Current=0[mA])(Max Operating Current=0[mA])"
              "(Capability Mismatch)(USB Commincations Capable)(No USB Suspend)(Unchunked)(EPR)");
}

TEST(RequestText, WrongObjectCountIsReported) {
    EXPECT_EQ(RequestText(*hand::Data(kDataRequest, false, false, {Rdo(1, 0), 0})),
              "Invalid Data Objects Count.");
    EXPECT_EQ(EprRequestText(*hand::Data(kDataEprRequest, false, false, {Rdo(1, 0)})),
              "Invalid Data Objects Count.");
}

TEST(EprRequestText, DecodedFromItsOwnPdoCopyWithoutCapabilities) {
    // AVS request for 28 V / 5 A at position 8, EPR mode capable.
    const uint32_t rdo = Rdo(8, (1120u << 9) | 100u, 1u << 22);
    PacketPtr request = hand::Data(kDataEprRequest, false, false, {rdo, kAvs | 0x0AF0C864});
    EXPECT_EQ(EprRequestText(*request),
              "Position=8<APDO(AVS)> (Operating Curren=5000[mA])(Output Voltage=28000[mV])(EPR)");
}

TEST(EprCapsText, ZeroPdoKeepsItsNumber) {
    const uint32_t fixed9V3A = 0x0002D12C;
    const uint32_t fixed28V5A = 0x0008C1F4;
    EXPECT_EQ(EprSourceCapsText(
                  *EprCaps(kExtEprSourceCapabilities, {kFixed5V3A, fixed9V3A, 0, fixed28V5A})),
              "[1]<Fix>5.00V/3.00A [2]<Fix>9.00V/3.00A [4]<Fix>28.00V/5.00A ");
}

TEST(EprCapsText, ShortFlagsAndOtherTypes) {
    const uint32_t flags = 0x3F800000;
    EXPECT_EQ(EprSourceCapsText(
                  *EprCaps(kExtEprSourceCapabilities, {kFixed5V3A | flags, kBattery5To20V60W,
                                                       kVariable5To20V3A, kPps, kAvs, kApdoKind2})),
              "[1]<Fix>5.00V/3.00A(DRP)(USB Suspend)(Unconstrained)(USB Comm)(DRD)(Unchunked)(EPR) "
              "[2]<Battery>5000-20000[mV](MaxPower=60000[mW]) "
              "[3]<None-Battery>5000-20000[mV]/3000[mA] "
              "[4]<APDO>(PPS) [5]<APDO>(AVS) [6]<APDO>(Unknown) ");
    EXPECT_EQ(EprSinkCapsText(*EprCaps(kExtEprSinkCapabilities, {kFixed5V3A | flags, kApdoKind2})),
              "[1]<Fix>5.00V/3.00A(DRP)(Unconstrained)(HiCap)(USB Comm)(DRD)(FRSwap 3.0A@5V) "
              "[2]<APDO>(Unknown type) ");
}

TEST(EprCapsText, OnlyTheFirstChunkOfAReassembledBlockHasText) {
    PacketPtr first = EprCaps(kExtEprSourceCapabilities, {kFixed5V3A, kFixed5V3A});
    PacketPtr later = EprCaps(kExtEprSourceCapabilities, {kFixed5V3A, kFixed5V3A});
    later->chunkOffset = 26;
    EXPECT_NE(EprSourceCapsText(*first), "");
    EXPECT_EQ(EprSourceCapsText(*later), "");
    PacketPtr noBlock = EprCaps(kExtEprSourceCapabilities, {kFixed5V3A});
    noBlock->chunkBuffer.reset();
    EXPECT_EQ(EprSourceCapsText(*noBlock), "");
    PacketPtr noSize = EprCaps(kExtEprSourceCapabilities, {kFixed5V3A});
    noSize->chunkTotalSize = 0;
    EXPECT_EQ(EprSinkCapsText(*noSize), "");
}

TEST(EprCapsText, NeverReadsPastTheBlockItHolds) {
    PacketPtr packet = EprCaps(kExtEprSourceCapabilities, {kFixed5V3A});
    packet->chunkTotalSize = 260;  // claims more than the 4 bytes held
    EXPECT_EQ(EprSourceCapsText(*packet), "[1]<Fix>5.00V/3.00A ");
}

TEST(EprCapsText, PartialBlockShowsWhatWasReceived) {
    // An abandoned 40-byte message: only the first chunk's 26 bytes arrived.
    std::vector<uint32_t> pdos(10, 0);
    pdos[0] = kFixed5V3A;
    pdos[5] = kFixed5V3A;  // bytes 20-23, inside the first chunk
    EXPECT_EQ(EprSourceCapsText(*EprCaps(kExtEprSourceCapabilities, pdos)),
              "[1]<Fix>5.00V/3.00A [6]<Fix>5.00V/3.00A ");
}

}  // namespace
