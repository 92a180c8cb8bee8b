// Packet column texts, sort keys, row search and the time format.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "capture/document.h"
#include "capture/stream_builder.h"
#include "capture/temp_files.h"
#include "columns/column_text.h"
#include "columns/document_context.h"
#include "hand_packets.h"
#include "pd/message_header.h"

namespace {

// The document whose origin and samples the texts use; VbusLookupTest sets it for its tests.
const CKVDoc* contextDocument = nullptr;

ColumnContext ContextOf(bool reverse = false) {
    if (contextDocument != nullptr) {
        return DocumentColumnContext(*contextDocument, reverse);
    }
    return {.reverseCurrent = reverse};
}

// The texts of the packet as row `number` of the list.
std::string Text(const PacketPtr& packet, int column, bool reverse = false, int64_t idle = 0,
                 int32_t number = 0) {
    return ColumnText({packet.get(), number, idle}, column, ContextOf(reverse));
}

int64_t Key(const PacketPtr& packet, int column, int64_t idle = 0, int32_t number = 0) {
    return ColumnSortKey({packet.get(), number, idle}, column, ContextOf());
}

int Find(const PacketPtr& packet, const std::string& text, bool reverse) {
    return FindInColumns({packet.get(), 0, 0}, text, ContextOf(reverse));
}

// Source_Capabilities from a DFP source: header 11A1h, one PDO 0401912Ch.
PacketPtr SourceCaps() {
    PacketPtr packet = hand::Data(kDataSourceCapabilities, true, true, {0x0401912C});
    packet->receivedCrc = 0x12345678;
    return packet;
}

void SetVbus(CCCPacket& packet, uint16_t voltage, int16_t current) {
    packet.vbusValid = true;
    packet.vbusVoltage = voltage;
    packet.vbusCurrent = current;
    packet.cc1Voltage = 1650;
    packet.cc1Current = -120;
    packet.cc2Voltage = 0;
    packet.cc2Current = 5;
}

TEST(FormatTime, WorkedExamples) {
    EXPECT_EQ(FormatTime(0), "  0s   0ms   0us");
    EXPECT_EQ(FormatTime(-1500), "- 0s   1ms 500us");
    EXPECT_EQ(FormatTime(3723004005), " 1h  2min  3s 004ms 005us");
}

TEST(FormatTime, MinuteFormAndExtremes) {
    EXPECT_EQ(FormatTime(61000001), "  1min  1s 000ms 001us");
    EXPECT_EQ(FormatTime(59999999), " 59s 999ms 999us");
    EXPECT_EQ(FormatTime(-3600000000), "-1h  0min  0s 000ms 000us");
    // The most negative time still formats (hours keep their low 16 bits).
    EXPECT_FALSE(FormatTime(std::numeric_limits<int64_t>::min()).empty());
    EXPECT_FALSE(FormatTime(std::numeric_limits<int64_t>::max()).empty());
}

TEST(ColumnText, GoodSopDataMessageRow) {
    PacketPtr p = SourceCaps();
    p->relTime = 3723004005;
    p->totalTicks = 2400;
    p->clockDivider = 20;
    p->ccLine = 1;
    p->edgeCount = 321;
    p->preambleLength = 64;
    p->averageUnitInterval = 3.3f;
    EXPECT_EQ(Text(p, kColumnPacketNumber, false, 0, 12), "12");
    EXPECT_EQ(Text(p, kColumnIdleTime, false, 1500), "  0s   1ms 500us");
    EXPECT_EQ(Text(p, kColumnTimestamp), " 1h  2min  3s 004ms 005us");
    EXPECT_EQ(Text(p, kColumnPacketLength), "1000");
    EXPECT_EQ(Text(p, kColumnChannel), "CC2");
    EXPECT_EQ(Text(p, kColumnOrderedSet), "SOP");
    EXPECT_EQ(Text(p, kColumnPowerRole), "Source");
    EXPECT_EQ(Text(p, kColumnDataRole), "DFP");
    EXPECT_EQ(Text(p, kColumnCablePlug), "");
    EXPECT_EQ(Text(p, kColumnMessageType), "Source_Capabilities");
    EXPECT_EQ(Text(p, kColumnMessageId), "0");
    EXPECT_EQ(Text(p, kColumnRevision), "3.0");
    EXPECT_EQ(Text(p, kColumnDataObjectCount), "1");
    EXPECT_EQ(Text(p, kColumnExtended), "0");
    for (int column = kColumnExtHeader; column <= kColumnExtDataSize; ++column) {
        EXPECT_EQ(Text(p, column), "") << column;
    }
    EXPECT_EQ(Text(p, kColumnDescription),
              "[1]<Fixed> 5000[mV]/3000[mA] (USB Communications)(Peak Current=0) ");
    EXPECT_EQ(Text(p, kColumnMessageSize), "6");
    EXPECT_EQ(Text(p, kColumnHeader), "11A1h");
    EXPECT_EQ(Text(p, kColumnDataObjects), "[1]:0401912Ch ");
    EXPECT_EQ(Text(p, kColumnCrc), "12345678h");
    EXPECT_EQ(Text(p, kColumnEdgeCount), "321");
    EXPECT_EQ(Text(p, kColumnPreambleLength), "64");
    EXPECT_EQ(Text(p, kColumnAverageUnitInterval), "3.300");
    EXPECT_EQ(Text(p, kColumnHexBytes), "A1 11 2C 91 01 04");
    EXPECT_EQ(Text(p, kColumnAsciiBytes), "..,...");
    EXPECT_EQ(Text(p, -1), "");
    EXPECT_EQ(Text(p, kPacketColumnCount), "");
}

TEST(ColumnText, HardResetRow) {
    PacketPtr p = hand::Raw(kOsHardReset, {});
    EXPECT_EQ(Text(p, kColumnOrderedSet), "Hard Reset");
    EXPECT_EQ(Text(p, kColumnCrc), "-");
    EXPECT_EQ(Text(p, kColumnMessageType), "");
    EXPECT_EQ(Text(p, kColumnDescription), "");
    EXPECT_EQ(Text(p, kColumnHexBytes), "");
    EXPECT_EQ(Text(p, kColumnMessageSize), "0");
}

TEST(ColumnText, DebugOrderedSetsReadInvalidButAreDecoded) {
    for (int kind : {kOsSopPrimeDebug, kOsSopDoublePrimeDebug}) {
        PacketPtr p = hand::Message(kind, {.type = kCtrlGoodCrc, .bit8 = true, .id = 5});
        EXPECT_EQ(Text(p, kColumnOrderedSet), "Invalid");
        EXPECT_EQ(Text(p, kColumnMessageType), "GoodCRC");
        EXPECT_EQ(Text(p, kColumnMessageId), "5");
        EXPECT_EQ(Text(p, kColumnHeader), "0B81h");
        // Role columns belong to SOP, and to SOP' and SOP'' only.
        EXPECT_EQ(Text(p, kColumnPowerRole), "");
        EXPECT_EQ(Text(p, kColumnCablePlug), "");
    }
}

TEST(ColumnText, CablePlugColumnForPrimeMessages) {
    PacketPtr fromPlug = hand::Message(kOsSopPrime, {.type = kCtrlGoodCrc, .bit8 = true});
    PacketPtr fromPort = hand::Message(kOsSopDoublePrime, {.type = kCtrlGoodCrc});
    EXPECT_EQ(Text(fromPlug, kColumnCablePlug), "Cable Plug");
    EXPECT_EQ(Text(fromPort, kColumnCablePlug), "UFP or DFP");
    EXPECT_EQ(Text(fromPlug, kColumnPowerRole), "");
    EXPECT_EQ(Text(fromPlug, kColumnDataRole), "");
}

TEST(ColumnText, BadCrcShowsOnlyTheFramingColumns) {
    PacketPtr p = SourceCaps();
    p->crcOk = false;
    EXPECT_EQ(Text(p, kColumnOrderedSet), "SOP");
    EXPECT_EQ(Text(p, kColumnMessageSize), "6");
    EXPECT_EQ(Text(p, kColumnCrc), "12345678h(Bad)");
    EXPECT_EQ(Text(p, kColumnHexBytes), "A1 11 2C 91 01 04");
    for (int column : {8, 9, 10, 11, 12, 13, 14, 15, 21, 23, 24}) {
        EXPECT_EQ(Text(p, column), "") << column;
    }
}

TEST(ColumnText, PacketWithoutPreambleShowsOnlyTheAlwaysPresentColumns) {
    auto p = std::make_shared<CCCPacket>();
    p->edgeCount = 17;
    const std::vector<int> present = {0, 1, 2, 3, 6, 27, 32, 33, 34};
    for (int column = 0; column < kPacketColumnCount; ++column) {
        const bool shown = std::find(present.begin(), present.end(), column) != present.end();
        EXPECT_EQ(!Text(p, column).empty(), shown) << column;
    }
    EXPECT_EQ(Text(p, kColumnAverageUnitInterval), "0.000(Bad)");
    EXPECT_EQ(Text(p, kColumnBmc), " (0bits)");
}

TEST(ColumnText, UnitIntervalLimitsAreInside) {
    PacketPtr p = SourceCaps();
    p->averageUnitInterval = 3.03f;
    EXPECT_EQ(Text(p, kColumnAverageUnitInterval), "3.030");
    p->averageUnitInterval = 3.7f;
    EXPECT_EQ(Text(p, kColumnAverageUnitInterval), "3.700");
    p->averageUnitInterval = 3.029f;
    EXPECT_EQ(Text(p, kColumnAverageUnitInterval), "3.029(Bad)");
    p->averageUnitInterval = 3.701f;
    EXPECT_EQ(Text(p, kColumnAverageUnitInterval), "3.701(Bad)");
}

TEST(ColumnText, BmcShowsEveryBitAndTheCount) {
    auto p = std::make_shared<CCCPacket>();
    p->bits = {1, 0, 1, 1, 0};
    p->bitCount = 5;
    EXPECT_EQ(Text(p, kColumnBmc), "10110 (5bits)");
    // A count beyond the bits held prints only the bits there are.
    p->bitCount = 9;
    EXPECT_EQ(Text(p, kColumnBmc), "10110 (9bits)");
}

TEST(ColumnText, ExtendedHeaderColumns) {
    PacketPtr p = hand::Extended(
        kOsSop, {.type = kExtExtendedControl, .dataSize = 2, .chunked = true, .chunk = 3}, {3, 0});
    EXPECT_EQ(Text(p, kColumnExtended), "1");
    EXPECT_EQ(Text(p, kColumnExtHeader), "9802h");
    EXPECT_EQ(Text(p, kColumnExtChunked), "1");
    EXPECT_EQ(Text(p, kColumnExtChunkNumber), "3");
    EXPECT_EQ(Text(p, kColumnExtRequestChunk), "0");
    EXPECT_EQ(Text(p, kColumnExtDataSize), "2");
    EXPECT_EQ(Text(p, kColumnDataObjects), "03-00h");
    EXPECT_EQ(Text(p, kColumnMessageType), "Extended_Control");
}

TEST(ColumnText, ExtendedBitOnlyFromRevision30) {
    PacketPtr pd20 = hand::Message(kOsSop, {.type = kCtrlAccept, .revision = 1, .extended = true});
    EXPECT_EQ(Text(pd20, kColumnExtended), "");
    EXPECT_EQ(Text(pd20, kColumnExtHeader), "");
    EXPECT_EQ(Text(pd20, kColumnRevision), "2.0");
    EXPECT_EQ(Key(pd20, kColumnExtended), -1);
}

TEST(ColumnText, ExtendedDataLimitedToTheBytesCarried) {
    // Chunk 0 of a 40-byte message with two data objects: at most 4 x 2 - 2 = 6 bytes, even if
    // more bytes were assembled.
    PacketPtr chunk =
        hand::Extended(kOsSop, {.type = kExtEprSourceCapabilities, .dataSize = 40, .objects = 2},
                       hand::Counting(26, 0));
    EXPECT_EQ(Text(chunk, kColumnDataObjects), "00-01-02-03-04-05h");
    // Unchunked: Data Size bounds the bytes.
    PacketPtr small = hand::Extended(kOsSop, {.type = kExtStatus, .dataSize = 3, .chunked = false},
                                     hand::Counting(6, 0x10));
    EXPECT_EQ(Text(small, kColumnDataObjects), "10-11-12h");
    // Nothing carried after the extended header.
    PacketPtr none = hand::Extended(
        kOsSop, {.type = kExtStatus, .dataSize = 7, .chunked = false, .objects = 1}, {});
    none->messageByteCount = 4;
    EXPECT_EQ(Text(none, kColumnDataObjects), "h");
    PacketPtr empty = hand::Extended(kOsSop, {.type = kExtStatus, .dataSize = 0}, {1, 2});
    EXPECT_EQ(Text(empty, kColumnDataObjects), "");
}

TEST(ColumnText, ChunkWithoutDataObjectsCarriesNoExtendedBytes) {
    // Chunked with Number of Data Objects 0: the limit 4 x 0 - 2 is below zero, so no byte is
    // shown even though three follow the extended header.
    PacketPtr p = hand::Extended(
        kOsSop, {.type = kExtStatus, .dataSize = 5, .chunked = true, .objects = 0}, {1, 2, 3});
    ASSERT_EQ(p->messageByteCount, 7);
    EXPECT_EQ(Text(p, kColumnDataObjects), "h");
}

TEST(ColumnText, PrintableAsciiIsSpaceToTilde) {
    PacketPtr p = hand::Raw(kOsSop, {0x1F, 0x20, 0x7E, 0x7F, 0x80, 0xFF, 0x41});
    EXPECT_EQ(Text(p, kColumnHexBytes), "1F 20 7E 7F 80 FF 41");
    EXPECT_EQ(Text(p, kColumnAsciiBytes), ". ~...A");
    // Neither byte column is shown for a packet that is not of an SOP* kind.
    PacketPtr unrecognised = hand::Raw(kOsUnrecognised, {0x41, 0x42});
    EXPECT_EQ(Text(unrecognised, kColumnHexBytes), "");
    EXPECT_EQ(Text(unrecognised, kColumnAsciiBytes), "");
}

TEST(ColumnSortKey, HeaderWithBit15IsAnUnsigned16BitKey) {
    PacketPtr p = hand::Extended(
        kOsSop, {.type = kExtExtendedControl, .dataSize = 2, .chunked = true}, {3, 0});
    EXPECT_EQ(Text(p, kColumnHeader), "91B0h");
    EXPECT_EQ(Key(p, kColumnHeader), 0x91B0);
}

TEST(ColumnText, VbusColumnsAndReversedCurrent) {
    PacketPtr p = SourceCaps();
    SetVbus(*p, 20000, 1500);
    EXPECT_EQ(Text(p, kColumnVbusVoltage), "20.00");
    EXPECT_EQ(Text(p, kColumnVbusCurrent), "1.500");
    EXPECT_EQ(Text(p, kColumnVbusCurrent, true), "-1.500");
    EXPECT_EQ(Text(p, kColumnVbusWattage), "30.000");
    EXPECT_EQ(Text(p, kColumnVbusWattage, true), "-30.000");
    EXPECT_EQ(Text(p, kColumnCc1Voltage), "1.65");
    EXPECT_EQ(Text(p, kColumnCc1Current), "-0.120");
    EXPECT_EQ(Text(p, kColumnCc1Current, true), "0.120");
    EXPECT_EQ(Text(p, kColumnCc2Voltage), "0.00");
    EXPECT_EQ(Text(p, kColumnCc2Current), "0.005");
}

TEST(ColumnText, VbusVoltageIsUnsigned) {
    PacketPtr p = SourceCaps();
    SetVbus(*p, 40000, 100);
    EXPECT_EQ(Text(p, kColumnVbusVoltage), "40.00");
    EXPECT_EQ(Key(p, kColumnVbusVoltage), 40000);
    EXPECT_EQ(Key(p, kColumnVbusWattage), 4000000);
}

TEST(ColumnText, WithoutVbusValuesTheColumnsAreEmpty) {
    PacketPtr p = SourceCaps();
    for (int column : {4, 5, 28, 29, 30, 31, 37}) {
        EXPECT_EQ(Text(p, column), "") << column;
        EXPECT_EQ(Key(p, column), -1) << column;
    }
}

TEST(ColumnSortKey, NumericKeys) {
    PacketPtr p = SourceCaps();
    p->relTime = 123456789;
    p->totalTicks = 4800;
    p->clockDivider = 10;
    p->ccLine = 1;
    p->edgeCount = 99;
    SetVbus(*p, 5000, -2000);
    EXPECT_EQ(Key(p, kColumnPacketNumber, 0, 4), 4);
    EXPECT_EQ(Key(p, kColumnIdleTime, -20), -20);
    EXPECT_EQ(Key(p, kColumnTimestamp), 123456789);
    EXPECT_EQ(Key(p, kColumnPacketLength), 1000);
    EXPECT_EQ(Key(p, kColumnVbusCurrent), -2000);
    EXPECT_EQ(Key(p, kColumnChannel), 1);
    EXPECT_EQ(Key(p, kColumnOrderedSet), kOsSop);
    EXPECT_EQ(Key(p, kColumnMessageId), 0);
    EXPECT_EQ(Key(p, kColumnDataObjectCount), 1);
    EXPECT_EQ(Key(p, kColumnExtended), 0);
    EXPECT_EQ(Key(p, kColumnMessageSize), 6);
    EXPECT_EQ(Key(p, kColumnHeader), 0x11A1);
    EXPECT_EQ(Key(p, kColumnCrc), 0x12345678);
    EXPECT_EQ(Key(p, kColumnEdgeCount), 99);
    EXPECT_EQ(Key(p, kColumnCc1Voltage), 1650);
    EXPECT_EQ(Key(p, kColumnCc1Current), -120);
    EXPECT_EQ(Key(p, kColumnCc2Current), 5);
    EXPECT_EQ(Key(p, kColumnVbusWattage), -10000000);
    // Text-sorted columns have no key.
    EXPECT_EQ(Key(p, kColumnMessageType), -1);
    EXPECT_EQ(Key(p, kColumnDescription), -1);
    EXPECT_EQ(Key(p, 99), -1);
}

TEST(ColumnSortKey, MessageKeysNeedAGoodCrc) {
    PacketPtr p = SourceCaps();
    p->crcOk = false;
    p->receivedCrc = 0xFFFFFFFF;
    for (int column : {12, 14, 15, 22, 23}) {
        EXPECT_EQ(Key(p, column), -1) << column;
    }
    EXPECT_EQ(Key(p, kColumnCrc), 0xFFFFFFFFll);
}

TEST(FindInColumns, FoldsAsciiLettersOnly) {
    PacketPtr p = hand::Message(kOsSopPrime, {.type = kCtrlGoodCrc, .bit8 = true});
    EXPECT_EQ(Find(p, "sop'", false), kColumnOrderedSet);
    EXPECT_EQ(Find(p, "goodcrc", false), kColumnMessageType);
    EXPECT_EQ(Find(p, "cable PLUG", false), kColumnCablePlug);
    EXPECT_EQ(Find(p, "cc1", false), kColumnChannel);
    EXPECT_EQ(Find(p, "no such text", false), -1);
    // Several columns match: the lowest id wins ("Source" before "Source_Capabilities").
    EXPECT_EQ(Find(SourceCaps(), "source", false), kColumnPowerRole);
    // "\xC3\xA4" is a lower-case a with umlaut; its upper-case form is never produced.
    EXPECT_EQ(Find(p, "\xC3\xA4", false), -1);
}

TEST(FindInColumns, ReverseCurrentChangesWhatIsFound) {
    PacketPtr p = SourceCaps();
    SetVbus(*p, 5000, 1234);
    EXPECT_EQ(Find(p, "-1.234", false), -1);
    EXPECT_EQ(Find(p, "-1.234", true), kColumnVbusCurrent);
}

// A capture document holding samples at 0, 1000 and 2000 microseconds.
class VbusLookupTest : public ::testing::Test {
  protected:
    void SetUp() override {
        StreamBuilder stream;
        stream.AddSamples({{.timestamp = 1000, .vbusVoltage = 5000, .vbusCurrent = 100},
                           {.timestamp = 2000, .vbusVoltage = 9000, .vbusCurrent = 200},
                           {.timestamp = 3000, .vbusVoltage = 15000, .vbusCurrent = 300}});
        path_ = dir_.File("vbus_lookup_test.zaz");
        FILE* file = std::fopen(path_.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fwrite(stream.Bytes().data(), 1, stream.Bytes().size(), file);
        std::fclose(file);
        ASSERT_TRUE(doc_.OpenRecordFile(path_));
        ASSERT_EQ(doc_.SampleCount(), 3u);
        contextDocument = &doc_;
    }
    void TearDown() override { contextDocument = nullptr; }
    PacketPtr PacketAt(int64_t relTime) {
        PacketPtr p = SourceCaps();
        p->relTime = relTime;
        return p;
    }

    TempDir dir_;
    std::string path_;
    CKVDoc doc_;
};

TEST_F(VbusLookupTest, TextsUseTheLatestSampleAtOrBeforeThePacket) {
    PacketPtr p = PacketAt(1500);
    EXPECT_EQ(Text(p, kColumnVbusVoltage), "9.00");
    EXPECT_EQ(Key(p, kColumnVbusVoltage), 9000);
    // Reading texts never writes the packet.
    EXPECT_FALSE(p->vbusValid);
    EXPECT_EQ(Text(PacketAt(2000), kColumnVbusVoltage), "15.00");
    // The time origin shifts both keys alike.
    doc_.SetTimeOrigin(700, false);
    EXPECT_EQ(Text(p, kColumnVbusVoltage), "9.00");
    EXPECT_EQ(Text(p, kColumnTimestamp), "  0s   0ms 800us");
}

TEST_F(VbusLookupTest, PacketBeforeEverySampleHasNoValues) {
    PacketPtr p = PacketAt(-5);
    EXPECT_EQ(Text(p, kColumnVbusVoltage), "");
    EXPECT_FALSE(PacketVbus(*p, ContextOf()).has_value());
}

TEST_F(VbusLookupTest, APacketsOwnSnapshotWinsOverTheDocument) {
    PacketPtr p = PacketAt(1500);
    EXPECT_EQ(Text(p, kColumnVbusVoltage), "9.00");
    SetVbus(*p, 5000, 100);
    EXPECT_EQ(Text(p, kColumnVbusVoltage), "5.00");
}

TEST_F(VbusLookupTest, TextsOfOnePacketFromTwoThreadsWhileTheOriginMoves) {
    // An export worker and the user interface read the same packet without a snapshot while
    // the origin changes: the texts only read, so both always see the same sample.
    PacketPtr p = PacketAt(1500);
    std::atomic<int> mismatches{0};
    const auto reader = [&] {
        for (int i = 0; i < 500; ++i) {
            for (int column = 0; column < kPacketColumnCount; ++column) {
                Text(p, column);
            }
            if (Text(p, kColumnVbusVoltage) != "9.00") {
                ++mismatches;
            }
        }
    };
    std::thread worker(reader);
    for (int i = 0; i < 500; ++i) {
        doc_.SetTimeOrigin(i, false);
    }
    reader();
    worker.join();
    EXPECT_EQ(mismatches.load(), 0);
    EXPECT_FALSE(p->vbusValid);
}

TEST(ColumnText, ArbitraryPacketFieldsNeverReadOutOfBounds) {
    // Random bytes, counts beyond the arrays, negative counts and blocks shorter than their
    // claimed size: every text and key must stay within the packet's data.
    std::mt19937 random(7);
    const auto next = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    const PacketPtr caps = SourceCaps();
    for (int round = 0; round < 3000; ++round) {
        auto p = std::make_shared<CCCPacket>();
        p->preambleFound = next(0, 4) != 0;
        p->crcOk = next(0, 3) != 0;
        const int kinds[] = {1, 2, 3, 4, 5, 6, 7, 254, 255, 0, -1};
        p->orderedSetKind = kinds[next(0, 10)];
        std::vector<uint8_t> bytes(kMaxMessageBytes);
        for (uint8_t& byte : bytes) {
            byte = static_cast<uint8_t>(next(0, 255));
        }
        p->messageBytes.Assign(bytes);
        p->messageByteCount = next(-8, 300);
        p->bitCount = next(-3, 400);
        p->bits.resize(static_cast<size_t>(next(0, 300)), 1);
        p->averageUnitInterval = static_cast<float>(next(-100, 100)) / 10.0f;
        if (next(0, 1) == 1) {
            p->chunkBuffer =
                hand::WholeBlock(std::vector<uint8_t>(static_cast<size_t>(next(0, 40)), 0x5A));
            p->chunkTotalSize = next(-4, 300);
            p->chunkOffset = next(0, 2) == 0 ? 0 : next(-5, 300);
        }
        if (next(0, 3) == 0) {
            p->sourceCapsRef = caps;
        }
        for (int column = -1; column <= kPacketColumnCount; ++column) {
            Text(p, column, next(0, 1) == 1, next(-5, 5));
            Key(p, column);
        }
        Find(p, "x", false);
    }
}

TEST(VbusLookup, WithoutDocumentNothingIsFound) {
    PacketPtr p = SourceCaps();
    EXPECT_FALSE(PacketVbus(*p, ContextOf()).has_value());
}

}  // namespace
