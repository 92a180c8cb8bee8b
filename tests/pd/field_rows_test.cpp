#include "pd/field_rows.h"

#include <gtest/gtest.h>

#include "pd/chunk_assembler.h"
#include "pd/field_test_util.h"
#include "pd/hand_packets.h"
#include "pd/message_header.h"

namespace {

using fields::ExpectRow;
using fields::Names;
using fields::Offsets;
using fields::RowNamed;
using fields::WordBytes;

constexpr uint32_t kFixed5V3A = 0x0001912C;  // 100 x 50 mV, 300 x 10 mA
constexpr uint32_t kFixed9V3A = 0x0002D12C;  // 180 x 50 mV, 300 x 10 mA

PacketPtr SourceCaps() {
    return hand::Data(kDataSourceCapabilities, true, true, {kFixed5V3A, kFixed9V3A});
}

PacketPtr Assembled(PacketPtr packet, ChunkAssembler& assembler) {
    AssembleChunks(assembler, *packet);
    return packet;
}

TEST(FieldRows, DataObjectNodeShowsItsPdoFromOffsetZero) {
    const auto caps = SourceCaps();
    const auto rows = FieldRowsForNode(*caps, 0x04010000);
    ASSERT_EQ(rows.size(), 12u);  // the revision 3.0 source Fixed PDO
    ExpectRow(rows[0], "0..9", "10", "Maximum Current in 10mA units", "12Ch (300)", "3000 [mA]");
    EXPECT_EQ(rows[0].hex, "2C 01 ");
    EXPECT_EQ(rows[0].ascii, ",.");
    ExpectRow(rows[1], "10..19", "10", "Voltage in 50mV units", "0B4h (180)", "9000 [mV]");
    EXPECT_EQ(rows[1].hex, "B4 00 ");
    ExpectRow(rows[2], "20..21", "2", "Peak Current", "0h (0)", "");
    ExpectRow(rows[3], "22", "1", "Reserved", "0h (0)", "");
    ExpectRow(rows[11], "30..31", "2", "Fixed supply", "0h (0)", "Fixed supply (Vmin=Vmax)");
}

TEST(FieldRows, PacketNodeShowsHeaderFieldsAndWholeDataObjects) {
    const auto caps = SourceCaps();
    const auto rows = FieldRowsForNode(*caps, 0x01000000);
    EXPECT_EQ(Names(rows),
              (std::vector<std::string>{"Message Type", "Port Data Role", "Specification Revision",
                                        "Port Power Role", "MessageID", "Number of Data Objects",
                                        "Extended", "Data Object #1", "Data Object #2"}));
    ExpectRow(rows[0], "0..4", "5", "Message Type", "01h (1)", "Source_Capabilities");
    ExpectRow(rows[1], "5", "1", "Port Data Role", "1h (1)", "DFP");
    ExpectRow(rows[2], "6..7", "2", "Specification Revision", "2h (2)", "Revision 3.0");
    ExpectRow(rows[3], "8", "1", "Port Power Role", "1h (1)", "Source");
    ExpectRow(rows[5], "12..14", "3", "Number of Data Objects", "2h (2)", "");
    ExpectRow(rows[6], "15", "1", "Extended", "0h (0)", "Control or Data Message");
    ExpectRow(rows[7], "16..47", "32", "Data Object #1", "0001912Ch (102700)", "");
    EXPECT_EQ(rows[7].hex, "2C 91 01 00 ");
    ExpectRow(rows[8], "48..79", "32", "Data Object #2", "0002D12Ch (184620)", "");
    // The header node alone.
    EXPECT_EQ(FieldRowsForNode(*caps, 0x02000000).size(), 7u);
}

TEST(FieldRows, ValueWithTopBitSetReadsNegative) {
    // A Request without a Source_Capabilities link: its data object is a plain header field.
    const auto request = hand::Data(kDataRequest, false, false, {0x80000000});
    const auto rows = FieldRowsForNode(*request, 0x01000000);
    ExpectRow(rows.back(), "16..47", "32", "Data Object #1", "80000000h (-2147483648)", "");
}

TEST(FieldRows, RequestWithoutSourceCapsShowsNoRdo) {
    const auto request = hand::Data(kDataRequest, false, false, {0x2004B12C});
    const auto rows = FieldRowsForNode(*request, 0x04000000);
    ASSERT_EQ(rows.size(), 1u);
    ExpectRow(rows[0], "0..31", "32", "Data Object #1", "2004B12Ch (537178412)", "");
}

TEST(FieldRows, RequestWithSourceCapsShowsTheRdoOfTheRequestedPdo) {
    const auto caps = SourceCaps();
    auto request = hand::Data(kDataRequest, false, false, {0x2004B12C});  // position 2
    request->sourceCapsRef = caps;
    auto rows = FieldRowsForNode(*request, 0x04000000);
    ASSERT_EQ(rows.size(), 10u);
    ExpectRow(rows[0], "0..9", "10", "Maximum Operating Current 10mA units", "12Ch (300)",
              "3000 [mA]");
    ExpectRow(rows[9], "28..31", "4", "Object position", "2h (2)", "");

    // GiveBack set: the minimum current variant.
    auto giveBack = hand::Data(kDataRequest, false, false, {0x2804B12C});
    giveBack->sourceCapsRef = caps;
    EXPECT_EQ(FieldRowsForNode(*giveBack, 0x04000000)[0].name,
              "Minimum Operating Current 10mA units");

    // An Object Position beyond the referenced PDOs, or a link that has expired, shows none.
    auto beyond = hand::Data(kDataRequest, false, false, {0x3004B12C});
    beyond->sourceCapsRef = caps;
    EXPECT_EQ(FieldRowsForNode(*beyond, 0x04000000).size(), 1u);
    auto expired = hand::Data(kDataRequest, false, false, {0x2004B12C});
    expired->sourceCapsRef = SourceCaps();  // the temporary is gone at once
    EXPECT_EQ(FieldRowsForNode(*expired, 0x04000000).size(), 1u);
}

TEST(FieldRows, OneBitAndTwoBitOffsets) {
    const auto rows = FieldRowsForNode(*SourceCaps(), 0x02000000);
    EXPECT_EQ(RowNamed(rows, "Port Power Role").offset, "8");
    EXPECT_EQ(RowNamed(rows, "Specification Revision").offset, "6..7");
}

// An unchunked Firmware_Update_Request of 260 bytes with a vendor-specific body.
PacketPtr VendorFirmwareRequest(ChunkAssembler& assembler) {
    std::vector<uint8_t> data = {0x01, 0xFF, 0x34, 0x12};
    for (int i = 0; i < 256; ++i) {
        data.push_back(static_cast<uint8_t>(0x30 + i));
    }
    return Assembled(
        hand::Extended(
            kOsSop, {.type = kExtFirmwareUpdateRequest, .dataSize = 260, .chunked = false}, data),
        assembler);
}

TEST(FieldRows, WideFieldIsShownIn128BitRowsNamedByByteRange) {
    ChunkAssembler assembler;
    const auto packet = VendorFirmwareRequest(assembler);
    const auto rows = FieldRowsForNode(*packet, 0x20000000);
    ASSERT_EQ(rows.size(), 3u + 16u);
    ExpectRow(rows[0], "0..7", "8", "ProtocolVersion", "01h (1)",
              "USB PD Firmware Update Protocol Version 1.0");
    ExpectRow(rows[1], "8..15", "8", "MessageType", "FFh (255)", "VENDOR_SPECIFIC");
    ExpectRow(rows[2], "16..31", "16", "VID", "1234h (4660)", "");
    ExpectRow(rows[3], "32..159", "128", "Vendor Defined[0..15]",
              "33323130h - 37363534h - 3B3A3938h - 3F3E3D3Ch", "");
    EXPECT_EQ(rows[3].hex, "30 31 32 33 34 35 36 37 38 39 3A 3B 3C 3D 3E 3F ");
    EXPECT_EQ(rows[3].ascii, "0123456789:;<=>?");
    EXPECT_EQ(rows[4].name, "Vendor Defined[16..31]");
    EXPECT_EQ(rows[4].offset, "160..287");
    EXPECT_EQ(rows[18].name, "Vendor Defined[240..255]");
    EXPECT_EQ(rows[18].offset, "1952..2079");
}

TEST(FieldRows, WideFieldCutByTheRangeEndsWithAShorterRow) {
    ChunkAssembler assembler;
    const auto packet = VendorFirmwareRequest(assembler);
    // The message itself: the header table's "Extended Data" field, not broken down because the
    // packet's data lives in the reassembled block.
    const auto rows = FieldRowsForNode(*packet, 0x10000000);
    ASSERT_EQ(rows.size(), 17u);  // 260 bytes: 16 rows of 16 bytes and one of 4
    EXPECT_EQ(rows[0].name, "Extended Data[0..15]");
    EXPECT_EQ(rows[0].offset, "0..127");
    ExpectRow(rows[16], "2048..2079", "32", "Extended Data[256..259]", "2F2E2D2Ch", "");
}

TEST(FieldRows, ExtendedHeaderLeavesBitNineOut) {
    ChunkAssembler assembler;
    const auto rows = FieldRowsForNode(*VendorFirmwareRequest(assembler), 0x08000000);
    EXPECT_EQ(Offsets(rows), (std::vector<std::string>{"0..8", "10", "11..14", "15"}));
    ExpectRow(rows[0], "0..8", "9", "Data Size", "104h (260)", "");
    ExpectRow(rows[3], "15", "1", "Chunked", "0h (0)", "");
}

// A 40-byte EPR_Source_Capabilities in two chunks; its ten PDOs are Fixed supplies.
struct EprCaps {
    PacketPtr first;
    PacketPtr second;
};

EprCaps ChunkedEprSourceCaps() {
    const std::vector<uint8_t> block =
        WordBytes({kFixed5V3A, kFixed9V3A, kFixed5V3A, kFixed9V3A, kFixed5V3A, kFixed9V3A,
                   kFixed5V3A, kFixed9V3A, kFixed5V3A, kFixed9V3A});
    ChunkAssembler assembler;
    const hand::ExtendedParts parts{.type = kExtEprSourceCapabilities, .dataSize = 40};
    auto first = Assembled(
        hand::Extended(kOsSop, parts, std::vector<uint8_t>(block.begin(), block.begin() + 26)),
        assembler);
    auto second = Assembled(
        hand::Extended(kOsSop, {.type = kExtEprSourceCapabilities, .dataSize = 40, .chunk = 1},
                       std::vector<uint8_t>(block.begin() + 26, block.end())),
        assembler);
    return {first, second};
}

TEST(FieldRows, BlockOffsetsCountFromTheSelectedNode) {
    const EprCaps caps = ChunkedEprSourceCaps();
    ASSERT_TRUE(caps.first->chunkBuffer);
    const auto block = FieldRowsForNode(*caps.first, 0x20000000);
    ASSERT_EQ(block.size(), 10u * 12u);
    ExpectRow(block[12], "32..41", "10", "Maximum Current in 10mA units", "12Ch (300)",
              "3000 [mA]");
    ExpectRow(block[13], "42..51", "10", "Voltage in 50mV units", "0B4h (180)", "9000 [mV]");
    ExpectRow(block[23], "62..63", "2", "Fixed supply", "0h (0)", "Fixed supply (Vmin=Vmax)");

    const auto object = FieldRowsForNode(*caps.first, 0x24010000);
    ASSERT_EQ(object.size(), 12u);
    ExpectRow(object[0], "0..9", "10", "Maximum Current in 10mA units", "12Ch (300)", "3000 [mA]");
    ExpectRow(object[11], "30..31", "2", "Fixed supply", "0h (0)", "Fixed supply (Vmin=Vmax)");
    // Both chunks show the same block.
    EXPECT_EQ(Offsets(FieldRowsForNode(*caps.second, 0x20000000)), Offsets(block));
}

TEST(FieldRows, ChunkOfAReassembledMessageShowsItsDataUnbrokenDown) {
    const EprCaps caps = ChunkedEprSourceCaps();
    const auto rows = FieldRowsForNode(*caps.first, 0x10000000);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].name, "Extended Data[0..15]");
    EXPECT_EQ(rows[1].name, "Extended Data[16..25]");
    EXPECT_EQ(rows[1].offset, "128..207");
}

