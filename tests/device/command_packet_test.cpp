#include <gtest/gtest.h>

#include "capture/byte_order.h"
#include "device/command_packet.h"

namespace {

std::vector<uint8_t> Head(const CommandPacket& packet, size_t count) {
    return {packet.bytes.begin(), packet.bytes.begin() + static_cast<std::ptrdiff_t>(count)};
}

bool ZeroFrom(const CommandPacket& packet, size_t offset) {
    for (size_t i = offset; i < packet.bytes.size(); ++i) {
        if (packet.bytes[i] != 0) {
            return false;
        }
    }
    return true;
}

TEST(CommandPacket, EveryPacketOpensWithTheSignatureAndItsCode) {
    CommandPacket packet = EnterFirmwareUpdatePacket();
    EXPECT_EQ(Head(packet, 8), (std::vector<uint8_t>{0x43, 0x43, 0x56, 0x4B, 7, 0, 0, 0}));
    EXPECT_EQ(packet.Signature(), 0x4B564343u);
    EXPECT_EQ(packet.bytes.size(), 64u);
    EXPECT_TRUE(ZeroFrom(packet, 8));
}

TEST(CommandPacket, CcTerminationCarriesLineAndValue) {
    CommandPacket packet = SetCcTerminationPacket(CcLine::kCc2, CcTermination::kRd);
    EXPECT_EQ(Head(packet, 10), (std::vector<uint8_t>{0x43, 0x43, 0x56, 0x4B, 1, 0, 0, 0, 1, 2}));
    EXPECT_TRUE(ZeroFrom(packet, 10));
    packet = SetCcTerminationPacket(CcLine::kCc1, CcTermination::kRp3A0);
    EXPECT_EQ(packet.bytes[8], 0);
    EXPECT_EQ(packet.bytes[9], 5);
}

TEST(CommandPacket, SamplingIntervalTravelsAsMillisecondsMinusOne) {
    CommandPacket one = SetSamplingIntervalPacket(1);
    EXPECT_EQ(Head(one, 13),
              (std::vector<uint8_t>{0x43, 0x43, 0x56, 0x4B, 6, 0, 0, 0, 0, 0, 0, 0, 3}));
    EXPECT_TRUE(ZeroFrom(one, 13));
    CommandPacket ten = SetSamplingIntervalPacket(10);
    EXPECT_EQ(ten.bytes[8], 9);
    EXPECT_EQ(ten.bytes[12], 3);
    CommandPacket zero = SetSamplingIntervalPacket(0);
    EXPECT_EQ(zero.bytes[8], 0);
    CommandPacket large = SetSamplingIntervalPacket(70000);
    EXPECT_EQ(ReadU32(large.bytes.data() + 8), 69999u);
}

TEST(CommandPacket, TerminationValuesAndTexts) {
    EXPECT_EQ(static_cast<int>(CcTermination::kNone), 0);
    EXPECT_EQ(static_cast<int>(CcTermination::kRa), 1);
    EXPECT_EQ(static_cast<int>(CcTermination::kRd), 2);
    EXPECT_EQ(static_cast<int>(CcTermination::kRpDefault), 3);
    EXPECT_EQ(static_cast<int>(CcTermination::kRp1A5), 4);
    EXPECT_EQ(static_cast<int>(CcTermination::kRp3A0), 5);
    EXPECT_EQ(CcTerminationText(CcTermination::kRpDefault), "Rp (Default USB Power)");
    EXPECT_EQ(CcTerminationText(CcTermination::kRp1A5), "Rp (1.5A @ 5V)");
    EXPECT_EQ(CcTerminationText(CcTermination::kRp3A0), "Rp (3.0A @ 5V)");
    EXPECT_EQ(CcTerminationText(CcTermination::kNone), "None");
    for (const char* name : {"none", "ra", "rd", "rp-default", "rp-1.5a", "rp-3a"}) {
        std::optional<CcTermination> value = CcTerminationFromName(name);
        ASSERT_TRUE(value) << name;
        EXPECT_EQ(CcTerminationName(*value), name);
    }
    EXPECT_FALSE(CcTerminationFromName("rp-3.0a"));
    EXPECT_FALSE(CcTerminationFromByte(6));
    EXPECT_EQ(CcTerminationFromByte(5), CcTermination::kRp3A0);
}

}  // namespace
