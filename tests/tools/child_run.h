// Runs zoduz-cli or zoduz as a child process with limits (file size, address space, CPU time) or a
// signal after a delay, for the tests of hostile conditions.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

struct ChildLimits {
    long fileBytes = -1;  // RLIMIT_FSIZE
    int signal = 0;       // sent after delayMs
    int delayMs = 0;
    long addressBytes = -1;  // RLIMIT_AS
    std::string stderrPath;  // where stderr goes ("": /dev/null)
    long cpuSeconds = -1;    // RLIMIT_CPU: past it the child ends by SIGXCPU
};

// Runs a program with arguments, stdout and stderr to /dev/null; its exit status, or 128 + the
// signal that ended it.
inline int RunProgram(const std::vector<std::string>& arguments, ChildLimits limits = {}) {
    const pid_t child = fork();
    if (child == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(limits.stderrPath.empty()
                 ? null
                 : open(limits.stderrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644),
             2);
        if (limits.addressBytes >= 0) {
            const rlimit limit{static_cast<rlim_t>(limits.addressBytes),
                               static_cast<rlim_t>(limits.addressBytes)};
            setrlimit(RLIMIT_AS, &limit);
        }
        if (limits.cpuSeconds >= 0) {
            const rlimit limit{static_cast<rlim_t>(limits.cpuSeconds),
                               static_cast<rlim_t>(limits.cpuSeconds)};
            setrlimit(RLIMIT_CPU, &limit);
        }
        if (limits.fileBytes >= 0) {
            const rlimit limit{static_cast<rlim_t>(limits.fileBytes),
                               static_cast<rlim_t>(limits.fileBytes)};
            setrlimit(RLIMIT_FSIZE, &limit);
        }
        std::vector<char*> argv;
        for (const std::string& argument : arguments) {
            argv.push_back(const_cast<char*>(argument.c_str()));
        }
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    if (limits.signal != 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(limits.delayMs));
        kill(child, limits.signal);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

inline std::vector<std::string> Cli(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), ZODUZ_CLI_PATH);
    return arguments;
}

inline std::vector<std::string> Names(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// A whole text file ("" when it cannot be read): a child's stderr.
inline std::string ReadText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}
