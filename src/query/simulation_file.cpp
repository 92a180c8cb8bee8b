#include "query/simulation_file.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "capture/record_block.h"
#include "capture/staged_file.h"
#include "device/sim/phy_encoder.h"
#include "device/sim/sim_script.h"

namespace {

constexpr const char* kSameFileText = "the script and the record file must differ";

// True when both paths name one file by their names, so that the script would overwrite the
// record file. Checked before anything is written; links are checked by SameFile once the
// record file exists.
bool SamePathName(const std::string& a, const std::string& b) {
    namespace fs = std::filesystem;
    std::error_code errorA;
    std::error_code errorB;
    const fs::path canonicalA = fs::weakly_canonical(fs::absolute(a, errorA), errorA);
    const fs::path canonicalB = fs::weakly_canonical(fs::absolute(b, errorB), errorB);
    return a == b || (!errorA && !errorB && canonicalA == canonicalB);
}

std::string Hex(const std::vector<uint8_t>& bytes) {
    std::string text;
    char digits[3];
    for (uint8_t byte : bytes) {
        std::snprintf(digits, sizeof digits, "%02X", byte);
        text += digits;
    }
    return text;
}

// The script file: a header line, then one line per message put on the wire.
std::string Script(const SimulationResult& result) {
    std::string text = "#index\tstart_us\trel_us\tcc_line\tordered_set\tfault\tlabel\tbytes\tcrc\n";
    char line[160];
    for (size_t i = 0; i < result.messages.size(); ++i) {
        const BuiltMessage& m = result.messages[i];
        std::snprintf(line, sizeof line, "%zu\t%" PRId64 "\t%" PRId64 "\t%d\t%d\t%s\t", i,
                      m.startTimeUs, m.startTimeUs - result.captureStartTimeUs, m.ccLine + 1,
                      m.orderedSet, PhyFaultName(m.fault));
        text += line;
        text += m.label + "\t" + Hex(m.bytes);
        std::snprintf(line, sizeof line, "\t%08X\n", m.crc);
        text += line;
    }
    return text;
}

SimulationSummary Summarize(const SimulationRequest& request, const SimulationResult& result) {
    SimulationSummary summary;
    summary.scenario = request.options.scenario;
    summary.seed = request.options.seed;
    summary.messages = result.messages.size();
    for (const BuiltMessage& message : result.messages) {
        summary.faultyMessages += DecodesCleanly(message) ? 0 : 1;
    }
    summary.samples = result.samples;
    summary.sampleBlocks = result.sampleBlocks;
    summary.ccEdgeBlocks = result.edgeBlocks;
    summary.durationUs = result.endTimeUs - result.captureStartTimeUs;
    summary.size = result.streamBytes + (request.options.recordFile ? kBlockSize : 0);
    return summary;
}

}  // namespace

SimulationOutcome SimulateRecordFile(const SimulationRequest& request) {
    if (std::optional<std::string> problem = CheckSimulationOptions(request.options)) {
        return {SimulationOutcome::kBadRequest, *problem, {}};
    }
    const bool script = !request.script.empty();
    if (script && (SamePathName(request.script, request.output) ||
                   SameFile(request.script, request.output))) {
        return {SimulationOutcome::kBadRequest, kSameFileText, {}};
    }
    std::string error;
    std::optional<SimulationResult> result = SimulateToFile(request.options, request.output, error);
    if (!result) {
        return {SimulationOutcome::kWriteFailed, error, {}};
    }
    if (script && SameFile(request.script, request.output)) {
        return {SimulationOutcome::kBadRequest, kSameFileText, {}};
    }
    if (const int cause = script ? WriteStagedFile(request.script, Script(*result)) : 0;
        cause != 0) {
        return {SimulationOutcome::kWriteFailed,
                "cannot write '" + request.script + "': " + std::strerror(cause),
                {}};
    }
    return {SimulationOutcome::kOk, "", Summarize(request, *result)};
}
