// The pcapng export: block bytes against the format's layout, a structural walk of exported
// files (block and trailing lengths, option padding and ends, interfaces, timestamps), the
// Zoduz record of a packet, which packets go in, and the output's safety (no input overwritten,
// nothing replaced by an aborted or failed export, no special file replaced).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <optional>

#include "capture/document.h"
#include "capture/temp_files.h"
#include "columns/column_text.h"
#include "pd/hand_packets.h"
#include "pd/message_header.h"
#include "tools/capture_files.h"
#include "tools/pcapng_blocks.h"
#include "tools/pcapng_export.h"
#include "tools/pd_pcapng_record.h"

namespace {

uint32_t Le32(const std::string& bytes, size_t at) {
    return static_cast<uint32_t>(static_cast<uint8_t>(bytes[at])) |
           static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 1])) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 2])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 3])) << 24;
}

uint16_t Le16(const std::string& bytes, size_t at) {
    return static_cast<uint16_t>(static_cast<uint8_t>(bytes[at]) |
                                 static_cast<uint8_t>(bytes[at + 1]) << 8);
}

std::string Text(const std::vector<uint8_t>& bytes) {
    return {bytes.begin(), bytes.end()};
}

struct WalkedPacket {
    uint32_t interfaceId = 0;
    uint64_t timestamp = 0;
    std::string data;
};

struct WalkedFile {
    std::vector<uint16_t> linkTypes;
    std::vector<std::string> timestampResolutions;
    std::vector<WalkedPacket> packets;
    std::string problem;  // empty when the file is well formed
};

// Options from `at` to `end`: each value padded with zeros to four bytes, the list closed by
// opt_endofopt exactly at the end of the block body. Returns the value of option `wanted`.
std::optional<std::string> WalkOptions(const std::string& bytes, size_t at, size_t end,
                                       uint16_t wanted, std::string& problem) {
    std::optional<std::string> found;
    if (at == end) {
        return found;  // no options at all
    }
    while (at + 4 <= end) {
        const uint16_t code = Le16(bytes, at);
        const uint16_t length = Le16(bytes, at + 2);
        const size_t padded = (length + 3u) / 4u * 4u;
        if (at + 4 + padded > end) {
            problem = "option runs past its block";
            return found;
        }
        for (size_t i = at + 4 + length; i < at + 4 + padded; ++i) {
            if (bytes[i] != 0) {
                problem = "option padding is not zero";
            }
        }
        if (code == 0) {
            if (length != 0 || at + 4 != end) {
                problem = "opt_endofopt is not the last four bytes";
            }
            return found;
        }
        if (code == wanted) {
            found = bytes.substr(at + 4, length);
        }
        at += 4 + padded;
    }
    problem = "options without opt_endofopt";
    return found;
}

WalkedFile Walk(const std::string& bytes) {
    WalkedFile file;
    size_t at = 0;
    bool first = true;
    while (at < bytes.size() && file.problem.empty()) {
        if (at + 12 > bytes.size()) {
            file.problem = "truncated block";
            break;
        }
        const uint32_t type = Le32(bytes, at);
        const uint32_t length = Le32(bytes, at + 4);
        if (length < 12 || length % 4 != 0 || at + length > bytes.size()) {
            file.problem = "bad block length";
            break;
        }
        if (Le32(bytes, at + length - 4) != length) {
            file.problem = "trailing length differs";
            break;
        }
        const size_t body = at + 8;
        const size_t end = at + length - 4;
        if (first != (type == 0x0A0D0D0A)) {
            file.problem = "the file does not start with one section header";
            break;
        }
        if (type == 0x0A0D0D0A) {
            if (Le32(bytes, body) != 0x1A2B3C4D || Le16(bytes, body + 4) != 1 ||
                Le16(bytes, body + 6) != 0) {
                file.problem = "bad section header";
            }
            WalkOptions(bytes, body + 16, end, 0xFFFF, file.problem);
        } else if (type == 1) {
            file.linkTypes.push_back(Le16(bytes, body));
            file.timestampResolutions.push_back(
                WalkOptions(bytes, body + 8, end, 9, file.problem).value_or("default"));
        } else if (type == 6) {
            WalkedPacket packet;
            packet.interfaceId = Le32(bytes, body);
            packet.timestamp =
                static_cast<uint64_t>(Le32(bytes, body + 4)) << 32 | Le32(bytes, body + 8);
            const uint32_t captured = Le32(bytes, body + 12);
            const size_t padded = (captured + 3u) / 4u * 4u;
            if (captured != Le32(bytes, body + 16) || body + 20 + padded > end ||
                packet.interfaceId >= file.linkTypes.size()) {
                file.problem = "bad enhanced packet";
                break;
            }
            packet.data = bytes.substr(body + 20, captured);
            for (size_t i = body + 20 + captured; i < body + 20 + padded; ++i) {
                if (bytes[i] != 0) {
                    file.problem = "packet padding is not zero";
                }
            }
            WalkOptions(bytes, body + 20 + padded, end, 0xFFFF, file.problem);
            file.packets.push_back(packet);
        }
        first = false;
        at += length;
    }
    return file;
}

