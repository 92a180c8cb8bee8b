#include "settings/record_settings_form.h"

#include "settings/record_file_form.h"

std::string SamplingIntervalText(size_t entry) {
    return std::to_string(kSamplingIntervalsMs.at(entry)) + "ms";
}

size_t SamplingIntervalEntry(int storedMs) {
    for (size_t i = 0; i < kSamplingIntervalsMs.size(); ++i) {
        if (kSamplingIntervalsMs[i] >= storedMs) {
            return i;
        }
    }
    return kSamplingIntervalsMs.size() - 1;
}

RecordSettingsForm RecordSettingsForm::FromSettings(const SettingsStore& settings) {
    RecordSettingsForm form;
    form.maxPacketCount = settings.recordMaxPDPacketCount;
    form.maxVbusCount = settings.recordMaxVbusInfoCount;
    form.captureFullStop = settings.recordCaptureFullStop;
    form.packetAutoRemove = settings.recordPDPacketAutoRemove;
    form.vbusAutoRemove = settings.recordVbusInfoAutoRemove;
    form.intervalEntry =
        static_cast<int>(SamplingIntervalEntry(settings.recordVbusSamplingIntervalMS));
    return form;
}

void RecordSettingsForm::LoadDefaults() {
    *this = RecordSettingsForm();
}

int RecordSettingsForm::IntervalMs() const {
    if (intervalEntry < 0 || static_cast<size_t>(intervalEntry) >= kSamplingIntervalsMs.size()) {
        return 0;
    }
    return kSamplingIntervalsMs[static_cast<size_t>(intervalEntry)];
}

std::optional<std::string> RecordSettingsForm::Accept(SettingsStore& settings) const {
    if (maxPacketCount < kMinPacketLimit || maxPacketCount > kMaxPacketLimit) {
        return IntegerRangeText(kMinPacketLimit, kMaxPacketLimit);
    }
    settings.recordMaxPDPacketCount = maxPacketCount;
    settings.recordMaxVbusInfoCount = maxVbusCount;
    settings.recordCaptureFullStop = captureFullStop;
    settings.recordPDPacketAutoRemove = packetAutoRemove;
    settings.recordVbusInfoAutoRemove = vbusAutoRemove;
    settings.recordVbusSamplingIntervalMS = IntervalMs();
    return std::nullopt;
}
