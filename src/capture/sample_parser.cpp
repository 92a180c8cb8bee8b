#include "capture/sample_parser.h"

#include "capture/scale_current.h"

int SampleParser::ParseBlock(const uint8_t* block, uint64_t offset, CVbusInfo* out) {
    uint16_t kindWord = KindWord(block);
    if (!HasSampleBit(kindWord)) {
        return 0;
    }
    int count = SampleCount(kindWord);
    for (int i = 0; i < count; ++i) {
        const uint8_t* raw = block + kSampleAreaOffset + kSampleSize * static_cast<size_t>(i);
        int64_t widened = extender_.Extend(ReadU32(raw));
        if (captureStartTime_ == -1) {
            captureStartTime_ = widened;
        }
        lastSampleTime_ = widened;
        CVbusInfo& sample = out[i];
        sample.time = widened - captureStartTime_;
        sample.vbusVoltage = ReadU16(raw + 4);
        sample.vbusCurrent =
            static_cast<int16_t>(ScaleCurrent(static_cast<int16_t>(ReadU16(raw + 6))));
        sample.cc1Voltage = static_cast<int16_t>(ReadU16(raw + 8));
        sample.cc1Current =
            static_cast<int16_t>(ScaleCurrent(static_cast<int16_t>(ReadU16(raw + 10))));
        sample.cc2Voltage = static_cast<int16_t>(ReadU16(raw + 12));
        sample.cc2Current =
            static_cast<int16_t>(ScaleCurrent(static_cast<int16_t>(ReadU16(raw + 14))));
        sample.blockOffset = offset;
    }
    return count;
}

void SampleParser::Reset() {
    extender_.Reset();
    captureStartTime_ = -1;
    lastSampleTime_ = 0;
}