// The exported-PDU prefix every packet starts with: tag 12 "zoduz_pd" (8 bytes), end tag.
const std::string kPduPrefix("\x00\x0c\x00\x08zoduz_pd\x00\x00\x00\x00", 16);

// The Zoduz record behind the exported-PDU prefix.
std::string RecordOf(const std::string& pdu) {
    return pdu.substr(kPduPrefix.size());
}

WalkedFile ExportAndWalk(const CKVDoc& doc, const PcapngExportOptions& options,
                         const std::string& path) {
    JobControl control;
    EXPECT_EQ(WritePcapngExport(doc.Snapshot(), options, path, control), ToolResult::kSucceeded);
    EXPECT_EQ(control.Progress(), 100);
    return Walk(Text(ReadFile(path)));
}

bool IsMessage(const CCCPacket& packet) {
    return packet.preambleFound &&
           (packet.orderedSetKind == kOsHardReset || packet.orderedSetKind == kOsCableReset ||
            (IsSopKind(packet) && packet.bytesAssembled));
}

}  // namespace

TEST(PcapngBlocks, SectionHeaderOptionIsPaddedAndClosed) {
    const std::string block = PcapngSectionHeader({{kPcapngShbUserApplication, "Zoduz"}});
    const std::string expected(
        "\x0a\x0d\x0d\x0a"
        "\x2c\x00\x00\x00"                   // 44 bytes
        "\x4d\x3c\x2b\x1a"                   // byte-order magic, little-endian
        "\x01\x00\x00\x00"                   // version 1.0
        "\xff\xff\xff\xff\xff\xff\xff\xff"   // section length unknown
        "\x04\x00\x05\x00Zoduz\x00\x00\x00"  // shb_userappl, 5 bytes padded to 8
        "\x00\x00\x00\x00"                   // opt_endofopt
        "\x2c\x00\x00\x00",
        44);
    EXPECT_EQ(block, expected);
}

TEST(PcapngBlocks, InterfaceAndPacketBlocksWithoutOptionsHaveNoEndOfOptions) {
    const std::string interface = PcapngInterfaceDescription(252, 0, {});
    EXPECT_EQ(interface, std::string("\x01\x00\x00\x00\x14\x00\x00\x00\xfc\x00\x00\x00"
                                     "\x00\x00\x00\x00\x14\x00\x00\x00",
                                     20));
    const std::string packet = PcapngEnhancedPacket(1, 0x0000000500000007ull, "abcde");
    EXPECT_EQ(packet, std::string("\x06\x00\x00\x00\x28\x00\x00\x00"  // 40 bytes
                                  "\x01\x00\x00\x00"                  // interface 1
                                  "\x05\x00\x00\x00\x07\x00\x00\x00"  // high, low word
                                  "\x05\x00\x00\x00\x05\x00\x00\x00"  // captured, original
                                  "abcde\x00\x00\x00"
                                  "\x28\x00\x00\x00",
                                  40));
    const std::string four = PcapngEnhancedPacket(0, 1, "abcd");
    EXPECT_EQ(Le32(four, 4), 36u);  // four data bytes need no padding
}

