#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "list/core/criteria_enabling.h"
#include "list/core/find_criteria.h"
#include "list/core/find_row.h"
#include "list/core/packet_match.h"
#include "list/core/packet_rows.h"
#include "pd/message_header.h"
#include "pd/packet_column.h"

namespace {

// A sound SOP message with the given header fields.
CCCPacket Message(int type, int objects = 0, bool source = false, bool dfp = false,
                  int revision = 2) {
    CCCPacket packet = GoodPacket();
    const int header =
        type | (dfp ? 1 << 5 : 0) | revision << 6 | (source ? 1 << 8 : 0) | objects << 12;
    std::vector<uint8_t> bytes(2 + 4 * objects);
    bytes[0] = static_cast<uint8_t>(header);
    bytes[1] = static_cast<uint8_t>(header >> 8);
    packet.messageBytes.Assign(bytes);
    packet.messageByteCount = static_cast<int16_t>(bytes.size());
    return packet;
}

CCCPacket HardReset() {
    CCCPacket packet = GoodPacket();
    packet.orderedSetKind = kOsHardReset;
    packet.crcOk = false;
    packet.bytesAssembled = false;
    packet.messageBytes.Clear();
    packet.messageByteCount = 0;
    return packet;
}

bool Shown(const FindCriteria& criteria, const CCCPacket& packet) {
    return ShownByFilter(criteria, {&packet, 0, 0}, {});
}

int Find(const FindCriteria& criteria, const CCCPacket& packet) {
    return MatchFind(criteria, {&packet, 0, 0}, ColumnContext{});
}

void Check(FindCriteria& criteria, std::string_view label, bool on = true) {
    criteria.on[*CriterionByLabel(label)] = on;
}

}  // namespace

TEST(MatchFind, DefaultsMatchNoMessageUntilATypeIsChecked) {
    FindCriteria criteria = FindDefaults();
    for (int32_t kind : {kOsSop, kOsSopPrime, kOsSopDoublePrime}) {
        for (int type : {1, 3, 13}) {
            CCCPacket packet = Message(type, 0, true, true);
            packet.orderedSetKind = kind;
            EXPECT_EQ(Find(criteria, packet), -1);
        }
    }
    Check(criteria, "Soft_Reset");
    EXPECT_EQ(Find(criteria, Message(13)), kColumnMessageType);
    EXPECT_EQ(Find(criteria, Message(3)), -1);
    Check(criteria, "Sink", false);  // the Soft_Reset came from a sink
    EXPECT_EQ(Find(criteria, Message(13)), -1);
    EXPECT_EQ(Find(criteria, Message(13, 0, true)), kColumnMessageType);
}

TEST(MatchFind, ResetsMatchOnTheOrderedSetCellWhateverRolesAndTypes) {
    FindCriteria criteria = FindDefaults();
    EXPECT_EQ(Find(criteria, HardReset()), -1);
    Check(criteria, "Hard Reset");
    SetAllMessageTypes(criteria, false);
    Check(criteria, "Sink", false);
    Check(criteria, "UFP", false);
    EXPECT_EQ(Find(criteria, HardReset()), kColumnOrderedSet);
    CCCPacket onCc2 = HardReset();
    onCc2.ccLine = 1;
    Check(criteria, "CC2", false);
    EXPECT_EQ(Find(criteria, onCc2), -1);

    CCCPacket debug = Message(1);
    debug.orderedSetKind = kOsSopPrimeDebug;
    EXPECT_EQ(Find(criteria, debug), -1);
    Check(criteria, "SOP' Debug");
    EXPECT_EQ(Find(criteria, debug), kColumnOrderedSet);
}

TEST(MatchFind, InvalidPacketsMatchOnTheColumnThatShowsWhy) {
    FindCriteria criteria = FindDefaults();
    Check(criteria, "Invalid Packet");
    CCCPacket noPreamble = Message(1);
    noPreamble.preambleFound = false;
    EXPECT_EQ(Find(criteria, noPreamble), kColumnPreambleLength);
    CCCPacket badCrc = Message(1);
    badCrc.crcOk = false;
    badCrc.bytesAssembled = false;
    EXPECT_EQ(Find(criteria, badCrc), kColumnCrc);
    CCCPacket noEop = Message(1);
    noEop.eopFound = false;
    EXPECT_EQ(Find(criteria, noEop), kColumnPayload);
    CCCPacket slow = Message(1);
    slow.averageUnitInterval = 3.8f;
    EXPECT_EQ(Find(criteria, slow), kColumnAverageUnitInterval);
    CCCPacket slowReset = HardReset();
    slowReset.averageUnitInterval = 3.8f;
    EXPECT_EQ(Find(criteria, slowReset), -1);  // the reset needs its ordered-set box first
    Check(criteria, "Hard Reset");
    EXPECT_EQ(Find(criteria, slowReset), kColumnAverageUnitInterval);

    CCCPacket noEdges = noPreamble;  // nothing measured: not invalid
    noEdges.edgeCount = 0;
    EXPECT_EQ(Find(criteria, noEdges), -1);
    EXPECT_EQ(Find(criteria, Message(1)), -1);  // valid, no type checked
}

