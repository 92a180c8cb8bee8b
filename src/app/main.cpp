// zoduz: the desktop application of the USB Type-C power analyzer.
#include <cstdlib>
#include <cstring>

#include "app/kv_app.h"

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
    CKVApp app(argc, argv);
    return app.Run();
}
