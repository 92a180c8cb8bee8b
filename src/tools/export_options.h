// What an export writes: its type, the CSV items, value options and list columns, and the range.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

enum class ExportType : int {
    kCsv = 0,
    kZaz = 1,
    kPcapng = 2,  // the PD messages of the range for Wireshark (tools/pcapng_export.h)
};

enum class ExportItems : int {
    kPdMessages = 0,
    kVoltageCurrent = 1,
    kBoth = 2,
};

// The seven value options, in the order of the CSV header.
enum ValueOption : int {
    kValueVbusVoltage,
    kValueVbusCurrent,
    kValueVbusWattage,
    kValueCc1Voltage,
    kValueCc1Current,
    kValueCc2Voltage,
    kValueCc2Current,
};
inline constexpr int kValueOptionCount = 7;
using ValueOptions = std::array<bool, kValueOptionCount>;
inline constexpr ValueOptions kAllValueOptions = {true, true, true, true, true, true, true};

inline constexpr bool IncludesSamples(ExportItems items) {
    return items != ExportItems::kPdMessages;
}
inline constexpr bool IncludesPackets(ExportItems items) {
    return items != ExportItems::kVoltageCurrent;
}

struct CsvExportOptions {
    ExportItems items = ExportItems::kPdMessages;
    ValueOptions values = kAllValueOptions;
    std::vector<int> columns;  // list column ids in display order (see ExportColumns)
    bool reverseCurrent = false;
    // Inclusive, microseconds relative to the document's time origin.
    int64_t rangeStart = 0;
    int64_t rangeEnd = 0;
};
