#include "query/opened_capture.h"

#include <algorithm>

#include "capture/record_file_check.h"
#include "capture/record_file_notice.h"

std::shared_ptr<const OpenedCapture> OpenedCapture::Open(const std::string& path,
                                                         const OpenOptions& options,
                                                         OpenOutcome& outcome) {
    std::shared_ptr<OpenedCapture> capture(new OpenedCapture());
    capture->path_ = path;
    capture->options_ = options;
    outcome = OpenCapture(path, options.tolerant, capture->rows_.doc);
    if (!outcome) {
        return nullptr;
    }
    RecordFileProblems problems = capture->rows_.doc.FileProblems();
    if (problems.noValidBlock) {
        outcome = {OpenOutcome::kDamaged, "'" + path + "': " + kNoValidBlockText};
        return nullptr;
    }
    capture->problems_ = RecordFileProblemText(problems);
    PrepareCaptureRows(capture->rows_, options.reverseCurrent);
    return capture;
}

std::optional<StreamInfo> OpenedCapture::Stream(std::string& error) const {
    std::lock_guard lock(streamMutex_);
    if (!streamRead_) {
        stream_ = ReadCaptureStream(path_, streamError_);
        streamRead_ = true;
    }
    error = streamError_;
    return stream_;
}

void CopySamples(const SampleSnapshot& samples, bool reverseCurrent, std::span<SampleRecord> out) {
    const int32_t sign = reverseCurrent ? -1 : 1;
    for (size_t i = 0; i < out.size();) {
        const std::span<const StoredSample> run = samples.RunFrom(i);
        for (const StoredSample& s : run.first(std::min(run.size(), out.size() - i))) {
            out[i++] = {s.Time(),           s.vbusVoltage,       sign * s.vbusCurrent,
                        s.cc1Voltage,       sign * s.cc1Current, s.cc2Voltage,
                        sign * s.cc2Current};
        }
    }
}
