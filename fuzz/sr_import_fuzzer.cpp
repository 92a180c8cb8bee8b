// sigrok sessions with arbitrary metadata and sample data: the session is written as the zip
// a logic analyzer would save, then imported; the record file it gives is parsed again. Input:
// two bytes of metadata length (little-endian), the metadata text, then the sample bytes. The
// import's own limits keep every run small: at most 1 MiB of samples and one minute of session.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "capture/record_file_io.h"
#include "capture/record_stream.h"
#include "tools/sigrok/sr_import.h"
#include "tools/sigrok/sr_zip.h"

namespace {

class CountingSink : public RecordSink {
  public:
    void OnSample(const CVbusInfo& /*sample*/) override { ++samples; }
    void OnPacket(PacketPtr /*packet*/) override { ++packets; }
    size_t samples = 0;
    size_t packets = 0;
};

std::string FuzzFile(const char* name) {
    return "/tmp/zoduz-fuzz-sr-" + std::to_string(::getpid()) + "-" + name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) {
        return 0;
    }
    const size_t metadataSize = std::min<size_t>(data[0] | size_t{data[1]} << 8, size - 2);
    const std::string metadata(reinterpret_cast<const char*>(data + 2), metadataSize);
    const std::string samples(reinterpret_cast<const char*>(data + 2 + metadataSize),
                              size - 2 - metadataSize);
    const std::string session = FuzzFile("in.sr");
    const std::string record = FuzzFile("out.zaz");
    {
        SrZipWriter archive(session);
        // Odd-sized sample data goes into two files, the way long sessions are split.
        const size_t half = samples.size() % 2 == 1 ? samples.size() / 2 : samples.size();
        if (!archive.AddText("version", "2") || !archive.AddText("metadata", metadata) ||
            !archive.AddText("logic-1-1", samples.substr(0, half)) ||
            (half < samples.size() && !archive.AddText("logic-1-2", samples.substr(half))) ||
            !archive.Close()) {
            return 0;
        }
    }
    SrImportOptions options;
    options.maxDataBytes = 1 << 20;
    options.maxSessionUs = 60000000;
    std::string error;
    if (ImportSigrokSession(session, record, options, error)) {
        ReadOnlyFile file(record);
        std::vector<uint8_t> bytes(static_cast<size_t>(std::max<int64_t>(file.Length(), 0)));
        bytes.resize(file.ReadAt(0, bytes.data(), bytes.size()));
        CountingSink sink;
        RecordStreamParser parser;
        parser.Feed(bytes, sink);
        if (sink.samples == 0) {
            __builtin_trap();  // every import starts with a reading at session time 0
        }
    }
    std::remove(session.c_str());
    std::remove(record.c_str());
    return 0;
}
