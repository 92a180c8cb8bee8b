// The zoduz Python module: the Qt-free core of Zoduz for scripts and notebooks.
#include <pybind11/pybind11.h>

#include "capture/scratch_files.h"
#include "python/bindings.h"
#include "python/errors.h"

PYBIND11_MODULE(zoduz, module) {
    module.doc() =
        "Zoduz record files in Python: captures, packets, fields, samples and test data.";
    module.attr("__version__") = ZODUZ_VERSION;
    // A SIGTERM or SIGHUP left at its default still ends the interpreter, but removes the
    // temporary import of a session being opened and a record file being simulated first.
    // (The interpreter handles SIGINT itself, and ignores SIGXFSZ: a write past a file size
    // limit fails with WriteError.)
    RemoveScratchFilesOnSignals();
    RegisterErrors(module);
    BindPacket(module);
    BindCapture(module);
    BindSimulate(module);
}
