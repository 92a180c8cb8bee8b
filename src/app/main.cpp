// zoduz: the desktop application of the USB Type-C power analyzer.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "app/kv_app.h"
#include "capture/scratch_files.h"

namespace {

// An off-screen render and the usage text need no display.
bool NeedsNoDisplay(const char* argument) {
    return std::strcmp(argument, "--screenshot") == 0 ||
           std::strncmp(argument, "--screenshot=", 13) == 0 ||
           std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0 ||
           std::strcmp(argument, "-?") == 0;
}

}  // namespace

int main(int argc, char** argv) {
    // The platform is chosen before Qt starts.
    for (int i = 1; i < argc; ++i) {
        if (NeedsNoDisplay(argv[i])) {
            setenv("QT_QPA_PLATFORM", "offscreen", 0);
        }
    }
    // Staged outputs and temporary imports go with the process; a file size limit fails the
    // write instead of ending the process.
    RemoveScratchFilesOnSignals();
    std::signal(SIGXFSZ, SIG_IGN);
    // Memory that runs out outside the event loop (a screenshot's decode and paint) ends the
    // run with one line and status 1.
    try {
        CKVApp app(argc, argv);
        return app.Run();
    } catch (const std::bad_alloc&) {
        std::fputs("zoduz: out of memory\n", stderr);
    }
    return 1;
}
