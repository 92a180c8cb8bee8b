// Crafted sigrok sessions for the import tests: samples with chosen level changes, written as
// the zip members a session holds.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tools/sigrok/sr_zip.h"

// One byte per sample; `toggles` are the sample indices where `bit` changes level.
inline std::string LogicSamples(const std::vector<uint64_t>& toggles, uint64_t total, int bit) {
    std::string samples(total, '\0');
    uint8_t level = 0;
    size_t next = 0;
    for (uint64_t i = 0; i < total; ++i) {
        while (next < toggles.size() && toggles[next] == i) {
            level ^= 1;
            ++next;
        }
        samples[i] = static_cast<char>(level << bit);
    }
    return samples;
}

inline void WriteSession(const std::string& path, const std::string& metadata,
                         const std::vector<std::string>& chunks) {
    SrZipWriter archive(path);
    ASSERT_TRUE(archive.IsOpen());
    ASSERT_TRUE(archive.AddText("version", "2"));
    ASSERT_TRUE(archive.AddText("metadata", metadata));
    for (size_t i = 0; i < chunks.size(); ++i) {
        ASSERT_TRUE(archive.AddText("logic-1-" + std::to_string(i + 1), chunks[i]));
    }
    ASSERT_TRUE(archive.Close());
}

// The metadata of a one-byte session with channel 1 named CC1 at the given rate text.
inline std::string SessionMetadata(const std::string& rate) {
    return "[global]\nsigrok version=0.5.1\n\n[device 1]\ncapturefile=logic-1\ntotal probes=2\n"
           "samplerate=" +
           rate + "\ntotal analog=0\nprobe1=CC1\nprobe2=CC2\nunitsize=1\n";
}
