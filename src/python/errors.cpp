#include "python/errors.h"

#include <array>

namespace py = pybind11;

namespace {

struct ErrorClass {
    const char* name;
    PyObject* builtin;  // the second base class, or null for zoduz.Error alone
};

constexpr size_t kKinds = 7;

// The exception classes by ErrorKind, made when the module is imported.
std::array<PyObject*, kKinds> errorTypes{};

}  // namespace

void RegisterErrors(py::module_& module) {
    PyObject* base = PyErr_NewExceptionWithDoc(
        "zoduz.Error", "Every error of the zoduz module. The message is zoduz-cli's.",
        PyExc_Exception, nullptr);
    if (base == nullptr) {
        throw py::error_already_set();
    }
    module.add_object("Error", py::handle(base));  // keeps a reference
    const std::array<ErrorClass, kKinds> classes = {{
        {"MissingFileError", PyExc_FileNotFoundError},
        {"UnreadableFileError", PyExc_OSError},
        {"DamagedFileError", nullptr},
        {"OutOfMemoryError", PyExc_MemoryError},
        {"NoPacketError", PyExc_IndexError},
        {"ArgumentError", PyExc_ValueError},
        {"WriteError", PyExc_OSError},
    }};
    for (size_t i = 0; i < kKinds; ++i) {
        py::tuple bases = classes[i].builtin != nullptr
                              ? py::make_tuple(py::handle(base), py::handle(classes[i].builtin))
                              : py::make_tuple(py::handle(base));
        const std::string qualified = std::string("zoduz.") + classes[i].name;
        PyObject* type = PyErr_NewException(qualified.c_str(), bases.ptr(), nullptr);
        if (type == nullptr) {
            throw py::error_already_set();
        }
        module.add_object(classes[i].name, py::handle(type));
        errorTypes[i] = type;  // the module holds it for the life of the process
    }
}

void Raise(ErrorKind kind, const std::string& message) {
    PyErr_SetString(errorTypes[static_cast<size_t>(kind)], message.c_str());
    throw py::error_already_set();
}

void RaiseOpenFailure(const OpenOutcome& outcome) {
    switch (outcome.kind) {
        case OpenOutcome::kMissing:
            Raise(ErrorKind::kMissingFile, outcome.message);
        case OpenOutcome::kDamaged:
            Raise(ErrorKind::kDamagedFile, outcome.message);
        case OpenOutcome::kOutOfMemory:
            Raise(ErrorKind::kOutOfMemory, outcome.message);
        default:
            Raise(ErrorKind::kUnreadableFile, outcome.message);
    }
}
