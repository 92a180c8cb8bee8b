// Runs zoduz-cli with arguments and collects its exit status, stdout lines and stderr.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "capture/temp_files.h"

struct CliRun {
    int status = -1;
    std::vector<std::string> out;
    std::string err;
};

inline std::vector<std::string> LinesOf(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

inline std::vector<std::string> Split(const std::string& line) {
    std::vector<std::string> fields;
    std::stringstream stream(line);
    for (std::string field; std::getline(stream, field, '\t');) {
        fields.push_back(field);
    }
    if (!line.empty() && line.back() == '\t') {
        fields.emplace_back();
    }
    return fields;
}

// `arguments` follow the program name as a shell would split them; the output files live in
// `dir`.
inline CliRun RunCli(const std::string& arguments, const TempDir& dir) {
    const std::string out = dir.File("stdout.txt");
    const std::string err = dir.File("stderr.txt");
    const std::string command =
        std::string(ZODUZ_CLI_PATH) + " " + arguments + " >" + out + " 2>" + err;
    CliRun run;
    int raw = std::system(command.c_str());
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = LinesOf(out);
    for (const std::string& line : LinesOf(err)) {
        run.err += line + "\n";
    }
    return run;
}
