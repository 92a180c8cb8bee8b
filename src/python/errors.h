// The exceptions of the zoduz module: zoduz.Error and one subclass per cause, each also a
// subclass of the built-in exception a Python caller would catch for it.
#pragma once

#include <string>

#include <pybind11/pybind11.h>

#include "query/open_capture.h"

enum class ErrorKind {
    kMissingFile,     // MissingFileError(Error, FileNotFoundError)
    kUnreadableFile,  // UnreadableFileError(Error, OSError)
    kDamagedFile,     // DamagedFileError(Error)
    kOutOfMemory,     // OutOfMemoryError(Error, MemoryError)
    kNoPacket,        // NoPacketError(Error, IndexError)
    kArgument,        // ArgumentError(Error, ValueError)
    kWriteFailed,     // WriteError(Error, OSError)
};

// Creates zoduz.Error and its subclasses in the module.
void RegisterErrors(pybind11::module_& module);

// Raises the exception of the kind with the message.
[[noreturn]] void Raise(ErrorKind kind, const std::string& message);

// Raises the exception for a failed open: the message is the one zoduz-cli prints.
[[noreturn]] void RaiseOpenFailure(const OpenOutcome& outcome);
