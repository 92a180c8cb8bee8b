#include "live/live_readings.h"

#include "capture/byte_order.h"
#include "capture/record_block.h"
#include "capture/scale_current.h"

int32_t Calibrate(int32_t ratio, int32_t reading) {
    if (ratio == kUncalibrated) {
        return reading;
    }
    return static_cast<int32_t>(static_cast<int64_t>(ratio) * reading / kUncalibrated);
}

LiveReadings::LiveReadings(LiveValues& live, const CalibrationRatios& ratios,
                           VbusPresenceListener listener)
    : live_(live), ratios_(ratios), listener_(std::move(listener)) {}

void LiveReadings::RestartTiming() {
    extender_.Reset();
    live_.firstSampleTime.store(-1, std::memory_order_relaxed);
}

void LiveReadings::Extract(const uint8_t* chunk, size_t size) {
    for (size_t offset = 0; offset + kBlockSize <= size; offset += kBlockSize) {
        const uint8_t* block = chunk + offset;
        uint16_t kindWord = KindWord(block);
        if (!HasSampleBit(kindWord)) {
            continue;
        }
        int count = SampleCount(kindWord);
        for (int i = 0; i < count; ++i) {
            Store(block + kSampleAreaOffset + kSampleSize * static_cast<size_t>(i));
        }
    }
}

void LiveReadings::Store(const uint8_t* sample) {
    constexpr auto relaxed = std::memory_order_relaxed;
    int32_t vbusRaw = ReadU16(sample + 4);
    int32_t cc1Raw = ReadU16(sample + 8);
    int32_t cc2Raw = ReadU16(sample + 12);
    int32_t vbusCurrent = ScaleCurrent(static_cast<int16_t>(ReadU16(sample + 6)));
    int32_t cc1Current = ScaleCurrent(static_cast<int16_t>(ReadU16(sample + 10)));
    int32_t cc2Current = ScaleCurrent(static_cast<int16_t>(ReadU16(sample + 14)));
    live_.vbusVoltageRaw.store(vbusRaw, relaxed);
    live_.cc1VoltageRaw.store(cc1Raw, relaxed);
    live_.cc2VoltageRaw.store(cc2Raw, relaxed);
    live_.vbusCurrent.store(vbusCurrent, relaxed);
    live_.cc1Current.store(cc1Current, relaxed);
    live_.cc2Current.store(cc2Current, relaxed);
    int32_t vbus = Calibrate(ratios_.vbusVoltage, vbusRaw);
    int32_t cc1 = Calibrate(ratios_.cc1Voltage, cc1Raw);
    int32_t cc2 = Calibrate(ratios_.cc2Voltage, cc2Raw);
    live_.vbusVoltage.store(vbus, relaxed);
    live_.cc1Voltage.store(cc1, relaxed);
    live_.cc2Voltage.store(cc2, relaxed);
    live_.vbusCurrentCal.store(Calibrate(ratios_.vbusCurrent, vbusCurrent), relaxed);
    live_.cc1CurrentCal.store(Calibrate(ratios_.cc1Current, cc1Current), relaxed);
    live_.cc2CurrentCal.store(Calibrate(ratios_.cc2Current, cc2Current), relaxed);

    int64_t time = extender_.Extend(ReadU32(sample));
    if (live_.firstSampleTime.load(relaxed) == -1) {
        live_.firstSampleTime.store(time, relaxed);
    }
    live_.lastSampleTime.store(time, relaxed);

    bool present = static_cast<uint32_t>(vbusRaw) >= kVbusPresentMillivolts;
    if (present != vbusPresent_ && listener_) {
        listener_({present, vbus, cc1, cc2});
    }
    vbusPresent_ = present;
}
