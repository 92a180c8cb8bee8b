// zoduz-cli with too little memory for a large capture: every command that reads it
// ends with status 1 and one "out of memory" line, never with an abort, and prints what it had.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "capture/temp_files.h"
#include "device/sim/simulator.h"
#include "tools/child_run.h"

namespace {

// A simulated capture of `seconds` seconds: 21 kB a second, mostly VBUS samples.
void WriteCapture(const std::string& path, double seconds) {
    SimulationOptions options;
    options.scenario = "spr";
    options.seconds = seconds;
    std::string error;
    ASSERT_TRUE(SimulateToFile(options, path, error)) << error;
}

bool UnderSanitizer() {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    return true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
    return true;
#endif
#endif
    return false;
}

TEST(CliMemory, EveryReaderOfAHugeFileEndsWithStatusOneWhenMemoryRunsOut) {
    if (UnderSanitizer()) {
        GTEST_SKIP() << "an address space limit and the sanitizers' shadow memory do not mix";
    }
    TempDir dir;
    WriteCapture(dir.File("small.zaz"), 10);
    WriteCapture(dir.File("big.zaz"), 2400);
    // The smallest address space in which the small file decodes, in steps of 8 MB, then
    // 16 MB more: far too little for the 70 MB of samples of a 50 MB capture. Coarser steps
    // left so much room over a lean build's needs that the big file fitted.
    long limit = 16L << 20;
    while (limit < (4096L << 20) &&
           RunProgram(Cli({"decode", dir.File("small.zaz")}), {-1, 0, 0, limit}) != 0) {
        limit += 8L << 20;
    }
    limit += 16L << 20;
    const std::vector<std::vector<std::string>> commands = {
        {"decode", "IN"},
        {"find", "IN", "--text", "x"},
        {"measure", "IN", "--from", "0", "--to", "1000000000"},
        {"export", "IN", "-o", dir.File("out.csv")},
        {"export", "IN", "--type", "zaz", "-o", dir.File("out.zaz")},
        {"export-pcapng", "IN", "-o", dir.File("out.pcapng")},
        {"check", "IN"},
        {"contracts", "IN"},
        {"info", "IN"},
        {"tree", "IN", "0"},
        {"fields", "IN", "0"},
    };
    for (std::vector<std::string> command : commands) {
        std::replace(command.begin(), command.end(), std::string("IN"), dir.File("big.zaz"));
        const int status = RunProgram(Cli(command), {-1, 0, 0, limit, dir.File("stderr.txt")});
        const std::string errors = ReadText(dir.File("stderr.txt"));
        EXPECT_EQ(status, 1) << command[0] << ": " << errors;
        EXPECT_NE(errors.find("out of memory"), std::string::npos) << command[0] << ": " << errors;
    }
    // An output is whole (the part decoded) or missing; no staged file stays behind.
    for (const std::string& name : Names(dir.Path())) {
        EXPECT_NE(name.rfind(".zoduz-", 0), 0u) << name;
    }
}

}  // namespace