TEST(FieldRows, ChunkWithoutItsStartIsBrokenDownFromItsOwnBytes) {
    ChunkAssembler assembler;
    const auto orphan = Assembled(
        hand::Extended(kOsSop, {.type = kExtEprSourceCapabilities, .dataSize = 40, .chunk = 1},
                       WordBytes({kFixed9V3A, kFixed5V3A})),
        assembler);
    ASSERT_FALSE(orphan->chunkBuffer);
    const auto rows = FieldRowsForNode(*orphan, 0x10000000);
    ASSERT_FALSE(rows.empty());
    ExpectRow(rows[0], "0..9", "10", "Maximum Current in 10mA units", "12Ch (300)", "3000 [mA]");
    EXPECT_EQ(RowNamed(rows, "Voltage in 50mV units").offset, "10..19");
}

TEST(FieldRows, FieldReachingPastTheRangeIsCutAtItsEnd) {
    // Discover Modes of DisplayPort: the capability VDO table is 40 bits long.
    const auto modes =
        hand::Data(kDataVendorDefined, true, true, {0xFF01A043, 0x00000C45, 0x00000C45});
    const auto rows = FieldRowsForNode(*modes, 0x04010000);
    ASSERT_FALSE(rows.empty());
    ExpectRow(rows.back(), "24..31", "8", "Reserved", "00h (0)", "");
    ExpectRow(RowNamed(rows, "DFP_D Pin Assignments Supported"), "8..15", "8",
              "DFP_D Pin Assignments Supported", "0Ch (12)", "Pin Assignment C, Pin Assignment D");
}

