// CSV export lines: header titles, sample and packet rows, quoting, value texts, reverse current
// and the choice of list columns.
#include <gtest/gtest.h>

#include <string>

#include "pd/hand_packets.h"
#include "tools/csv_format.h"

namespace {

CVbusInfo Sample(uint16_t vbusMv, int16_t vbusMa, int16_t cc1Mv = 0, int16_t cc1Ma = 0,
                 int16_t cc2Mv = 0, int16_t cc2Ma = 0) {
    CVbusInfo s;
    s.vbusVoltage = vbusMv;
    s.vbusCurrent = vbusMa;
    s.cc1Voltage = cc1Mv;
    s.cc1Current = cc1Ma;
    s.cc2Voltage = cc2Mv;
    s.cc2Current = cc2Ma;
    return s;
}

// A good SOP GoodCRC with a VBUS snapshot.
PacketPtr SnapshotPacket(uint16_t vbusMv, int16_t vbusMa) {
    PacketPtr packet = hand::Message(kOsSop, {.type = 1});
    packet->vbusValid = true;
    packet->vbusVoltage = vbusMv;
    packet->vbusCurrent = vbusMa;
    packet->cc1Voltage = 1680;
    packet->cc1Current = 12;
    return packet;
}

// Packets here carry their VBUS snapshot; the context only passes the current direction.
ColumnContext ContextOf(const CsvExportOptions& options) {
    ColumnContext context;
    context.reverseCurrent = options.reverseCurrent;
    return context;
}

CsvExportOptions Options(ExportItems items) {
    CsvExportOptions options;
    options.items = items;
    return options;
}

}  // namespace

TEST(CsvHeader, VoltageCurrentWithAllOptionsIsTheEightTitles) {
    EXPECT_EQ(CsvHeaderLine(Options(ExportItems::kVoltageCurrent)),
              "\"Timestamp[us]\",\"VBUS Voltage[V]\",\"VBUS Current[A]\",\"VBUS Wattage[W]\","
              "\"CC1 Voltage[V]\",\"CC1 Current[A]\",\"CC2 Voltage[V]\",\"CC2 Current[A]\"\r\n");
}

TEST(CsvHeader, OptionsOffLeaveTheirTitlesOutAndColumnsFollowOnlyWithPackets) {
    CsvExportOptions options = Options(ExportItems::kVoltageCurrent);
    options.values = {false, true, false, false, false, false, true};
    options.columns = {kColumnPacketNumber, kColumnMessageType};
    EXPECT_EQ(CsvHeaderLine(options),
              "\"Timestamp[us]\",\"VBUS Current[A]\",\"CC2 Current[A]\"\r\n");
    options.items = ExportItems::kBoth;
    EXPECT_EQ(CsvHeaderLine(options),
              "\"Timestamp[us]\",\"VBUS Current[A]\",\"CC2 Current[A]\",\"#\",\"Type\"\r\n");
}

TEST(CsvRows, SampleRowOfTheIssueExample) {
    std::string line;
    AppendSampleRow(line, Sample(5000, 1000, 1680, -5, 300, 7), 1500,
                    Options(ExportItems::kVoltageCurrent));
    EXPECT_EQ(line,
              "\"1500\",\"5.00\",\"1.000\",\"5.000\",\"1.68\",\"-0.005\",\"0.30\",\"0.007\"\r\n");
}

TEST(CsvRows, NegativeTimesAndLargeTimesUseSignedDecimal) {
    CsvExportOptions options = Options(ExportItems::kVoltageCurrent);
    options.values.fill(false);
    std::string line;
    AppendSampleRow(line, Sample(0, 0), -250, options);
    AppendSampleRow(line, Sample(0, 0), 5000000000LL, options);
    EXPECT_EQ(line, "\"-250\"\r\n\"5000000000\"\r\n");
}

