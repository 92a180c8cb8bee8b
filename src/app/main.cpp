// zoduz: the desktop application of the USB Type-C power analyzer.
#include <cstdlib>
#include <cstring>

#include "app/kv_app.h"

int main(int argc, char** argv) {
    // An off-screen render needs no display: choose the platform before Qt starts.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--screenshot") == 0 ||
            std::strncmp(argv[i], "--screenshot=", 13) == 0) {
            setenv("QT_QPA_PLATFORM", "offscreen", 0);
        }
    }
    CKVApp app(argc, argv);
    return app.Run();
}
