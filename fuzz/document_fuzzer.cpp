// Arbitrary bytes as a record file: the document opens and decodes it, every packet's texts
// and field breakdown are built, and a save with markers reopens to the same packets.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "capture/document.h"
#include "columns/document_context.h"
#include "columns/idle_time.h"
#include "packet_walk.h"

namespace {

std::string TempPath(const char* suffix) {
    return "/tmp/zoduz-fuzz-" + std::to_string(getpid()) + suffix;
}

bool WriteFile(const std::string& path, const uint8_t* data, size_t size) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool ok = std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && ok;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input = TempPath(".zaz");
    const std::string saved = TempPath("-saved.zaz");
    if (!WriteFile(input, data, size)) {
        return 0;
    }
    CKVDoc doc;
    if (!doc.OpenRecordFile(input)) {
        std::abort();  // an existing readable file always opens
    }
    const ColumnContext context = DocumentColumnContext(doc, false);
    const std::vector<int64_t> idleTimes = IdleTimes(doc.Packets(), context.timeOrigin);
    for (size_t i = 0; i < doc.Packets().size(); ++i) {
        WalkPacketTexts({doc.Packets()[i].get(), static_cast<int32_t>(i), idleTimes[i]}, context);
    }
    for (size_t i = 0; i < doc.SampleCount(); ++i) {
        (void)doc.SampleAt(i);
    }
    if (doc.PacketCount() > 0) {
        doc.SetMarked(doc.PacketAt(0), true);
        doc.SetMarkerA(doc.PacketAt(doc.PacketCount() - 1));
    }
    // A file with no valid block shows nothing of what its bytes decode to; saved with markers
    // it gains a valid block, so only a file that had one must reopen to the same contents.
    if (!doc.FileProblems().noValidBlock && doc.SaveAs(saved)) {
        CKVDoc reopened;
        if (!reopened.OpenRecordFile(saved) || reopened.PacketCount() != doc.PacketCount() ||
            reopened.SampleCount() != doc.SampleCount()) {
            std::abort();
        }
    }
    std::remove(input.c_str());
    std::remove(saved.c_str());
    return 0;
}
