// One opened capture read by several threads at once: the rows, find, filter, measurements and
// the record stream counters (read once, whichever thread asks first) come out as one thread
// reads them.
#include <gtest/gtest.h>

#include <thread>

#include "query/measurement.h"
#include "query/opened_capture.h"
#include "query/packet_search.h"
#include "query/simulation_file.h"
#include "temp_files.h"

namespace {

struct Reading {
    std::vector<std::vector<std::string>> rows;
    std::vector<size_t> found;
    std::vector<size_t> shown;
    std::string measurement;
    uint64_t streamSamples = 0;
    size_t entries = 0;

    bool operator==(const Reading&) const = default;
};

Reading ReadAll(const OpenedCapture& capture) {
    Reading reading;
    const CaptureRows& rows = capture.Rows();
    for (size_t i = 0; i < rows.doc.PacketCount(); ++i) {
        reading.rows.push_back(RowTexts(rows, i));
    }
    FindCriteria criteria = FindDefaults();
    criteria.text = "Request";
    criteria.textEnabled = true;
    for (const FindMatch& match : FindMatches(criteria, rows, std::nullopt)) {
        reading.found.push_back(match.row);
    }
    reading.shown = FilteredRows(FilterStartValues(), rows);
    reading.measurement = MeasureBetween(capture.Doc().Snapshot(), 0, 1500000, false).text;
    std::string error;
    const std::optional<StreamInfo> stream = capture.Stream(error);
    if (stream) {
        reading.streamSamples = stream->samples;
        reading.entries = stream->entries.size();
    }
    return reading;
}

TEST(OpenedCaptureThreads, ReadersAgreeWithOneReader) {
    TempDir dir;
    SimulationRequest request;
    request.options.scenario = "epr";
    request.options.seconds = 2;
    request.options.intervalMs = 5;
    request.output = dir.File("epr.zaz");
    ASSERT_EQ(SimulateRecordFile(request).kind, SimulationOutcome::kOk);

    OpenOutcome outcome;
    std::shared_ptr<const OpenedCapture> alone = OpenedCapture::Open(request.output, {}, outcome);
    std::shared_ptr<const OpenedCapture> shared = OpenedCapture::Open(request.output, {}, outcome);
    ASSERT_NE(alone, nullptr);
    ASSERT_NE(shared, nullptr);
    const Reading expected = ReadAll(*alone);
    ASSERT_FALSE(expected.rows.empty());
    ASSERT_FALSE(expected.found.empty());
    ASSERT_GT(expected.streamSamples, 0u);

    constexpr int kThreads = 4;
    std::vector<Reading> readings(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] { readings[static_cast<size_t>(t)] = ReadAll(*shared); });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    for (const Reading& reading : readings) {
        EXPECT_TRUE(reading == expected);
    }
}

}  // namespace
