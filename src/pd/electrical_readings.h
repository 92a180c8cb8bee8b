// The six VBUS and CC readings that samples, stored samples and packets all carry under the same
// member names.
#pragma once

// Copies the readings from one such record to another.
template <typename From, typename To>
void CopyElectricalReadings(const From& from, To& to) {
    to.vbusVoltage = from.vbusVoltage;
    to.vbusCurrent = from.vbusCurrent;
    to.cc1Voltage = from.cc1Voltage;
    to.cc2Voltage = from.cc2Voltage;
    to.cc1Current = from.cc1Current;
    to.cc2Current = from.cc2Current;
}
