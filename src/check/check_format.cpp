#include "check/check_format.h"

#include <cinttypes>

#include "check/check_units.h"
#include "pd/text_format.h"

namespace {

// A number as printed: up to three decimals, trailing zeros dropped.
std::string NumberText(double value) {
    std::string text = QuantityText({value, ""});
    text.pop_back();  // the space before the empty unit
    return text;
}

std::string PacketList(const std::vector<int64_t>& packets) {
    std::string out;
    for (size_t i = 0; i < packets.size(); ++i) {
        AppendFormat(out, i == 0 ? "%" PRId64 : ",%" PRId64, packets[i]);
    }
    return out;
}

void AppendJsonQuantity(std::string& out, const char* name,
                        const std::optional<Quantity>& quantity) {
    AppendFormat(out, ",\"%s\":", name);
    if (!quantity) {
        out += "null";
        return;
    }
    out += "{\"value\":" + NumberText(quantity->value) + ",\"unit\":";
    AppendJsonString(out, quantity->unit);
    out += '}';
}

template <typename T>
std::string OptionalText(const std::optional<T>& value) {
    return value ? std::to_string(*value) : std::string();
}

template <typename T>
std::string OptionalJson(const std::optional<T>& value) {
    return value ? std::to_string(*value) : std::string("null");
}

std::string PdoList(const std::vector<uint32_t>& pdos) {
    std::string out;
    for (size_t i = 0; i < pdos.size(); ++i) {
        AppendFormat(out, i == 0 ? "%08X" : ",%08X", pdos[i]);
    }
    return out;
}

std::string JoinEvents(const std::vector<std::string>& events) {
    std::string out;
    for (size_t i = 0; i < events.size(); ++i) {
        out += (i == 0 ? "" : ", ") + events[i];
    }
    return out;
}

}  // namespace

std::string FindingTsv(const Finding& finding, int64_t timeOrigin) {
    std::string out;
    AppendFormat(out, "%" PRId64 "\t%s\t%s\t", finding.time - timeOrigin,
                 SeverityName(finding.severity), finding.rule.c_str());
    out += PacketList(finding.packets) + '\t';
    out += (finding.measured ? QuantityText(*finding.measured) : std::string()) + '\t';
    out += (finding.limit ? QuantityText(*finding.limit) : std::string()) + '\t';
    out += finding.text + '\n';
    return out;
}

std::string FindingJson(const Finding& finding, int64_t timeOrigin) {
    std::string out = "{\"rule\":";
    AppendJsonString(out, finding.rule);
    out += ",\"severity\":";
    AppendJsonString(out, SeverityName(finding.severity));
    out += ",\"packets\":[" + PacketList(finding.packets) + "]";
    AppendFormat(out, ",\"time\":%" PRId64, finding.time - timeOrigin);
    AppendJsonQuantity(out, "measured", finding.measured);
    AppendJsonQuantity(out, "limit", finding.limit);
    out += ",\"text\":";
    AppendJsonString(out, finding.text);
    out += "}\n";
    return out;
}

std::string ContractTsv(const Contract& c, int64_t timeOrigin) {
    std::string out;
    AppendFormat(out, "%" PRId64 "\t%s\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%s\t", c.time - timeOrigin,
                 c.pdoType.c_str(), c.position, c.voltage, c.minVoltage, c.maxVoltage, c.current,
                 c.maxCurrent, c.power, c.epr ? 1 : 0, PdoList(c.offered).c_str());
    AppendFormat(out, "%" PRId64 "\t%" PRId64 "\t%" PRId64 "\t%" PRId64 "\t", c.capsPacket,
                 c.requestPacket, c.acceptPacket, c.psRdyPacket);
    out += OptionalText(c.acceptLatency) + '\t' + OptionalText(c.psRdyLatency) + '\t' +
           OptionalText(c.transitionStart) + '\t' + OptionalText(c.settleTime) + '\t' +
           OptionalText(c.overshoot) + '\t' + OptionalText(c.finalVoltage) + '\t';
    AppendFormat(out, "%s\t%" PRId64 "\t", ContractEndName(c.end), c.endTime - timeOrigin);
    out += JoinEvents(c.events) + '\n';
    return out;
}

std::string ContractJson(const Contract& c, int64_t timeOrigin) {
    std::string out;
    AppendFormat(out, "{\"time\":%" PRId64 ",\"type\":", c.time - timeOrigin);
    AppendJsonString(out, c.pdoType);
    AppendFormat(out,
                 ",\"position\":%d,\"voltage\":%d,\"min_voltage\":%d,\"max_voltage\":%d,"
                 "\"current\":%d,\"max_current\":%d,\"power\":%d,\"epr\":%s,\"offered\":[",
                 c.position, c.voltage, c.minVoltage, c.maxVoltage, c.current, c.maxCurrent,
                 c.power, c.epr ? "true" : "false");
    for (size_t i = 0; i < c.offered.size(); ++i) {
        AppendFormat(out, i == 0 ? "%u" : ",%u", static_cast<unsigned>(c.offered[i]));
    }
    AppendFormat(out,
                 "],\"caps_packet\":%" PRId64 ",\"request_packet\":%" PRId64
                 ",\"accept_packet\":%" PRId64 ",\"ps_rdy_packet\":%" PRId64,
                 c.capsPacket, c.requestPacket, c.acceptPacket, c.psRdyPacket);
    out += ",\"accept_latency\":" + OptionalJson(c.acceptLatency) +
           ",\"ps_rdy_latency\":" + OptionalJson(c.psRdyLatency) +
           ",\"transition_start\":" + OptionalJson(c.transitionStart) +
           ",\"settle_time\":" + OptionalJson(c.settleTime) +
           ",\"overshoot\":" + OptionalJson(c.overshoot) +
           ",\"final_voltage\":" + OptionalJson(c.finalVoltage) + ",\"end\":";
    AppendJsonString(out, ContractEndName(c.end));
    AppendFormat(out, ",\"end_time\":%" PRId64 ",\"events\":[", c.endTime - timeOrigin);
    for (size_t i = 0; i < c.events.size(); ++i) {
        if (i != 0) {
            out += ',';
        }
        AppendJsonString(out, c.events[i]);
    }
    out += "]}\n";
    return out;
}
