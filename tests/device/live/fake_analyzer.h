// Stand-ins for the analyzer and the application around live capture in tests.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "capture/document.h"
#include "device/sim/simulator.h"
#include "live/capture_control.h"
#include "live/stream_source.h"
#include "temp_files.h"

// The bare block stream (no leading InfoBlock) of a synthesized scenario.
inline std::vector<uint8_t> SimulatedStream(const std::string& scenario, double seconds,
                                            int intervalMs = 1) {
    SimulationOptions options;
    options.scenario = scenario;
    options.seconds = seconds;
    options.intervalMs = intervalMs;
    options.recordFile = false;
    std::optional<SimulationResult> result = Simulate(options);
    return result ? result->stream : std::vector<uint8_t>{};
}

// Serves a byte stream in chunks of at most chunkSize; afterwards reads time out (0). Read by
// one thread at a time.
class ScriptedStream : public StreamSource {
  public:
    explicit ScriptedStream(std::vector<uint8_t> bytes, size_t chunkSize = 16384)
        : bytes_(std::move(bytes)), chunkSize_(chunkSize) {}

    long ReadStream(uint8_t* buffer, size_t size, int /*timeoutMs*/) override {
        if (failing.load()) {
            return -1;
        }
        size_t pos = position_.load();
        if (pos >= std::min(bytes_.size(), holdAt.load())) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            return 0;
        }
        size_t n = std::min({size, chunkSize_, bytes_.size() - pos});
        std::memcpy(buffer, bytes_.data() + pos, n);
        position_.store(pos + n);
        return static_cast<long>(n);
    }

    bool Drained() const { return position_.load() >= bytes_.size(); }
    size_t Position() const { return position_.load(); }
    const std::vector<uint8_t>& Bytes() const { return bytes_; }

    std::atomic<bool> failing{false};
    // Bytes from this position on are held back, as if the analyzer had gone quiet.
    std::atomic<size_t> holdAt{SIZE_MAX};

  private:
    std::vector<uint8_t> bytes_;
    size_t chunkSize_;
    std::atomic<size_t> position_{0};
};

inline constexpr RecorderIdentity kTestIdentity{
    0x0123, {0x67, 0x45, 0x23, 0x01, 0xEF, 0xCD, 0xAB, 0x89, 0x67, 0x45, 0x23, 0x01}};

class FakeDevice : public CaptureDevice {
  public:
    bool Poll() override {
        ++polls;
        return connected;
    }
    RecorderIdentity Identity() const override { return kTestIdentity; }
    bool IsVirtual() const override { return simulated; }

    bool connected = true;
    bool simulated = false;
    int polls = 0;
};

// Records what capture control asks of the application.
class RecordingHost : public CaptureHost {
  public:
    bool MaybeSaveModified() override {
        ++saveQuestions;
        return saveAnswer;
    }
    bool EditRecordFileSettings(RecordFileForm& /*form*/) override {
        ++dialogs;
        return dialogAnswer;
    }
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    void DocumentEmptied() override { ++emptied; }
    void RefreshAllViews() override { ++refreshes; }
    void FollowCapture(int64_t graphTime) override { followed.push_back(graphTime); }
    void SetStatusText(const std::string& text) override { status = text; }
    void RefreshReadouts() override { ++readouts; }
    DriverPrompt OfferDriverInstall() override {
        ++driverPrompts;
        return driverAnswer;
    }
    void InstallDriver() override { ++installs; }

    bool saveAnswer = true;
    bool dialogAnswer = true;
    DriverPrompt driverAnswer;
    int saveQuestions = 0;
    int dialogs = 0;
    int emptied = 0;
    int refreshes = 0;
    int readouts = 0;
    int driverPrompts = 0;
    int installs = 0;
    std::vector<std::string> messages;
    std::vector<int64_t> followed;
    std::string status;
};

// Everything around capture control in a test: a record folder that the settings name, the
// document, the shared state, the fake analyzer and the fake application.
struct CaptureRig {
    CaptureRig() { settings.recordFileFolder = dir.Path().string(); }

    TempDir dir;
    SettingsStore settings;
    CaptureState state;
    CKVDoc doc;
    FakeDevice device;
    RecordingHost host;
};
