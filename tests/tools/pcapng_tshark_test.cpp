// Every capture of the reference corpus exported with zoduz-cli export-pcapng and read back by
// Debian's tshark through packaging/wireshark/zoduz_pd.lua: packet by packet, the time since the
// first packet, the message type and the MessageID agree with zoduz-cli decode; the display
// filters on the type and on PDO voltages select the packets an independent reading of the
// decode output expects; capinfos reads the file. Skipped where tshark is not installed.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "capture/temp_files.h"

namespace {

struct RunResult {
    int status = -1;
    std::string out;
};

// Runs a shell command; stdout is returned, stderr goes to the test's log.
RunResult RunShell(const std::string& command) {
    RunResult result;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return result;
    }
    char buffer[4096];
    size_t got = 0;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        result.out.append(buffer, got);
    }
    result.status = pclose(pipe);
    return result;
}

std::string Quote(const std::string& text) {
    return "'" + text + "'";
}

bool HaveTool(const char* name) {
    return RunShell(std::string("command -v ") + name + " >/dev/null 2>&1").status == 0;
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator)) {
        parts.push_back(part);
    }
    return parts;
}

std::vector<std::vector<std::string>> Rows(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    for (const std::string& line : Split(text, '\n')) {
        std::vector<std::string> fields = Split(line, '\t');
        if (!line.empty() && line.back() == '\t') {
            fields.emplace_back();  // getline drops an empty last field
        }
        rows.push_back(fields);
    }
    return rows;
}

// The list's time text ("  0s 284ms 297us", " 1h  2min  3s 004ms 005us", "- 0s   1ms 500us")
// back to microseconds.
int64_t ListTimeUs(const std::string& text) {
    int64_t total = 0;
    std::istringstream in(text.substr(1));
    std::string token;
    while (in >> token) {
        const size_t unit = token.find_first_not_of("0123456789");
        const int64_t value = std::stoll(token.substr(0, unit));
        const std::string name = token.substr(unit);
        const int64_t scale = name == "h"     ? 3600000000
                              : name == "min" ? 60000000
                              : name == "s"   ? 1000000
                              : name == "ms"  ? 1000
                                              : 1;
        total += value * scale;
    }
    return text[0] == '-' ? -total : total;
}

// tshark's frame.time_relative ("0.284297000", seconds with nine decimals) in microseconds.
int64_t RelativeTimeUs(const std::string& text) {
    const size_t dot = text.find('.');
    const int64_t seconds = std::stoll(text.substr(0, dot));
    const std::string fraction = (text.substr(dot + 1) + "000000000").substr(0, 9);
    return seconds * 1000000 + std::stoll(fraction) / 1000;
}

// A string value of `key` in a JSON line ("" when absent); escapes are kept as written.
std::string JsonString(const std::string& line, const std::string& key) {
    const std::string start = "\"" + key + "\":\"";
    size_t at = line.find(start);
    if (at == std::string::npos) {
        return {};
    }
    at += start.size();
    std::string value;
    while (at < line.size() && line[at] != '"') {
        if (line[at] == '\\' && at + 1 < line.size()) {
            value += line[at++];
        }
        value += line[at++];
    }
    return value;
}

std::vector<uint32_t> JsonDataObjects(const std::string& line) {
    std::vector<uint32_t> objects;
    const size_t at = line.find("\"dataObjects\":[");
    if (at == std::string::npos) {
        return objects;
    }
    const size_t end = line.find(']', at);
    for (const std::string& item : Split(line.substr(at + 15, end - at - 15), ',')) {
        if (!item.empty()) {
            objects.push_back(static_cast<uint32_t>(std::stoul(item)));
        }
    }
    return objects;
}

// A Fixed PDO of at least 15 V, read from the USB PD layout: type bits 30-31 = 0, voltage in
// bits 10-19 in 50 mV units.
bool Fixed15V(uint32_t pdo) {
    return (pdo >> 30) == 0 && ((pdo >> 10) & 0x3FF) * 50 >= 15000;
}

// The short EPR capability text lists Fixed PDOs as "<Fix>28.00V/5.00A".
bool DescribesFixed15V(const std::string& description) {
    for (size_t at = description.find("<Fix>"); at != std::string::npos;
         at = description.find("<Fix>", at + 1)) {
        if (std::stod(description.substr(at + 5)) >= 15.0) {
            return true;
        }
    }
    return false;
}

// Packet numbers whose PDOs (capabilities, the EPR_Request's PDO copy, the EPR capabilities)
// include a Fixed PDO of at least 15 V, from zoduz-cli decode --format json.
std::set<std::string> ExpectedHighVoltagePackets(const std::string& json) {
    std::set<std::string> numbers;
    for (const std::string& line : Split(json, '\n')) {
        if (line.find("\"crcOk\":true") == std::string::npos) {
            continue;
        }
        const std::string type = JsonString(line, "Message Type");
        const std::vector<uint32_t> objects = JsonDataObjects(line);
        bool selected = false;
        if (type == "Source_Capabilities" || type == "Sink_Capabilities") {
            for (uint32_t pdo : objects) {
                selected = selected || Fixed15V(pdo);
            }
        } else if (type == "EPR_Request") {
            selected = objects.size() >= 2 && Fixed15V(objects[1]);
        } else if (type == "EPR_Source_Capabilities" || type == "EPR_Sink_Capabilities") {
            selected = DescribesFixed15V(JsonString(line, "Description"));
        }
        if (selected) {
            numbers.insert(JsonString(line, "Packet Number"));
        }
    }
    return numbers;
}

struct Capture {
    std::string name;
    bool tolerant = false;
};

// gtest names the parameter with this in test lists.
void PrintTo(const Capture& capture, std::ostream* out) {
    *out << capture.name << (capture.tolerant ? " --tolerant" : "");
}

