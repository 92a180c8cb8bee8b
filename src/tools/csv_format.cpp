#include "tools/csv_format.h"

#include <array>

#include "columns/column_text.h"
#include "columns/value_text.h"
#include "pd/text_format.h"

namespace {

constexpr std::array<const char*, kValueOptionCount> kValueTitles = {
    "VBUS Voltage[V]", "VBUS Current[A]", "VBUS Wattage[W]", "CC1 Voltage[V]",
    "CC1 Current[A]",  "CC2 Voltage[V]",  "CC2 Current[A]",
};

// The list column that shows each value option for a packet.
constexpr std::array<int, kValueOptionCount> kValueColumns = {
    kColumnVbusVoltage, kColumnVbusCurrent, kColumnVbusWattage, kColumnCc1Voltage,
    kColumnCc1Current,  kColumnCc2Voltage,  kColumnCc2Current,
};

bool IsValueColumn(int column) {
    for (int valueColumn : kValueColumns) {
        if (column == valueColumn) {
            return true;
        }
    }
    return false;
}

std::string SampleValueText(const CVbusInfo& sample, int option, bool r) {
    switch (option) {
        case kValueVbusVoltage:
            return VBusVoltageText(sample);
        case kValueVbusCurrent:
            return VBusCurrentText(sample, r);
        case kValueVbusWattage:
            return VBusWattageText(sample, r);
        case kValueCc1Voltage:
            return CcVoltageText(sample.cc1Voltage);
        case kValueCc1Current:
            return CcCurrentText(sample.cc1Current, r);
        case kValueCc2Voltage:
            return CcVoltageText(sample.cc2Voltage);
        default:
            return CcCurrentText(sample.cc2Current, r);
    }
}

void AppendTime(std::string& line, int64_t time) {
    AppendCsvField(line, FormatText("%lld", static_cast<long long>(time)), true);
}

}  // namespace

std::vector<int> ExportColumns(const ColumnLayout& layout, bool visibleOnly) {
    std::vector<int> columns;
    for (int position = 0; position < kPacketColumnCount; ++position) {
        for (int id = 0; id < kPacketColumnCount; ++id) {
            const ColumnInfo& info = layout[id];
            if (info.order == position && (info.shown != 0 || !visibleOnly) && !IsValueColumn(id)) {
                columns.push_back(id);
                break;
            }
        }
    }
    return columns;
}

void AppendCsvField(std::string& line, std::string_view text, bool first) {
    if (!first) {
        line += ',';
    }
    line += '"';
    for (char c : text) {
        if (c == '"') {
            line += '"';
        }
        line += c;
    }
    line += '"';
}

std::string CsvHeaderLine(const CsvExportOptions& options) {
    std::string line;
    AppendCsvField(line, "Timestamp[us]", true);
    for (int option = 0; option < kValueOptionCount; ++option) {
        if (options.values[option]) {
            AppendCsvField(line, kValueTitles[option]);
        }
    }
    if (IncludesPackets(options.items)) {
        for (int column : options.columns) {
            AppendCsvField(line, ColumnShortTitle(column));
        }
    }
    line += kCsvLineEnd;
    return line;
}

void AppendSampleRow(std::string& line, const CVbusInfo& sample, int64_t time,
                     const CsvExportOptions& options) {
    AppendTime(line, time);
    for (int option = 0; option < kValueOptionCount; ++option) {
        if (options.values[option]) {
            AppendCsvField(line, SampleValueText(sample, option, options.reverseCurrent));
        }
    }
    line += kCsvLineEnd;
}

void AppendPacketRow(std::string& line, const PacketRow& row, int64_t time,
                     const CsvExportOptions& options, const ColumnContext& context) {
    AppendTime(line, time);
    for (int option = 0; option < kValueOptionCount; ++option) {
        if (options.values[option]) {
            AppendCsvField(line, ColumnText(row, kValueColumns[option], context));
        }
    }
    for (int column : options.columns) {
        AppendCsvField(line, ColumnText(row, column, context));
    }
    line += kCsvLineEnd;
}
