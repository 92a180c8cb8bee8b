#include "capture/stored_sample.h"

#include "pd/electrical_readings.h"

StoredSample PackSample(const CVbusInfo& sample) {
    StoredSample stored{};
    auto time = static_cast<uint64_t>(sample.time);
    stored.timeLow = static_cast<uint32_t>(time);
    stored.timeHigh = static_cast<int32_t>(static_cast<uint32_t>(time >> 32));
    CopyElectricalReadings(sample, stored);
    uint64_t blockIndex = sample.blockOffset / kBlockSize;
    stored.blockIndexLow = static_cast<uint32_t>(blockIndex);
    stored.blockIndexHigh = static_cast<uint16_t>(blockIndex >> 32);
    return stored;
}

CVbusInfo UnpackSample(const StoredSample& stored) {
    CVbusInfo sample;
    sample.time = stored.Time();
    CopyElectricalReadings(stored, sample);
    uint64_t blockIndex =
        (static_cast<uint64_t>(stored.blockIndexHigh) << 32) | stored.blockIndexLow;
    sample.blockOffset = blockIndex * kBlockSize;
    return sample;
}
