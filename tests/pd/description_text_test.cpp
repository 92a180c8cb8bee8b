// The Description dispatch by message class and type.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hand_packets.h"
#include "pd/chunk_assembler.h"
#include "pd/description_text.h"
#include "pd/extended_text.h"
#include "pd/message_header.h"

namespace {

TEST(DescriptionText, DataMessagesGoToTheirTexts) {
    EXPECT_EQ(DescriptionText(*hand::Data(kDataSourceCapabilities, true, true, {0x0401912C})),
              "[1]<Fixed> 5000[mV]/3000[mA] (USB Communications)(Peak Current=0) ");
    EXPECT_EQ(DescriptionText(*hand::Data(kDataSinkCapabilities, false, false, {0x0001912C})),
              "[1]<Fixed> 5000[mV]/3000[mA]  ");
    EXPECT_EQ(DescriptionText(*hand::Data(kDataRequest, false, false, {0x1304B12C})), "Position=1");
    EXPECT_EQ(DescriptionText(*hand::Data(kDataBist, true, true, {0x50000000})),
              "BIST Carrier Mode 2 (16-bit unsigned integer = 0000h)");
    EXPECT_EQ(DescriptionText(*hand::Data(kDataGetCountryInfo, true, true, {0x55530000})),
              "CCDO=55530000h)");
    EXPECT_EQ(DescriptionText(*hand::Data(kDataEnterUsb, true, true, {0x20000000, 0})),
              "Invalid Data Objects Count.");
    EXPECT_EQ(DescriptionText(*hand::Data(kDataEprRequest, false, false, {0x1304B12C})),
              "Invalid Data Objects Count.");
    EXPECT_EQ(DescriptionText(*hand::Data(kDataEprMode, true, true, {0x04010000})),
              "Enter Failed (Cable not EPR capable)");
    EXPECT_EQ(DescriptionText(*hand::Data(kDataSourceInfo, true, true, {0x0041412D})),
              "Port Type=Managed(Max PDP=65[W])(Present PDP=65[W])(Reported PDP=45[W])");
    EXPECT_EQ(DescriptionText(*hand::Data(kDataRevision, true, true, {0x31000000})),
              "Revision 3.1, Version 0.0");
    EXPECT_EQ(DescriptionText(*hand::Data(kDataVendorDefined, true, true, {0xFF00A001})),
              "Discover Identity (Request) (SVID=StdID)(Object Position=0)(Ver.2.0)");
}

TEST(DescriptionText, MessagesWithoutDescription) {
    EXPECT_EQ(DescriptionText(*hand::Control(kCtrlAccept, true, true)), "");
    EXPECT_EQ(DescriptionText(*hand::Data(kDataBatteryStatus, true, true, {0x12340000})), "");
    EXPECT_EQ(DescriptionText(*hand::Data(kDataAlert, true, true, {0x02000000})), "");
    EXPECT_EQ(DescriptionText(*hand::Data(13, true, true, {0x1})), "");
    EXPECT_EQ(DescriptionText(*hand::Extended(kOsSop, {.type = kExtStatus, .dataSize = 2}, {1, 2})),
              "");
}

TEST(DescriptionText, OnlyDecodedWithPreambleAndGoodCrc) {
    PacketPtr badCrc = hand::Data(kDataSourceCapabilities, true, true, {0x0401912C});
    badCrc->crcOk = false;
    EXPECT_EQ(DescriptionText(*badCrc), "");
    PacketPtr noPreamble = hand::Data(kDataSourceCapabilities, true, true, {0x0401912C});
    noPreamble->preambleFound = false;
    EXPECT_EQ(DescriptionText(*noPreamble), "");
    EXPECT_EQ(DescriptionText(*hand::Raw(kOsHardReset, {})), "");
}

TEST(DescriptionText, DebugOrderedSetsAreDecoded) {
    PacketPtr debug = hand::Message(kOsSopPrimeDebug, {.type = kDataRevision}, {0x31000000});
    EXPECT_EQ(DescriptionText(*debug), "Revision 3.1, Version 0.0");
}

TEST(DescriptionText, Pd20HeaderWithBit15IsADataMessage) {
    // Revision 2.0: bit 15 does not make the message extended.
    PacketPtr packet = hand::Message(
        kOsSop, {.type = kDataSourceCapabilities, .revision = 1, .extended = true}, {0x0401912C});
    EXPECT_EQ(DescriptionText(*packet),
              "[1]<Fixed> 5000[mV]/3000[mA] (USB Communications)(Peak Current=0) ");
}

TEST(DescriptionText, ExtendedMessagesGoToTheirTexts) {
    EXPECT_EQ(DescriptionText(*hand::Extended(kOsSop, {.type = kExtExtendedControl, .dataSize = 2},
                                              {kEprKeepAlive, 0})),
              "EPR_KeepAlive");
}

TEST(DescriptionText, EprCapabilitiesOnTheFirstChunkRowOnly) {
    // 40 bytes of PDOs: 5 V / 3 A fixed ten times, sent as chunk 0 (26 bytes) and chunk 1.
    std::vector<uint8_t> block;
    for (int i = 0; i < 10; ++i) {
        block.insert(block.end(), {0x2C, 0x91, 0x01, 0x00});
    }
    ChunkAssembler assembler;
    PacketPtr first =
        hand::Extended(kOsSop, {.type = kExtEprSourceCapabilities, .dataSize = 40, .chunk = 0},
                       std::vector<uint8_t>(block.begin(), block.begin() + 26));
    PacketPtr second =
        hand::Extended(kOsSop, {.type = kExtEprSourceCapabilities, .dataSize = 40, .chunk = 1},
                       std::vector<uint8_t>(block.begin() + 26, block.end()));
    AssembleChunks(assembler, *first);
    AssembleChunks(assembler, *second);
    std::string expected;
    for (int k = 1; k <= 10; ++k) {
        expected += "[" + std::to_string(k) + "]<Fix>5.00V/3.00A ";
    }
    EXPECT_EQ(DescriptionText(*first), expected);
    EXPECT_EQ(DescriptionText(*second), "");
}

}  // namespace
