// The control view's read-outs as texts: VBUS, CC1, CC2 and VCONN values, the current direction
// picture, the CC status and the capture's peak VBUS power. Shared by the window's control
// strip and zoduz-cli monitor.
#pragma once

#include <cstdint>
#include <string>

#include "app/ctrl/cc_status.h"
#include "capture/sample_stats.h"

struct CaptureFlags;
struct LiveValues;

// One set of calibrated live readings: mV and mA, currents signed as measured.
struct LiveReading {
    int32_t vbusVoltage = 0;
    int32_t vbusCurrent = 0;
    int32_t cc1Voltage = 0;
    int32_t cc1Current = 0;
    int32_t cc2Voltage = 0;
    int32_t cc2Current = 0;
};

// The read-outs show live values while the analyzer is connected, the reader thread alive and
// no close is pending.
bool LinkUp(const CaptureFlags& flags);

// The newest calibrated readings of the reader thread (two consecutive samples may mix).
LiveReading ReadLiveValues(const LiveValues& live);

// Which picture shows the VBUS current direction.
enum class DirectionPicture {
    Hidden,     // no current and VBUS at 3 V or below: picture and CC status hidden
    Positive,   // current flows plug to receptacle
    Negative,   // receptacle to plug
    NoCurrent,  // VBUS present, no current
};

struct ControlReadouts {
    std::string vbusVoltage;  // "%2.2f [V]"
    std::string vbusCurrent;  // "%1.3f [A]", the magnitude
    std::string vbusPower;    // "%3.2f [W]"
    std::string cc1Voltage;   // "%1.2f [V]"
    std::string cc1Current;   // "%1.3f [A]", signed to follow the VBUS current
    std::string cc2Voltage;
    std::string cc2Current;
    std::string vconnVoltage;  // "%1.2f [V]", 0 when there is no VCONN
    std::string vconnPower;    // "%3.2f [W]"
    DirectionPicture picture = DirectionPicture::Hidden;
    std::string ccStatus;  // CC1 text immediately followed by the CC2 text
    int vconnLine = 0;     // 1 or 2 for the CC line carrying VCONN, 0 for none
};

// Readings of 10 mV or less count as 0 V.
int32_t FloorVoltage(int32_t millivolts);

// The read-outs of a connected analyzer.
ControlReadouts ComputeReadouts(const LiveReading& reading);

// The read-outs after the link went down: every value text empty, the picture hidden; the CC
// status keeps its last text.
ControlReadouts LinkDownReadouts(const ControlReadouts& last);

// "%3.2f [W] (%2.2f [V] %1.3f [A])" of a peak power (mW) and its voltage (mV) and current (mA).
std::string PeakValueText(int32_t power, int32_t voltage, int32_t current);

// "Peak VBUS Power\n  %3.2f [W] (%2.2f [V] %1.3f [A])\n" for a non-zero maximum VBUS power,
// then the same with "Peak VBUS Power (Dir=Rvs)" for a non-zero minimum; empty when neither.
std::string PeakPowerText(const SampleStats& stats);
