// The zoduz Python module: the Qt-free core of Zoduz for scripts and notebooks.
#include <pybind11/pybind11.h>

#include "python/bindings.h"
#include "python/errors.h"

PYBIND11_MODULE(zoduz, module) {
    module.doc() =
        "Zoduz record files in Python: captures, packets, fields, samples and test data.";
    module.attr("__version__") = ZODUZ_VERSION;
    RegisterErrors(module);
    BindPacket(module);
    BindCapture(module);
    BindSimulate(module);
}
