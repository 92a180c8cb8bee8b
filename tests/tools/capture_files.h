// Record files and in-memory captures for the writer tests.
#pragma once

#include <string>
#include <vector>

#include "capture/document_snapshot.h"
#include "capture/record_block.h"
#include "capture/sample_store.h"
#include "capture/stored_sample.h"
#include "device/sim/simulator.h"
#include "pd/cc_packet.h"

// Writes a synthesized scenario at 10 ms sampling to path; false when the synthesizer failed.
inline bool SimulateRecordFile(const std::string& path, const char* scenario = "spr") {
    SimulationOptions options;
    options.scenario = scenario;
    options.intervalMs = 10;
    std::string error;
    return SimulateToFile(options, path, error).has_value();
}

// A snapshot of these samples and packets, as the document would hand it to a writer.
inline DocumentSnapshot SnapshotOf(const std::vector<CVbusInfo>& samples,
                                   std::vector<PacketPtr> packets = {}, int64_t origin = 0) {
    SampleStore store;
    for (const CVbusInfo& sample : samples) {
        store.Append(PackSample(sample));
    }
    return {std::move(packets), store.Snapshot(), origin, {}};
}
