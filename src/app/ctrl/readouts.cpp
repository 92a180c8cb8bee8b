#include "app/ctrl/readouts.h"

#include <cstdio>
#include <cstdlib>

#include "live/capture_state.h"

namespace {

// Values are shown in V, A and W, computed in single precision from mV and mA.
std::string Format(const char* format, float value) {
    char text[64];
    std::snprintf(text, sizeof text, format, static_cast<double>(value));
    return text;
}

float Units(int64_t milli) {
    return static_cast<float>(milli) / 1000.0f;
}

// mV x mA in W.
float Watts(int64_t milliamps, int64_t millivolts) {
    return static_cast<float>(milliamps) * static_cast<float>(millivolts) / 1000.0f / 1000.0f;
}

}  // namespace

bool LinkUp(const CaptureFlags& flags) {
    return flags.connected.load() && flags.threadAlive.load() && !flags.closeRequest.load();
}

LiveReading ReadLiveValues(const LiveValues& live) {
    LiveReading reading;
    reading.vbusVoltage = live.vbusVoltage.load();
    reading.vbusCurrent = live.vbusCurrentCal.load();
    reading.cc1Voltage = live.cc1Voltage.load();
    reading.cc1Current = live.cc1CurrentCal.load();
    reading.cc2Voltage = live.cc2Voltage.load();
    reading.cc2Current = live.cc2CurrentCal.load();
    return reading;
}

int32_t FloorVoltage(int32_t millivolts) {
    return millivolts <= 10 ? 0 : millivolts;
}

ControlReadouts ComputeReadouts(const LiveReading& reading) {
    const int64_t vbus = FloorVoltage(reading.vbusVoltage);
    const int64_t cc1 = FloorVoltage(reading.cc1Voltage);
    const int64_t cc2 = FloorVoltage(reading.cc2Voltage);
    const int64_t current = reading.vbusCurrent;
    // The CC currents are shown in the direction of the VBUS current, whose magnitude is shown.
    const int64_t sign = current < 0 ? -1 : 1;
    const int64_t magnitude = current < 0 ? -current : current;
    const int64_t cc1Current = reading.cc1Current * sign;
    const int64_t cc2Current = reading.cc2Current * sign;

    ControlReadouts out;
    out.vbusVoltage = Format("%2.2f [V]", Units(vbus));
    out.vbusCurrent = Format("%1.3f [A]", Units(magnitude));
    out.vbusPower = Format("%3.2f [W]", Watts(magnitude, vbus));
    out.cc1Voltage = Format("%1.2f [V]", Units(cc1));
    out.cc1Current = Format("%1.3f [A]", Units(cc1Current));
    out.cc2Voltage = Format("%1.2f [V]", Units(cc2));
    out.cc2Current = Format("%1.3f [A]", Units(cc2Current));

    if (current > 0) {
        out.picture = DirectionPicture::Positive;
    } else if (current < 0) {
        out.picture = DirectionPicture::Negative;
    } else if (vbus > 3000) {
        out.picture = DirectionPicture::NoCurrent;
    }

    const CcStatus status1 = ClassifyCc(static_cast<int32_t>(cc1));
    const CcStatus status2 = ClassifyCc(static_cast<int32_t>(cc2));
    out.ccStatus = CcStatusText(status1, 1) + CcStatusText(status2, 2);

    // VCONN is the voltage on the CC wire that carries no advertisement while the other does.
    int64_t vconnVoltage = 0;
    int64_t vconnCurrent = 0;
    if (status1 != CcStatus::None && status2 == CcStatus::None && cc2 != 0) {
        out.vconnLine = 2;
        vconnVoltage = cc2;
        vconnCurrent = cc2Current;
    } else if (status2 != CcStatus::None && status1 == CcStatus::None && cc1 != 0) {
        out.vconnLine = 1;
        vconnVoltage = cc1;
        vconnCurrent = cc1Current;
    }
    out.vconnVoltage = Format("%1.2f [V]", Units(vconnVoltage));
    out.vconnPower = Format("%3.2f [W]", Watts(vconnCurrent, vconnVoltage));
    return out;
}

ControlReadouts LinkDownReadouts(const ControlReadouts& last) {
    ControlReadouts out;
    out.ccStatus = last.ccStatus;
    return out;
}

std::string PeakValueText(int32_t power, int32_t voltage, int32_t current) {
    char text[128];
    std::snprintf(text, sizeof text, "%3.2f [W] (%2.2f [V] %1.3f [A])",
                  static_cast<double>(Units(power)), static_cast<double>(Units(voltage)),
                  static_cast<double>(Units(current)));
    return text;
}

std::string PeakPowerText(const SampleStats& stats) {
    std::string text;
    if (stats.maxVbusPower != 0) {
        text += "Peak VBUS Power\n  " +
                PeakValueText(stats.maxVbusPower, stats.maxVbusPowerVoltage,
                              stats.maxVbusPowerCurrent) +
                "\n";
    }
    if (stats.minVbusPower != 0) {
        text += "Peak VBUS Power (Dir=Rvs)\n  " +
                PeakValueText(stats.minVbusPower, stats.minVbusPowerVoltage,
                              stats.minVbusPowerCurrent) +
                "\n";
    }
    return text;
}
