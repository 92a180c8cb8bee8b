// zoduz-cli decode FILE [--reverse-current] [--format tsv|json] [--filter [CRITERIA]]: every
// packet of a record file (or every packet the display filter shows) with its 38 column texts,
// as tab-separated rows or as one JSON object per line.
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <numeric>
#include <string>
#include <vector>

#include "capture/document.h"
#include "cli/commands.h"
#include "cli/criteria_args.h"
#include "cli/open_document.h"
#include "columns/column_text.h"
#include "pd/packet_column.h"
#include "pd/text_format.h"
#include "query/packet_record.h"
#include "query/packet_search.h"

namespace {

enum class DecodeFormat { kTsv, kJson };

struct DecodeOptions {
    std::string path;
    bool reverseCurrent = false;
    DecodeFormat format = DecodeFormat::kTsv;
    std::optional<FindCriteria> filter;  // the display filter, when --filter is given
};

bool ParseDecodeArgs(const CliArgs& args, DecodeOptions& options) {
    bool havePath = false;
    FindCriteria criteria = FilterStartValues();
    bool criteriaGiven = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::string error;
        const CriteriaArg applied = ApplyCriteriaArg(args, i, criteria, error);
        if (applied == CriteriaArg::kError) {
            std::fprintf(stderr, "zoduz-cli decode: %s\n", error.c_str());
            return false;
        }
        if (applied == CriteriaArg::kApplied) {
            criteriaGiven = true;
        } else if (arg == "--filter") {
            options.filter = criteria;
        } else if (arg == "--reverse-current") {
            options.reverseCurrent = true;
        } else if (arg == "--format") {
            if (i + 1 >= args.size()) {
                return false;
            }
            const std::string& value = args[++i];
            if (value == "tsv") {
                options.format = DecodeFormat::kTsv;
            } else if (value == "json") {
                options.format = DecodeFormat::kJson;
            } else {
                return false;
            }
        } else if (!arg.empty() && arg[0] == '-') {
            return false;
        } else if (!havePath) {
            options.path = arg;
            havePath = true;
        } else {
            return false;
        }
    }
    if (criteriaGiven && !options.filter) {
        std::fprintf(stderr, "zoduz-cli decode: criteria options need --filter\n");
        return false;
    }
    if (options.filter) {
        options.filter = criteria;
    }
    return havePath;
}

void AppendTsvRow(std::string& out, const PacketRow& row, const ColumnContext& context) {
    for (int column = 0; column < kPacketColumnCount; ++column) {
        if (column != 0) {
            out += '\t';
        }
        out += ColumnText(row, column, context);
    }
    out += '\n';
}

void AppendJsonRow(std::string& out, const PacketRow& row, const ColumnContext& context) {
    const CCCPacket& packet = *row.packet;
    AppendFormat(out, "{\"packetNumber\":%d,\"relTime\":%" PRId64 ",\"ccLine\":%d", row.number,
                 packet.relTime, packet.ccLine);
    AppendFormat(out, ",\"orderedSetKind\":%d,\"crcOk\":%s,\"bitCount\":%d,\"preambleLength\":%d",
                 packet.orderedSetKind, packet.crcOk ? "true" : "false", packet.bitCount,
                 packet.preambleLength);
    if (std::isfinite(packet.averageUnitInterval)) {
        AppendFormat(out, ",\"averageUnitInterval\":%.6g",
                     static_cast<double>(packet.averageUnitInterval));
    } else {
        out += ",\"averageUnitInterval\":null";
    }
    if (const std::optional<uint16_t> header = PacketHeader(packet)) {
        AppendFormat(out, ",\"header\":%u", static_cast<unsigned>(*header));
    } else {
        out += ",\"header\":null";
    }
    out += ",\"dataObjects\":[";
    const char* separator = "";
    for (const uint32_t object : PacketDataObjects(packet)) {
        AppendFormat(out, "%s%u", separator, static_cast<unsigned>(object));
        separator = ",";
    }
    out += "],\"messageBytes\":\"";
    for (const uint8_t byte : PacketMessageBytes(packet)) {
        AppendFormat(out, "%02X", byte);
    }
    AppendFormat(out, "\",\"port\":%d", packet.port);
    if (packet.recovered) {
        out += ",\"recovered\":true";  // only then: strict output keeps its exact form
    }
    out += ",\"columns\":{";
    for (int column = 0; column < kPacketColumnCount; ++column) {
        if (column != 0) {
            out += ',';
        }
        AppendJsonString(out, ColumnLongTitle(column));
        out += ':';
        AppendJsonString(out, ColumnText(row, column, context));
    }
    out += "}}\n";
}

bool Flush(std::string& out) {
    const bool ok = std::fwrite(out.data(), 1, out.size(), stdout) == out.size();
    out.clear();
    return ok;
}

}  // namespace

int RunDecode(const CliArgs& args) {
    DecodeOptions options;
    if (!ParseDecodeArgs(args, options)) {
        std::fprintf(stderr,
                     "usage: zoduz-cli decode FILE [--reverse-current] [--format tsv|json] "
                     "[--filter %s]\n",
                     kCriteriaUsage);
        return 2;
    }
    if (CliParseOnly()) {
        return 0;
    }
    CaptureRows rows;
    if (!OpenRowsForCli("decode", options.path, options.reverseCurrent, rows)) {
        return 1;
    }
    std::string out;
    bool ok = true;
    if (options.format == DecodeFormat::kTsv) {
        for (int column = 0; column < kPacketColumnCount; ++column) {
            out += column == 0 ? "" : "\t";
            out += ColumnShortTitle(column);
        }
        out += '\n';
    }
    const std::vector<PacketPtr>& packets = rows.doc.Packets();
    std::vector<size_t> shown;
    if (options.filter) {
        shown = FilteredRows(*options.filter, rows);
    } else {
        shown.resize(packets.size());
        std::iota(shown.begin(), shown.end(), size_t{0});
    }
    for (const size_t i : shown) {
        if (options.format == DecodeFormat::kTsv) {
            AppendTsvRow(out, rows.Row(i), rows.context);
        } else {
            AppendJsonRow(out, rows.Row(i), rows.context);
        }
        if (out.size() >= (1u << 20)) {
            ok = Flush(out) && ok;
        }
    }
    ok = Flush(out) && ok;
    return std::fflush(stdout) == 0 && ok ? 0 : 1;
}
