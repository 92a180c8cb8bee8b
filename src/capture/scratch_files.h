// Files and folders that exist only while a writer works (a staged output, a temporary import):
// each is removed when its owner is done, and also when SIGINT, SIGTERM or SIGHUP ends the
// process before that, so that an interrupted command leaves nothing behind.
#pragma once

#include <string>

// Removes a file, or a folder with the files directly inside it. Async-signal-safe.
void RemoveScratchPath(const char* path);

// Installs the handlers for the signals whose action is still the default: they remove every
// registered path, then end the process with the signal's default action. A signal ignored or
// handled already (nohup, an interpreter's SIGINT) stays as it was. Programs that handle these
// signals themselves for a while (a capture that stops on SIGINT) install their own handlers over
// these.
void RemoveScratchFilesOnSignals();

// One registered path, removed (and unregistered) by the destructor. A registry that is full
// still removes the path at the end, only not on a signal.
class ScratchPath {
  public:
    explicit ScratchPath(std::string path);
    ~ScratchPath();
    ScratchPath(ScratchPath&& other) noexcept;
    ScratchPath& operator=(ScratchPath&&) = delete;
    ScratchPath(const ScratchPath&) = delete;
    ScratchPath& operator=(const ScratchPath&) = delete;

    const std::string& Path() const { return path_; }
    // Forgets the path without removing it (it became a finished file of its own).
    void Keep();

  private:
    std::string path_;
    int slot_ = -1;
};

// A new folder of its own, mode 0700, named PREFIX followed by six random characters, inside
// `parent`; "" when it cannot be created.
std::string MakePrivateFolder(const std::string& parent, const std::string& prefix);
