#include "capture/stored_sample.h"

CVbusInfo UnpackSample(const StoredSample& stored) {
    CVbusInfo sample;
    sample.time = stored.Time();
    CopyElectricalReadings(stored, sample);
    uint64_t blockIndex =
        (static_cast<uint64_t>(stored.blockIndexHigh) << 32) | stored.blockIndexLow;
    sample.blockOffset = blockIndex * kBlockSize;
    return sample;
}