TEST(CsvRows, ReverseCurrentNegatesCurrentsAndWattageOfSamplesAndPackets) {
    CsvExportOptions options = Options(ExportItems::kBoth);
    options.reverseCurrent = true;
    std::string sampleLine;
    AppendSampleRow(sampleLine, Sample(20000, 3000, 1100, 250, 0, -40), 0, options);
    EXPECT_EQ(sampleLine,
              "\"0\",\"20.00\",\"-3.000\",\"-60.000\",\"1.10\",\"-0.250\",\"0.00\",\"0.040\"\r\n");
    std::string packetLine;
    const PacketPtr packet = SnapshotPacket(20000, 3000);
    AppendPacketRow(packetLine, {packet.get(), 7, 0}, 42, options, ContextOf(options));
    EXPECT_EQ(packetLine,
              "\"42\",\"20.00\",\"-3.000\",\"-60.000\",\"1.68\",\"-0.012\",\"0.00\",\"0.000\"\r\n");
}

TEST(CsvRows, PacketRowCarriesItsSnapshotValuesThenTheListColumns) {
    CsvExportOptions options = Options(ExportItems::kPdMessages);
    options.values = {true, false, true, false, false, false, false};
    options.columns = {kColumnPacketNumber, kColumnOrderedSet, kColumnMessageType};
    std::string line;
    const PacketPtr packet = SnapshotPacket(9000, 2000);
    AppendPacketRow(line, {packet.get(), 7, 0}, 1500, options, ContextOf(options));
    EXPECT_EQ(line, "\"1500\",\"9.00\",\"18.000\",\"7\",\"SOP\",\"GoodCRC\"\r\n");
}

TEST(CsvQuoting, QuotesInsideAFieldAreDoubled) {
    std::string line;
    AppendCsvField(line, "a \"b\", c", true);
    AppendCsvField(line, "");
    EXPECT_EQ(line, "\"a \"\"b\"\", c\",\"\"");
}

TEST(CsvQuoting, AsciiColumnHoldingAQuoteAndACommaStaysOneField) {
    // Header 0x2241 ('A' '"') and a data object spelling ",x!y".
    PacketPtr packet = hand::Raw(kOsSop, {0x41, 0x22, 0x2C, 0x78, 0x21, 0x79});
    CsvExportOptions options = Options(ExportItems::kPdMessages);
    options.values.fill(false);
    options.columns = {kColumnAsciiBytes};
    std::string line;
    AppendPacketRow(line, {packet.get(), 0, 0}, 0, options, ContextOf(options));
    EXPECT_EQ(line, "\"0\",\"A\"\",x!y\"\r\n");
}

TEST(ExportColumnChoice, DefaultLayoutVisibleColumnsInDisplayOrder) {
    EXPECT_EQ(ExportColumns(DefaultColumnLayout(), true),
              (std::vector<int>{0, 2, 6, 7, 8, 9, 10, 11, 12, 21}));
}

TEST(ExportColumnChoice, AllColumnsNeverIncludeTheValueColumns) {
    const std::vector<int> columns = ExportColumns(DefaultColumnLayout(), false);
    EXPECT_EQ(columns.size(), 31u);
    for (int excluded : {4, 5, 28, 29, 30, 31, 37}) {
        EXPECT_EQ(std::count(columns.begin(), columns.end(), excluded), 0) << excluded;
    }
    // Display order: position 27 holds "Ex Header" (16), after "Ex Data Size" (20) at 23.
    EXPECT_LT(std::find(columns.begin(), columns.end(), 20),
              std::find(columns.begin(), columns.end(), 16));
}

TEST(ExportColumnChoice, ShownWattageColumnIsStillLeftOut) {
    ColumnLayout layout = DefaultColumnLayout();
    layout[kColumnVbusWattage].shown = 1;
    layout[kColumnVbusVoltage].shown = 1;
    EXPECT_EQ(ExportColumns(layout, true), ExportColumns(DefaultColumnLayout(), true));
}

TEST(ExportColumnChoice, OnePositionHeldByTwoColumnsWritesTheLowestIdOnce) {
    ColumnLayout layout = DefaultColumnLayout();
    layout[kColumnDescription].order = 0;  // shares position 0 with "#"
    layout[kColumnPacketNumber].shown = 0;
    EXPECT_EQ(ExportColumns(layout, true), (std::vector<int>{21, 2, 6, 7, 8, 9, 10, 11, 12}));
    layout[kColumnPacketNumber].shown = 1;
    EXPECT_EQ(ExportColumns(layout, true), (std::vector<int>{0, 2, 6, 7, 8, 9, 10, 11, 12}));
}
