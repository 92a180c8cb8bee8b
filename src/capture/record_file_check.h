// Whether a record file looks like one: what its blocks say about themselves, gathered while
// the document decodes them, and the problems the user is told about (no recognisable block at
// all, a partial block at the end, fewer stream bytes than the capture recorded). Decoding
// goes ahead whatever the check finds; the check only explains what was decoded.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// Consecutive samples whose timestamps advance by more than 0 and at most this many µs are
// plausible neighbours: the analyzer samples at intervals far below it.
inline constexpr uint32_t kPlausibleSampleStepUs = 10'000'000;

class RecordFileCheck {
  public:
    // Looks at count whole blocks that start at file offset offset (blocks fed in file order).
    void Feed(const uint8_t* blocks, size_t count, uint64_t offset);
    void Reset() { *this = RecordFileCheck(); }

    uint64_t WholeBlocks() const { return wholeBlocks_; }
    // InfoBlocks whose entry list is well formed (as the capture and the save write them).
    uint64_t InfoBlocks() const { return infoBlocks_; }
    bool LeadingInfoBlock() const { return leadingInfo_; }
    // The stream byte count of a finished leading InfoBlock.
    std::optional<uint64_t> RecordedStreamBytes() const { return recordedStreamBytes_; }
    // Steps between consecutive sample timestamps, counted until the first well-formed
    // InfoBlock (after it the samples decide nothing).
    uint64_t SampleSteps() const { return sampleSteps_; }
    uint64_t PlausibleSampleSteps() const { return plausibleSteps_; }

  private:
    void FeedInfoBlock(const uint8_t* block, uint64_t offset);
    void FeedSampleBlock(const uint8_t* block);

    uint64_t wholeBlocks_ = 0;
    uint64_t infoBlocks_ = 0;
    bool leadingInfo_ = false;
    std::optional<uint64_t> recordedStreamBytes_;
    std::optional<uint32_t> lastSampleTime_;
    uint64_t sampleSteps_ = 0;
    uint64_t plausibleSteps_ = 0;
};

// An InfoBlock's entries fit the block and, after the closing InfoEnd, only zeros follow.
bool WellFormedInfoBlock(const uint8_t* block);

// What the user is told about a decoded file.
struct RecordFileProblems {
    bool noValidBlock = false;  // nothing in the file reads as analyzer data
    uint64_t partialBytes = 0;  // bytes of an incomplete block at the end, not decoded
    uint64_t missingBytes = 0;  // stream bytes the leading InfoBlock counts beyond the end

    bool Any() const { return noValidBlock || partialBytes != 0 || missingBytes != 0; }
};

// The problems of a file of fileLength bytes whose blocks were all fed to check, and whose
// decoding kept validCrcPackets packets with a good CRC. A file holds a valid block when it has
// a well-formed InfoBlock, a packet with a good CRC, or samples of which at least half step
// plausibly from their predecessor.
RecordFileProblems FindRecordFileProblems(const RecordFileCheck& check, uint64_t fileLength,
                                          uint64_t validCrcPackets);

// The status bar and notice text of the problems; "" when there are none.
std::string RecordFileProblemText(const RecordFileProblems& problems);
