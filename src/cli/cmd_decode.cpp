// zoduz-cli decode FILE [--reverse-current] [--format tsv|json]: every packet of a record file
// with its 38 column texts, as tab-separated rows or as one JSON object per line.
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <string>

#include "capture/document.h"
#include "cli/commands.h"
#include "cli/open_document.h"
#include "pd/bmc_decoder.h"
#include "pd/columns/column_text.h"
#include "pd/message_header.h"
#include "pd/packet_column.h"
#include "pd/text_format.h"

namespace {

enum class DecodeFormat { kTsv, kJson };

struct DecodeOptions {
    std::string path;
    bool reverseCurrent = false;
    DecodeFormat format = DecodeFormat::kTsv;
};

bool ParseDecodeArgs(const CliArgs& args, DecodeOptions& options) {
    bool havePath = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--reverse-current") {
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
    return havePath;
}

// Idle time before every packet as the message list computes it when it shows every packet:
// from the end of the previous packet, on the time-origin scale.
void FillIdleTimes(const CKVDoc& doc) {
    int64_t previousEnd = 0;
    for (const PacketPtr& packet : doc.Packets()) {
        const int64_t start = packet->relTime - doc.TimeOrigin();
        packet->idleTime = start - previousEnd;
        previousEnd = start + PacketLengthUs(*packet);
    }
}

void AppendJsonString(std::string& out, const std::string& text) {
    out += '"';
    for (const char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    AppendFormat(out, "\\u%04x", static_cast<unsigned>(c));
                } else {
                    out += c;
                }
                break;
        }
    }
    out += '"';
}

void AppendTsvRow(std::string& out, const CCCPacket& packet, bool reverseCurrent) {
    for (int column = 0; column < kPacketColumnCount; ++column) {
        if (column != 0) {
            out += '\t';
        }
        out += ColumnText(packet, column, reverseCurrent);
    }
    out += '\n';
}

void AppendJsonRow(std::string& out, const CCCPacket& packet, bool reverseCurrent) {
    AppendFormat(out, "{\"packetNumber\":%d,\"relTime\":%" PRId64 ",\"ccLine\":%d",
                 packet.packetNumber, packet.relTime, packet.ccLine);
    AppendFormat(out, ",\"orderedSetKind\":%d,\"crcOk\":%s,\"bitCount\":%d,\"preambleLength\":%d",
                 packet.orderedSetKind, packet.crcOk ? "true" : "false", packet.bitCount,
                 packet.preambleLength);
    if (std::isfinite(packet.averageUnitInterval)) {
        AppendFormat(out, ",\"averageUnitInterval\":%.6g",
                     static_cast<double>(packet.averageUnitInterval));
    } else {
        out += ",\"averageUnitInterval\":null";
    }
    const bool message = IsSopKind(packet) && packet.messageByteCount >= 2;
    if (message) {
        AppendFormat(out, ",\"header\":%u", static_cast<unsigned>(MessageHeader(packet)));
    } else {
        out += ",\"header\":null";
    }
    out += ",\"dataObjects\":[";
    if (message && !IsExtended(packet)) {
        for (int i = 0; HasDataObject(packet, i); ++i) {
            AppendFormat(out, i == 0 ? "%u" : ",%u", static_cast<unsigned>(DataObject(packet, i)));
        }
    }
    out += "],\"messageBytes\":\"";
    const int count = std::min(std::max(packet.messageByteCount, 0),
                               static_cast<int32_t>(packet.messageBytes.size()));
    for (int i = 0; i < count; ++i) {
        AppendFormat(out, "%02X", packet.messageBytes[i]);
    }
    AppendFormat(out, "\",\"port\":%d,\"columns\":{", packet.port);
    for (int column = 0; column < kPacketColumnCount; ++column) {
        if (column != 0) {
            out += ',';
        }
        AppendJsonString(out, ColumnLongTitle(column));
        out += ':';
        AppendJsonString(out, ColumnText(packet, column, reverseCurrent));
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
                     "usage: zoduz-cli decode FILE [--reverse-current] [--format tsv|json]\n");
        return 2;
    }
    CKVDoc doc;
    if (!OpenDocumentForCli("decode", options.path, doc)) {
        return 1;
    }
    FillIdleTimes(doc);
    std::string out;
    bool ok = true;
    if (options.format == DecodeFormat::kTsv) {
        for (int column = 0; column < kPacketColumnCount; ++column) {
            out += column == 0 ? "" : "\t";
            out += ColumnShortTitle(column);
        }
        out += '\n';
    }
    for (const PacketPtr& packet : doc.Packets()) {
        if (options.format == DecodeFormat::kTsv) {
            AppendTsvRow(out, *packet, options.reverseCurrent);
        } else {
            AppendJsonRow(out, *packet, options.reverseCurrent);
        }
        if (out.size() >= (1u << 20)) {
            ok = Flush(out) && ok;
        }
    }
    ok = Flush(out) && ok;
    return std::fflush(stdout) == 0 && ok ? 0 : 1;
}
