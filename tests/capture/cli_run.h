// Runs the zoduz-cli the test target names in ZODUZ_CLI_PATH and collects its standard output.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <vector>

struct CliResult {
    int status = -1;
    std::vector<std::string> lines;  // standard output, one entry per line
};

// zoduz-cli with the arguments (a shell command line); its standard error is discarded.
inline CliResult RunCli(const std::string& arguments) {
    const std::string command = std::string(ZODUZ_CLI_PATH) + " " + arguments + " 2>/dev/null";
    CliResult result;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return result;
    }
    std::string text;
    char buffer[4096];
    while (size_t got = std::fread(buffer, 1, sizeof buffer, pipe)) {
        text.append(buffer, got);
    }
    const int raw = pclose(pipe);
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        result.lines.push_back(text.substr(start, end - start));
        start = end == std::string::npos ? text.size() : end + 1;
    }
    return result;
}
