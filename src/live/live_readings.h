// The newest readings of the stream: calibration and the VBUS presence that other programs are
// told about.
#pragma once

#include <cstdint>
#include <functional>

#include "capture/timestamp_extender.h"
#include "live/capture_state.h"

inline constexpr int32_t kUncalibrated = 1000000;  // a ratio of 1.0, in millionths
inline constexpr uint32_t kVbusPresentMillivolts = 1000;

// The six calibration ratios of the settings, millionths.
struct CalibrationRatios {
    int32_t vbusVoltage = kUncalibrated;
    int32_t cc1Voltage = kUncalibrated;
    int32_t cc2Voltage = kUncalibrated;
    int32_t vbusCurrent = kUncalibrated;
    int32_t cc1Current = kUncalibrated;
    int32_t cc2Current = kUncalibrated;
};

// reading * ratio / 1 000 000, truncated toward zero; the reading itself for a ratio of 1.0.
// Computed exactly in integers: single precision turned 5000 mV at 1.01 into 5049 mV.
int32_t Calibrate(int32_t ratio, int32_t reading);

// VBUS appeared or disappeared: the calibrated voltages of the sample that showed it.
struct VbusPresenceChange {
    bool present = false;
    int32_t vbusVoltage = 0;  // mV
    int32_t cc1Voltage = 0;
    int32_t cc2Voltage = 0;
};
using VbusPresenceListener = std::function<void(const VbusPresenceChange&)>;

// Extracts the samples of whole SampleBlocks into the LiveValues and reports VBUS presence
// changes. Owned by the reader thread.
class LiveReadings {
  public:
    LiveReadings(LiveValues& live, const CalibrationRatios& ratios, VbusPresenceListener listener);

    // Every whole block of the chunk with the sample bit set; a trailing partial block is
    // ignored.
    void Extract(const uint8_t* chunk, size_t size);
    // A record file was opened: timestamps widen from 0 again, no first sample yet.
    void RestartTiming();

  private:
    void Store(const uint8_t* sample);

    LiveValues& live_;
    CalibrationRatios ratios_;
    VbusPresenceListener listener_;
    TimestampExtender extender_;
    bool vbusPresent_ = false;
};
