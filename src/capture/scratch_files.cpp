#include "capture/scratch_files.h"

#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// Slots a signal handler can read without locks: a path is copied in before its slot is armed
// and the slot is disarmed before the path goes away.
constexpr int kSlots = 32;
constexpr size_t kMaxPath = 4096;
enum SlotState : int { kFree, kFilling, kArmed };

struct Slot {
    std::atomic<int> state{kFree};
    char path[kMaxPath] = {};
};

// Constant-initialised and never destroyed: objects destroyed at exit may still unregister.
constinit std::array<Slot, kSlots> slots{};

int Register(const std::string& path) {
    if (path.empty() || path.size() >= kMaxPath) {
        return -1;
    }
    for (int i = 0; i < kSlots; ++i) {
        Slot& slot = slots[static_cast<size_t>(i)];
        int expected = kFree;
        if (slot.state.compare_exchange_strong(expected, kFilling)) {
            std::memcpy(slot.path, path.c_str(), path.size() + 1);
            slot.state.store(kArmed, std::memory_order_release);
            return i;
        }
    }
    return -1;
}

void Unregister(int slot) {
    if (slot >= 0) {
        slots[static_cast<size_t>(slot)].state.store(kFree, std::memory_order_release);
    }
}

// The layout of the records getdents64 returns.
struct DirectoryEntry {
    uint64_t inode;
    int64_t offset;
    unsigned short length;
    unsigned char type;
    char name[1];
};

// A staged output inside a temporary import's folder is one level down.
constexpr int kFolderDepth = 2;

// Removes what the open folder holds, down to `depth` levels of folders.
void EmptyFolder(int folder, int depth) {
    alignas(DirectoryEntry) char buffer[4096];
    for (;;) {
        const long got = ::syscall(SYS_getdents64, folder, buffer, sizeof buffer);
        if (got <= 0) {
            return;
        }
        for (long at = 0; at < got;) {
            const auto* entry = reinterpret_cast<const DirectoryEntry*>(buffer + at);
            at += entry->length;
            if (std::strcmp(entry->name, ".") == 0 || std::strcmp(entry->name, "..") == 0 ||
                ::unlinkat(folder, entry->name, 0) == 0 || depth <= 1) {
                continue;
            }
            const int inner =
                ::openat(folder, entry->name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (inner >= 0) {
                EmptyFolder(inner, depth - 1);
                ::close(inner);
                ::unlinkat(folder, entry->name, AT_REMOVEDIR);
            }
        }
    }
}

extern "C" void OnEndingSignal(int signal) {
    for (Slot& slot : slots) {
        if (slot.state.load(std::memory_order_acquire) == kArmed) {
            RemoveScratchPath(slot.path);
        }
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

}  // namespace

void RemoveScratchPath(const char* path) {
    if (::unlink(path) == 0 || errno == ENOENT) {
        return;
    }
    const int folder = ::open(path, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (folder >= 0) {
        EmptyFolder(folder, kFolderDepth);
        ::close(folder);
    }
    ::rmdir(path);
}

void RemoveScratchFilesOnSignals() {
    struct sigaction action {};
    action.sa_handler = OnEndingSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        // A signal the process was started to ignore (nohup, a background job) stays ignored,
        // and one it handles already (an interpreter's SIGINT) stays with its handler.
        struct sigaction previous {};
        if (sigaction(signal, nullptr, &previous) == 0 && (previous.sa_flags & SA_SIGINFO) == 0 &&
            previous.sa_handler == SIG_DFL) {
            sigaction(signal, &action, nullptr);
        }
    }
}

ScratchPath::ScratchPath(std::string path) : path_(std::move(path)), slot_(Register(path_)) {}

ScratchPath::~ScratchPath() {
    if (!path_.empty()) {
        Unregister(slot_);
        RemoveScratchPath(path_.c_str());
    }
}

ScratchPath::ScratchPath(ScratchPath&& other) noexcept
    : path_(std::move(other.path_)), slot_(other.slot_) {
    other.path_.clear();
    other.slot_ = -1;
}

void ScratchPath::Keep() {
    Unregister(slot_);
    slot_ = -1;
    path_.clear();
}

std::string MakePrivateFolder(const std::string& parent, const std::string& prefix) {
    std::string pattern = parent.empty() ? "." : parent;
    if (pattern.back() != '/') {
        pattern += '/';
    }
    pattern += prefix + "XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    return ::mkdtemp(name.data()) != nullptr ? std::string(name.data()) : std::string();
}