TEST(MatchFind, CrcErrorsMatchOnTheCrcCell) {
    FindCriteria criteria = FindDefaults();
    CCCPacket packet = Message(3);
    packet.crcOk = false;  // bytes assembled, CRC failed
    EXPECT_EQ(Find(criteria, packet), -1);
    Check(criteria, "CRC Error");
    EXPECT_EQ(Find(criteria, packet), kColumnCrc);
    CCCPacket noPreamble = packet;
    noPreamble.preambleFound = false;
    Check(criteria, "Invalid Packet");
    EXPECT_EQ(Find(criteria, noPreamble), kColumnCrc);  // the CRC rule returns first
}

TEST(MatchFind, TextFindsIgnoringAsciiCaseAndComesFirst) {
    FindCriteria criteria = FindDefaults();
    criteria.text = "accept";
    EXPECT_EQ(Find(criteria, Message(3)), -1);  // text not enabled
    criteria.textEnabled = true;
    EXPECT_EQ(Find(criteria, Message(3)), kColumnMessageType);
    EXPECT_EQ(Find(criteria, Message(4)), -1);
    Check(criteria, "CC1", false);
    EXPECT_EQ(Find(criteria, Message(3)), kColumnMessageType);  // text wins over the channel
    criteria.text.clear();  // an enabled empty text matches at the first non-empty column
    EXPECT_EQ(Find(criteria, Message(4)), kColumnPacketNumber);
}

TEST(MatchFind, MessagesWithoutABoxNeverMatch) {
    FindCriteria criteria = FindDefaults();
    SetAllCriteria(criteria, true);
    EXPECT_EQ(Find(criteria, Message(25)), -1);
    EXPECT_EQ(Find(criteria, Message(13, 3)), -1);  // data type 13
    EXPECT_EQ(Find(criteria, Message(1, 2)), kColumnMessageType);
    // Before revision 3.0 only bits 0-3 are the type: 0x11 is GoodCRC.
    EXPECT_EQ(Find(criteria, Message(0x11, 0, false, false, 1)), kColumnMessageType);
}

TEST(CriteriaHeader, NeverAssembledBytesReadAsZero) {
    CCCPacket packet = Message(1, 1, true, true);
    EXPECT_NE(AssembledHeader(packet), 0);
    packet.bytesAssembled = false;  // bytes left over from a failed assembly
    EXPECT_EQ(AssembledHeader(packet), 0);
    EXPECT_EQ(PacketMessageTypeBox(packet), std::nullopt);

    FindCriteria criteria = FilterStartValues();
    CCCPacket reset = HardReset();
    EXPECT_TRUE(PassesFilter(criteria, reset));
    Check(criteria, "Sink", false);  // a never-assembled header needs Sink and UFP
    EXPECT_FALSE(PassesFilter(criteria, reset));
}

TEST(ClassifyHeader, ClassAndTypeFromTheHeaderBits) {
    EXPECT_EQ(ClassifyHeader(0x8091).messageClass, MessageClass::kExtended);  // rev 3.0, bit 15
    EXPECT_EQ(ClassifyHeader(0x8091).type, 17);
    EXPECT_EQ(ClassifyHeader(0x8051).messageClass, MessageClass::kControl);  // rev 2.0: bit 15 off
    EXPECT_EQ(ClassifyHeader(0x8051).type, 1);
    EXPECT_EQ(ClassifyHeader(0x1082).messageClass, MessageClass::kData);
}

TEST(PassesFilter, StartValuesShowEverything) {
    const FindCriteria criteria = FilterStartValues();
    EXPECT_TRUE(PassesFilter(criteria, Message(1)));
    EXPECT_TRUE(PassesFilter(criteria, HardReset()));
    CCCPacket invalid = Message(1);
    invalid.preambleFound = false;
    EXPECT_TRUE(PassesFilter(criteria, invalid));
}