// Every capture of the reference manifest (its lines that start with a name), and the noisy
// capture once more through the tolerant decoder.
std::vector<Capture> ReferenceCaptures() {
    std::vector<Capture> captures;
    std::ifstream manifest(std::string(ZODUZ_REFERENCE_DIR) + "/manifest");
    std::string line;
    while (std::getline(manifest, line)) {
        if (!line.empty() && line[0] >= 'a' && line[0] <= 'z') {
            captures.push_back({line.substr(0, line.find_first_of(" \t")), false});
        }
    }
    captures.push_back({"noisy", true});
    return captures;
}

class PcapngTshark : public testing::TestWithParam<Capture> {
  protected:
    void SetUp() override {
        if (!HaveTool("tshark") || !HaveTool("capinfos")) {
            GTEST_SKIP() << "tshark and capinfos are not installed (Debian package tshark)";
        }
        input_ = std::string(ZODUZ_REFERENCE_DIR) + "/" + GetParam().name + ".zaz";
        tolerant_ = GetParam().tolerant ? " --tolerant" : "";
    }

    std::string Cli(const std::string& arguments) {
        const RunResult result = RunShell(Quote(ZODUZ_CLI_PATH) + " " + arguments + tolerant_);
        EXPECT_EQ(result.status, 0) << arguments;
        return result.out;
    }

    // tshark on the file with the dissector, printing the fields tab-separated. A private
    // home keeps personal Wireshark settings and plugins out of the result.
    std::string Tshark(const std::string& file, const std::string& arguments) {
        const RunResult result = RunShell("HOME=" + Quote(dir_.Path().string()) +
                                          " tshark -X lua_script:" + Quote(ZODUZ_PD_LUA) + " -r " +
                                          Quote(file) + " " + arguments);
        EXPECT_EQ(result.status, 0) << arguments;
        return result.out;
    }

    std::string Export(const std::string& name, const std::string& options) {
        const std::string out = dir_.File(name);
        Cli("export-pcapng " + Quote(input_) + " -o " + Quote(out) + options);
        return out;
    }

    TempDir dir_;
    std::string input_;
    std::string tolerant_;
};

TEST_P(PcapngTshark, TimesTypesAndMessageIdsAgreeWithDecode) {
    const auto decode = Rows(Cli("decode " + Quote(input_)));
    ASSERT_GE(decode.size(), 1u);
    const std::vector<std::vector<std::string>> packets(decode.begin() + 1, decode.end());

    // --all: every packet, in the order decode prints them.
    const std::string all = Export("all.pcapng", " --all");
    const auto rows = Rows(Tshark(all,
                                  "-T fields -e frame.time_relative -e zoduz_pd.type "
                                  "-e zoduz_pd.msgid"));
    ASSERT_EQ(rows.size(), packets.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE("packet " + packets[i][0]);
        ASSERT_EQ(rows[i].size(), 3u);
        EXPECT_EQ(RelativeTimeUs(rows[i][0]),
                  ListTimeUs(packets[i][2]) - ListTimeUs(packets[0][2]));
        EXPECT_EQ(rows[i][1], packets[i][11]);
        EXPECT_EQ(rows[i][2], packets[i][12]);
    }

    // By default only the messages (and resets); the packet number leads back to decode's row.
    const std::string messages = Export("messages.pcapng", "");
    const auto chosen = Rows(Tshark(messages,
                                    "-T fields -e zoduz_pd.number -e zoduz_pd.type "
                                    "-e zoduz_pd.msgid -e zoduz_pd.reason"));
    size_t withType = 0;
    for (const auto& packet : packets) {
        withType += packet[11].empty() ? 0 : 1;
    }
    ASSERT_GE(chosen.size(), withType);
    for (const auto& row : chosen) {
        ASSERT_EQ(row.size(), 4u);
        const auto& packet = packets.at(std::stoul(row[0]));
        EXPECT_EQ(row[1], packet[11]);
        EXPECT_EQ(row[2], packet[12]);
        EXPECT_EQ(row[3], "0");  // a message
    }

    const RunResult info = RunShell("capinfos -c " + Quote(messages));
    EXPECT_EQ(info.status, 0);
    EXPECT_NE(info.out.find("Number of packets:   " + std::to_string(chosen.size())),
              std::string::npos)
        << info.out;
}

TEST_P(PcapngTshark, DisplayFiltersSelectTheExpectedPackets) {
    const auto decode = Rows(Cli("decode " + Quote(input_)));
    std::set<std::string> requests;
    for (size_t i = 1; i < decode.size(); ++i) {
        if (decode[i][11] == "Request") {
            requests.insert(decode[i][0]);
        }
    }
    const std::set<std::string> highVoltage =
        ExpectedHighVoltagePackets(Cli("decode --format json " + Quote(input_)));

    const std::string file = Export("out.pcapng", "");
    const auto selected = [&](const std::string& filter) {
        std::set<std::string> numbers;
        for (const auto& row :
             Rows(Tshark(file, "-Y " + Quote(filter) + " -T fields -e zoduz_pd.number"))) {
            numbers.insert(row.at(0));
        }
        return numbers;
    };
    EXPECT_EQ(selected("zoduz_pd.type == \"Request\""), requests);
    EXPECT_EQ(selected("zoduz_pd.pdo.voltage >= 15000"), highVoltage);
}

INSTANTIATE_TEST_SUITE_P(Reference, PcapngTshark, testing::ValuesIn(ReferenceCaptures()),
                         [](const testing::TestParamInfo<Capture>& param) {
                             return param.param.name + (param.param.tolerant ? "_tolerant" : "");
                         });

}  // namespace
