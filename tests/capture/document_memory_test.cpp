// Decoding under a memory limit: when an allocation fails the document stops decoding, says so,
// and keeps every packet and sample it had, consistent and in order.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "capture/document.h"
#include "hostile_streams.h"
#include "temp_files.h"

namespace {

// Sanitizers reserve their shadow memory as address space, so a limit on it cannot work there.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kAddressSpaceLimitWorks = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
constexpr bool kAddressSpaceLimitWorks = false;
#else
constexpr bool kAddressSpaceLimitWorks = true;
#endif
#else
constexpr bool kAddressSpaceLimitWorks = true;
#endif

class LastStatus : public CKVDocObserver {
  public:
    void OnStatusText(const std::string& text) override { last = text; }
    std::string last;
};

// Address space the process maps now, in bytes.
size_t MappedBytes() {
    unsigned long pages = 0;
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    if (statm != nullptr) {
        if (std::fscanf(statm, "%lu", &pages) != 1) {
            pages = 0;
        }
        std::fclose(statm);
    }
    return static_cast<size_t>(pages) * static_cast<size_t>(sysconf(_SC_PAGESIZE));
}

// Runs in the child under the limit; the exit code names the first check that failed.
int DecodeUnderLimit(const std::string& path, size_t headroom) {
    const rlimit limit{MappedBytes() + headroom, RLIM_INFINITY};
    if (setrlimit(RLIMIT_AS, &limit) != 0) {
        return 10;
    }
    CKVDoc doc;
    LastStatus status;
    doc.AddObserver(&status);
    if (doc.OpenRecordFile(path).kind != FileResult::kOutOfMemory) {
        return 11;
    }
    if (!doc.DecodeStoppedForMemory()) {
        return 12;  // the limit was not reached: the file is too small for it
    }
    if (status.last != kDecodeOutOfMemoryText) {
        return 13;
    }
    if (doc.PacketCount() < 1000 || doc.Statistics().total != doc.PacketCount()) {
        return 14;
    }
    for (size_t i = 0; i < doc.PacketCount(); ++i) {
        const PacketPtr& packet = doc.Packets()[i];
        if (i > 0 && doc.Packets()[i - 1]->relTime > packet->relTime) {
            return 15;
        }
    }
    // Nothing more is decoded: the partly decoded read would be repeated.
    const size_t kept = doc.PacketCount();
    bool done = false;
    if (doc.DecodePass(done) || doc.PacketCount() != kept) {
        return 16;
    }
    // A clear gives the document its next chance.
    doc.Clear();
    if (doc.DecodeStoppedForMemory()) {
        return 17;
    }
    return 0;
}

// Runs in the child: the whole file decodes under the limit (an allocation failure would stop
// it with kOutOfMemory) into at least minPackets packets; the exit code names the failure.
int DecodeWithinLimit(const std::string& path, size_t headroom, size_t minPackets) {
    const rlimit limit{MappedBytes() + headroom, RLIM_INFINITY};
    if (setrlimit(RLIMIT_AS, &limit) != 0) {
        return 10;
    }
    CKVDoc doc;
    if (doc.OpenRecordFile(path).kind != FileResult::kOk) {
        return 11;
    }
    return doc.PacketCount() >= minPackets ? 0 : 12;
}

}  // namespace

// The shortest packets a file can hold, seven to a 64-byte block: a crafted file of them decodes
// whole within 40 times its size (a 10 MB file within 400 MB).
TEST(DocumentMemory, TinyBurstsDecodeWithinFortyTimesTheFileSize) {
    if (!kAddressSpaceLimitWorks) {
        GTEST_SKIP() << "address-space limits do not work under sanitizers";
    }
    TempDir dir;
    const std::vector<uint8_t> bytes = hostile::TinyBursts(2 << 20);
    WriteFile(dir.File("tiny.zaz"), bytes);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Seven packets in nearly every 64-byte block.
        _exit(DecodeWithinLimit(dir.File("tiny.zaz"), 40 * bytes.size(), 6 * bytes.size() / 64));
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the child died of signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(DocumentMemory, AllocationFailureStopsTheDecodeAndKeepsWhatWasDecoded) {
    if (!kAddressSpaceLimitWorks) {
        GTEST_SKIP() << "address-space limits do not work under sanitizers";
    }
    TempDir dir;
    // About 2.6 million packets: far more than fit in the 96 MB the child may add.
    WriteFile(dir.File("tiny.zaz"), hostile::TinyBursts(24 << 20));
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        _exit(DecodeUnderLimit(dir.File("tiny.zaz"), 96 << 20));
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the child died of signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
}