TEST(PassesFilter, NoErrorsOffHidesExactlyTheErrorFreePackets) {
    FindCriteria criteria = FilterStartValues();
    Check(criteria, "No Errors", false);
    CCCPacket invalid = Message(1);
    invalid.eopFound = false;
    invalid.bytesAssembled = false;
    CCCPacket crcError = Message(1);
    crcError.crcOk = false;
    crcError.averageUnitInterval = 3.33f;
    EXPECT_FALSE(PassesFilter(criteria, Message(1)));
    EXPECT_FALSE(PassesFilter(criteria, HardReset()));
    EXPECT_TRUE(PassesFilter(criteria, invalid));
    EXPECT_TRUE(PassesFilter(criteria, crcError));

    criteria = FilterStartValues();
    Check(criteria, "CRC Error", false);
    EXPECT_FALSE(PassesFilter(criteria, crcError));
    EXPECT_TRUE(PassesFilter(criteria, invalid));
    Check(criteria, "Invalid Packet", false);
    EXPECT_FALSE(PassesFilter(criteria, invalid));
    EXPECT_TRUE(PassesFilter(criteria, Message(1)));
}

TEST(PassesFilter, ChannelOrderedSetRolesAndTypes) {
    FindCriteria criteria = FilterStartValues();
    SetAllMessageTypes(criteria, false);
    EXPECT_TRUE(PassesFilter(criteria, Message(25)));  // no box: always shown
    EXPECT_FALSE(PassesFilter(criteria, Message(1)));
    Check(criteria, "GoodCRC");
    EXPECT_TRUE(PassesFilter(criteria, Message(1)));
    Check(criteria, "DFP", false);
    EXPECT_FALSE(PassesFilter(criteria, Message(1, 0, false, true)));
    EXPECT_TRUE(PassesFilter(criteria, Message(1, 0, false, false)));
    Check(criteria, "SOP'", false);
    CCCPacket cable = Message(1);
    cable.orderedSetKind = kOsSopPrime;
    EXPECT_FALSE(PassesFilter(criteria, cable));
    CCCPacket unknown = Message(1);
    unknown.orderedSetKind = kOsUnrecognised;
    unknown.ccLine = 2;  // neither CC1 nor CC2
    SetAllCriteria(criteria, false);
    Check(criteria, "Sink");
    Check(criteria, "UFP");
    Check(criteria, "GoodCRC");
    Check(criteria, "No Errors");
    EXPECT_TRUE(PassesFilter(criteria, unknown));
}

TEST(ShownByFilter, TextNarrowsThePassingPackets) {
    FindCriteria criteria = FilterStartValues();
    criteria.text = "Accept";
    EXPECT_TRUE(Shown(criteria, Message(4)));  // text not enabled
    criteria.textEnabled = true;
    EXPECT_TRUE(Shown(criteria, Message(3)));
    EXPECT_FALSE(Shown(criteria, Message(4)));
    Check(criteria, "Accept", false);
    EXPECT_FALSE(Shown(criteria, Message(3)));
}

TEST(FindMatchingRow, WalksWithoutWrapping) {
    const auto even = [](int row) { return row % 2 == 0; };
    EXPECT_EQ(FindMatchingRow(10, 3, true, even), 4);
    EXPECT_EQ(FindMatchingRow(10, 3, false, even), 2);
    EXPECT_EQ(FindMatchingRow(10, 8, true, even), -1);  // no wrap to row 0
    EXPECT_EQ(FindMatchingRow(10, -1, true, even), 2);  // no selection counts as row 0
    EXPECT_EQ(FindMatchingRow(10, -1, false, even), -1);
    EXPECT_EQ(FindMatchingRow(10, 9, true, even), -1);  // last row selected
    EXPECT_EQ(FindMatchingRow(0, -1, true, even), -1);
}

// The dialog enables a role box from the counters only when some packet can pass with it: a
// SOP packet whose bytes were never assembled counts as the filter reads it, Sink and UFP,
// whatever bytes its header left behind.
TEST(CriteriaHeader, CountersReadRolesLikeTheFilter) {
    CCCPacket leftOver = Message(1, 1, true, true);  // Source and DFP bits in the bytes
    leftOver.bytesAssembled = false;
    leftOver.crcOk = false;
    PacketStatistics stats;
    CountPacket(stats, leftOver);
    FindCriteria all;
    SetAllCriteria(all, true);
    const CriteriaEnabling enabling = EnableCriteria(all, &stats);
    for (const auto& [role, other] : {std::pair{kCritSource, kCritSink}, {kCritDfp, kCritUfp}}) {
        FindCriteria only = all;
        only.on[role] = false;
        const bool passesWithoutRole = PassesFilter(only, leftOver);
        only.on[role] = true;
        only.on[other] = false;
        const bool passesWithoutOther = PassesFilter(only, leftOver);
        EXPECT_EQ(enabling.box[role], !passesWithoutRole) << role;
        EXPECT_EQ(enabling.box[other], !passesWithoutOther) << other;
    }
    EXPECT_EQ(stats.sink, 1u);
    EXPECT_EQ(stats.ufp, 1u);
    EXPECT_EQ(stats.source + stats.dfp, 0u);
}