TEST(PcapngExport, SimulatedCaptureWalksCleanlyWithOnePacketPerMessage) {
    TempDir dir;
    const std::string record = dir.File("PDCapture.zaz");
    ASSERT_TRUE(SimulateRecordFile(record, "mixed"));
    CKVDoc doc;
    ASSERT_TRUE(doc.OpenRecordFile(record));
    const WalkedFile file = ExportAndWalk(doc, {}, dir.File("out.pcapng"));
    ASSERT_EQ(file.problem, "");
    EXPECT_EQ(file.linkTypes, (std::vector<uint16_t>{252, 252}));
    EXPECT_EQ(file.timestampResolutions, (std::vector<std::string>{"\x06", "\x06"}));

    const DocumentSnapshot snapshot = doc.Snapshot();
    std::vector<PacketPtr> messages;
    std::vector<uint32_t> numbers;
    for (size_t number = 0; number < snapshot.packets.size(); ++number) {
        if (IsMessage(*snapshot.packets[number])) {
            messages.push_back(snapshot.packets[number]);
            numbers.push_back(static_cast<uint32_t>(number));
        }
    }
    ASSERT_GT(messages.size(), 20u);
    ASSERT_EQ(file.packets.size(), messages.size());
    bool bothLines[2] = {false, false};
    for (size_t i = 0; i < messages.size(); ++i) {
        const CCCPacket& packet = *messages[i];
        const WalkedPacket& walked = file.packets[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(walked.timestamp, static_cast<uint64_t>(packet.relTime));
        EXPECT_EQ(walked.interfaceId, packet.ccLine);
        bothLines[walked.interfaceId] = true;
        ASSERT_EQ(walked.data.substr(0, kPduPrefix.size()), kPduPrefix);
        const std::string rec = RecordOf(walked.data);
        ASSERT_GE(rec.size(), 52u);
        EXPECT_EQ(rec[0], 1);
        EXPECT_EQ(rec[1], 52);
        EXPECT_EQ(rec[2], packet.orderedSetKind);
        EXPECT_EQ(rec[3], packet.ccLine);
        EXPECT_EQ(rec[6], 0);  // a message
        EXPECT_EQ(Le32(rec, 8), numbers[i]);
        EXPECT_EQ(Le32(rec, 12), packet.receivedCrc);
        EXPECT_EQ((Le16(rec, 4) & kPdFlagCrcGood) != 0, packet.crcOk);
        const uint16_t messageLength = Le16(rec, 28);
        EXPECT_EQ(messageLength, packet.messageByteCount);
        EXPECT_EQ(rec.size(), 52u + messageLength + Le16(rec, 30) + Le16(rec, 36));
        EXPECT_EQ(
            rec.substr(52, messageLength),
            std::string(packet.messageBytes.begin(), packet.messageBytes.begin() + messageLength));
    }
    EXPECT_TRUE(bothLines[0] && bothLines[1]);
}

TEST(PcapngExport, AllAddsTheBurstsWithoutMessageWithTheirReason) {
    TempDir dir;
    const std::string record = dir.File("noisy.zaz");
    ASSERT_TRUE(SimulateRecordFile(record, "noisy"));
    CKVDoc doc;
    ASSERT_TRUE(doc.OpenRecordFile(record));
    PcapngExportOptions all;
    all.allPackets = true;
    const WalkedFile everything = ExportAndWalk(doc, all, dir.File("all.pcapng"));
    const WalkedFile messages = ExportAndWalk(doc, {}, dir.File("messages.pcapng"));
    ASSERT_EQ(everything.problem, "");
    ASSERT_EQ(everything.packets.size(), doc.PacketCount());
    ASSERT_LT(messages.packets.size(), everything.packets.size());
    size_t withReason = 0;
    for (size_t i = 0; i < everything.packets.size(); ++i) {
        const std::string rec = RecordOf(everything.packets[i].data);
        const auto reason = static_cast<PdRecordReason>(rec[6]);
        EXPECT_EQ(reason == PdRecordReason::kMessage, IsMessage(*doc.PacketAt(i)));
        withReason += reason != PdRecordReason::kMessage ? 1 : 0;
    }
    EXPECT_EQ(withReason, everything.packets.size() - messages.packets.size());
}

TEST(PcapngExport, RangeKeepsThePacketsBetweenItsEndsInclusive) {
    TempDir dir;
    const std::string record = dir.File("PDCapture.zaz");
    ASSERT_TRUE(SimulateRecordFile(record));
    CKVDoc doc;
    ASSERT_TRUE(doc.OpenRecordFile(record));
    PcapngExportOptions options;
    options.rangeStart = doc.PacketAt(2)->relTime - doc.TimeOrigin();
    options.rangeEnd = doc.PacketAt(5)->relTime - doc.TimeOrigin();
    const WalkedFile file = ExportAndWalk(doc, options, dir.File("range.pcapng"));
    ASSERT_EQ(file.packets.size(), 4u);
    EXPECT_EQ(Le32(RecordOf(file.packets.front().data), 8), 2u);
    EXPECT_EQ(Le32(RecordOf(file.packets.back().data), 8), 5u);
}

TEST(PdPcapngRecord, ReasonsKeepTheBurstsWithoutMessageApart) {
    CCCPacket packet;
    EXPECT_EQ(PacketReason(packet), PdRecordReason::kNoPreamble);
    packet.preambleFound = true;
    EXPECT_EQ(PacketReason(packet), PdRecordReason::kNoOrderedSet);
    packet.orderedSetKind = kOsUnrecognised;
    EXPECT_EQ(PacketReason(packet), PdRecordReason::kUnknownOrderedSet);
    packet.orderedSetKind = kOsHardReset;
    EXPECT_EQ(PacketReason(packet), PdRecordReason::kMessage);
    packet.orderedSetKind = kOsSopPrime;
    EXPECT_EQ(PacketReason(packet), PdRecordReason::kNoEop);
    packet.eopFound = true;
    EXPECT_EQ(PacketReason(packet), PdRecordReason::kBadSymbols);
    packet.bytesAssembled = true;  // whatever the CRC says
    EXPECT_EQ(PacketReason(packet), PdRecordReason::kMessage);
}

TEST(PdPcapngRecord, RequestCarriesThePdoItSelectsAndTheDescription) {
    // Source_Capabilities: 5 V / 3 A, 9 V / 3 A, 15 V / 3 A fixed; the Request asks for #3.
    const PacketPtr caps =
        hand::Data(kDataSourceCapabilities, true, true, {0x0801912C, 0x0002D12C, 0x0004B12C});
    const PacketPtr request = hand::Data(kDataRequest, false, false, {0x3004B12C});
    request->sourceCapsRef = caps;
    request->vbusValid = true;
    request->vbusVoltage = 15000;
    request->vbusCurrent = -250;
    const ColumnContext context;
    const PdRecordExtras extras = PacketRecordExtras({request.get(), 7, 0}, context);
    ASSERT_TRUE(extras.requestedPdo.has_value());
    EXPECT_EQ(*extras.requestedPdo, 0x0004B12Cu);
    EXPECT_EQ(extras.description, ColumnText({request.get(), 7, 0}, kColumnDescription, context));
    EXPECT_NE(extras.description.find("Position=3<Fixed>"), std::string::npos);

    const std::string rec = RecordOf(BuildPdRecord(*request, extras));
    EXPECT_EQ(Le16(rec, 4) & (kPdFlagRequestedPdo | kPdFlagVbus | kPdFlagCrcGood),
              kPdFlagRequestedPdo | kPdFlagVbus | kPdFlagCrcGood);
    EXPECT_EQ(Le32(rec, 8), 7u);
    EXPECT_EQ(Le16(rec, 16), 15000);
    EXPECT_EQ(static_cast<int16_t>(Le16(rec, 18)), -250);
    EXPECT_EQ(Le32(rec, 32), 0x0004B12Cu);
    EXPECT_EQ(rec.substr(52 + 6), extras.description);

    // A position the Source_Capabilities does not have selects nothing.
    const PacketPtr beyond = hand::Data(kDataRequest, false, false, {0x4004B12C});
    beyond->sourceCapsRef = caps;
    EXPECT_FALSE(PacketRecordExtras({beyond.get(), 8, 0}, context).requestedPdo.has_value());
}

TEST(PdPcapngRecord, FirstChunkCarriesTheReassembledBlock) {
    const PacketPtr chunk = hand::Message(
        kOsSop, {.type = kExtEprSourceCapabilities, .objects = 7, .extended = true}, {});
    hand::SetMessageByte(*chunk, 2, 40);    // Data Size 40
    hand::SetMessageByte(*chunk, 3, 0x80);  // chunked, chunk 0
    chunk->messageByteCount = 30;
    hand::SetMessageByte(*chunk, 29, 0);
    chunk->chunkBuffer = hand::WholeBlock(std::vector<uint8_t>(40, 0x11));
    chunk->chunkTotalSize = 40;
    chunk->chunkOffset = 0;
    const std::string first = RecordOf(BuildPdRecord(*chunk, {}));
    EXPECT_EQ(Le16(first, 30), 40);
    EXPECT_EQ(first.substr(52 + 30, 40), std::string(40, '\x11'));
    chunk->chunkOffset = 26;  // a later chunk: its own bytes only
    EXPECT_EQ(Le16(RecordOf(BuildPdRecord(*chunk, {})), 30), 0);
}

TEST(PcapngOutput, NeverTheInputAndNothingReplacedUnlessComplete) {
    TempDir dir;
    const std::string record = dir.File("PDCapture.zaz");
    ASSERT_TRUE(SimulateRecordFile(record));
    const std::vector<uint8_t> recordBytes = ReadFile(record);
    CKVDoc doc;
    ASSERT_TRUE(doc.OpenRecordFile(record));

    // The record file itself, and the file the document was imported from.
    const auto resultOf = [](std::unique_ptr<ToolJob> job) {
        job->Wait();
        return job->Result();
    };
    EXPECT_EQ(resultOf(StartPcapngExport(doc, {}, record)), ToolResult::kCannotCreate);
    const std::string session = dir.File("session.sr");
    WriteFile(session, {1, 2, 3});
    EXPECT_EQ(resultOf(StartPcapngExport(doc, {}, session, session)), ToolResult::kCannotCreate);
    EXPECT_EQ(ReadFile(record), recordBytes);
    EXPECT_EQ(ReadFile(session), (std::vector<uint8_t>{1, 2, 3}));

    // An aborted export leaves an existing output as it was, and no temporary file.
    const std::string out = dir.File("out.pcapng");
    WriteFile(out, {9, 9});
    JobControl aborted;
    aborted.RequestAbort();
    EXPECT_EQ(WritePcapngExport(doc.Snapshot(), {}, out, aborted), ToolResult::kAborted);
    EXPECT_EQ(ReadFile(out), (std::vector<uint8_t>{9, 9}));

    // A stale temporary name is left alone; the export takes the next free one.
    WriteFile(out + ".part", {7});
    JobControl control;
    EXPECT_EQ(WritePcapngExport(doc.Snapshot(), {}, out, control), ToolResult::kSucceeded);
    EXPECT_EQ(Walk(Text(ReadFile(out))).problem, "");
    EXPECT_EQ(ReadFile(out + ".part"), (std::vector<uint8_t>{7}));
    std::filesystem::remove(out + ".part");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                            std::filesystem::directory_iterator()),
              3);  // the record file, the session and the output
}

TEST(PcapngOutput, SpecialFilesAndFoldersAreNotReplaced) {
    TempDir dir;
    const DocumentSnapshot capture = SnapshotOf({}, {hand::Control(kCtrlAccept, true, true)});
    const std::string fifo = dir.File("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    JobControl control;
    EXPECT_EQ(WritePcapngExport(capture, {}, fifo, control), ToolResult::kCannotCreate);
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
    const std::string folder = dir.File("folder");
    std::filesystem::create_directory(folder);
    EXPECT_EQ(WritePcapngExport(capture, {}, folder, control), ToolResult::kCannotCreate);
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_EQ(WritePcapngExport(capture, {}, dir.File("missing/out.pcapng"), control),
              ToolResult::kCannotCreate);
}
