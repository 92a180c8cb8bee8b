#include "tools/sigrok/sr_record_writer.h"

#include <algorithm>
#include <cerrno>

#include "capture/byte_order.h"
#include "capture/info_block.h"

namespace {

// The analyzer's default sampling interval is the grid.
constexpr uint64_t kReadingIntervalUs = 10000;
// Between bursts one grid point in this many gets a reading: once a second, well within the
// 71 minutes after which 32-bit microsecond times would wrap unnoticed.
constexpr uint64_t kQuietStride = 100;

}  // namespace

SrRecordWriter::SrRecordWriter(std::FILE* file) : file_(file) {
    Put(PlaceholderInfoBlock());
}

void SrRecordWriter::Put(const RecordBlock& block) {
    if (ok_ && std::fwrite(block.bytes.data(), 1, kBlockSize, file_) != kBlockSize) {
        ok_ = false;
        error_ = errno;  // why the first write failed, which later calls may overwrite
    }
    bytes_ += kBlockSize;
}

void SrRecordWriter::AddReading(uint64_t index) {
    pending_[pendingCount_++] = kSrClockStartUs + index * kReadingIntervalUs;
    if (pendingCount_ == kMaxSamplesPerBlock) {
        FlushReadings();
    }
}

void SrRecordWriter::FlushReadings() {
    if (pendingCount_ == 0) {
        return;
    }
    RecordBlock block;
    uint8_t* bytes = block.bytes.data();
    WriteU16(bytes, static_cast<uint16_t>(kSampleKindBit | pendingCount_));
    for (int i = 0; i < pendingCount_; ++i) {
        WriteU32(bytes + kSampleAreaOffset + kSampleSize * static_cast<size_t>(i),
                 static_cast<uint32_t>(pending_[i]));
    }
    Put(block);
    ++sampleBlocks_;
    pendingCount_ = 0;
}

void SrRecordWriter::ReadingsThrough(uint64_t last, bool includeLast) {
    while (nextIndex_ <= last) {
        if (nextIndex_ <= denseUntil_ || nextIndex_ % kQuietStride == 0 ||
            (includeLast && nextIndex_ == last)) {
            AddReading(nextIndex_++);
            continue;
        }
        // Past the dense points: straight on to the next point that gets a reading.
        const uint64_t next = (nextIndex_ / kQuietStride + 1) * kQuietStride;
        nextIndex_ = std::min(next, includeLast ? last : last + 1);
    }
}

void SrRecordWriter::TakeEdgeBlocks(std::vector<TimedBlock>& blocks) {
    auto indexOf = [](uint64_t timeUs) {
        return (std::max(timeUs, kSrClockStartUs) - kSrClockStartUs) / kReadingIntervalUs;
    };
    for (const TimedBlock& timed : blocks) {
        const uint64_t index = indexOf(timed.timeUs);
        if (index >= 2) {
            ReadingsThrough(index - 2, false);
        }
        denseUntil_ = std::max(denseUntil_, index);
        ReadingsThrough(index, false);
        FlushReadings();
        Put(timed.block);
        ++edgeBlocks_;
        // The grid points up to the one after the block's last capture get their readings once
        // the time comes.
        denseUntil_ = std::max(index, indexOf(timed.endUs)) + 1;
    }
    blocks.clear();
}

bool SrRecordWriter::Finish(uint64_t sessionUs) {
    ReadingsThrough(sessionUs / kReadingIntervalUs, true);
    FlushReadings();
    const RecordBlock leading = FinishedInfoBlock(0, SerialNumber{}, bytes_ - kBlockSize);
    if (ok_ && (std::fseek(file_, 0, SEEK_SET) != 0 ||
                std::fwrite(leading.bytes.data(), 1, kBlockSize, file_) != kBlockSize)) {
        ok_ = false;
        error_ = errno;
    }
    if (!ok_) {
        errno = error_;
    }
    return ok_;
}