TEST(FieldRows, PacketsWithoutAMessageShowNothing) {
    const auto hardReset = hand::Raw(kOsHardReset, {});
    EXPECT_TRUE(FieldRowsForNode(*hardReset, 0x01000000).empty());
    // A debug ordered set carries a message but has no header table.
    const auto debug = hand::Message(kOsSopPrimeDebug, {.type = 1}, {0x12345678});
    EXPECT_TRUE(FieldRowsForNode(*debug, 0x01000000).empty());
    const auto undecoded = hand::Raw(kOsNotDecoded, {0x41, 0x10});
    EXPECT_TRUE(FieldRowsForNode(*undecoded, 0).empty());
}

TEST(FieldRows, RangesStayWithinTheBytesThePacketCarries) {
    auto caps = SourceCaps();
    // Only the first data object was assembled.
    caps->messageByteCount = 6;
    EXPECT_EQ(Names(FieldRowsForNode(*caps, 0x01000000)).back(), "Data Object #1");
    EXPECT_TRUE(FieldRowsForNode(*caps, 0x04010000).empty());
    // Out-of-range counts and unknown codes.
    caps->messageByteCount = 30000;
    EXPECT_LE(FieldRowsForNode(*caps, 0x01000000).size(), 40u);
    caps->messageByteCount = -3;
    EXPECT_TRUE(FieldRowsForNode(*caps, 0x01000000).empty());
    EXPECT_TRUE(FieldRowsForNode(*caps, 0x7F000000).empty());
    // Ranges asked for directly are bounded by the bytes as well.
    caps->messageByteCount = 10;
    EXPECT_EQ(BuildFieldRows(*caps, {0, 0x7FFFFFFF, false}).size(), 9u);
    EXPECT_TRUE(BuildFieldRows(*caps, {-64, 0x7FFFFFFF, false}).empty());
    EXPECT_TRUE(BuildFieldRows(*caps, {80, 32, false}).empty());
    EXPECT_TRUE(BuildFieldRows(*caps, {0, 64, true}).empty());  // no reassembled block
    // A reassembled block of which only six bytes are held yet.
    auto chunk = ChunkedEprSourceCaps().first;
    auto held = std::make_shared<ChunkBlock>(chunk->chunkBuffer->Size());
    held->Append(chunk->chunkBuffer->Bytes(), 6);
    chunk->chunkBuffer = held;
    const auto rows = FieldRowsForNode(*chunk, 0x20000000);
    EXPECT_EQ(rows.back().offset, "42..47");  // the voltage field, cut at the 48th bit
}

}  // namespace
