#include "capture/record_file_check.h"

#include "capture/byte_order.h"
#include "capture/info_block.h"
#include "capture/record_block.h"
#include "capture/record_file_notice.h"

bool WellFormedInfoBlock(const uint8_t* block) {
    if (KindWord(block) != kInfoKindWord) {
        return false;
    }
    size_t end = 2;  // just past the last entry that fits
    bool closed = false;
    ReadInfoBlock(block, [&](const InfoEntry& entry) {
        end = static_cast<size_t>(entry.position) + 2 + entry.value.size();
        closed = entry.type == kInfoEnd;
    });
    if (closed) {
        for (size_t i = end; i < kBlockSize; ++i) {
            if (block[i] != 0) {
                return false;
            }
        }
        return true;
    }
    // Without an InfoEnd the entries must run to the end of the block (an entry that did not
    // fit stopped the list earlier); a lone last byte must be unused.
    return end == kBlockSize || (end == kBlockSize - 1 && block[end] == 0);
}

void RecordFileCheck::Feed(const uint8_t* blocks, size_t count, uint64_t offset) {
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* block = blocks + i * kBlockSize;
        const uint64_t blockOffset = offset + i * kBlockSize;
        ++wholeBlocks_;
        switch (KindOf(KindWord(block))) {
            case BlockKind::kInfo:
                FeedInfoBlock(block, blockOffset);
                break;
            case BlockKind::kSample:
                // The samples only matter for a file without a well-formed InfoBlock.
                if (infoBlocks_ == 0) {
                    FeedSampleBlock(block);
                }
                break;
            case BlockKind::kCcEdge:
                break;
        }
    }
}

void RecordFileCheck::FeedInfoBlock(const uint8_t* block, uint64_t offset) {
    if (!WellFormedInfoBlock(block)) {
        return;
    }
    ++infoBlocks_;
    if (offset != 0) {
        return;
    }
    leadingInfo_ = true;
    ReadInfoBlock(block, [this](const InfoEntry& entry) {
        if (entry.type == kInfoByteCount && entry.value.size() == 8) {
            recordedStreamBytes_ = ReadU64(entry.value.data());
        }
    });
}

void RecordFileCheck::FeedSampleBlock(const uint8_t* block) {
    const int count = SampleCount(KindWord(block));
    for (int i = 0; i < count; ++i) {
        const uint32_t time = ReadU32(block + kSampleAreaOffset + kSampleSize * i);
        if (lastSampleTime_) {
            ++sampleSteps_;
            // Unsigned difference: a timestamp that wrapped around 2^32 still steps forward.
            const uint32_t step = time - *lastSampleTime_;
            if (step != 0 && step <= kPlausibleSampleStepUs) {
                ++plausibleSteps_;
            }
        }
        lastSampleTime_ = time;
    }
}

RecordFileProblems FindRecordFileProblems(const RecordFileCheck& check, uint64_t fileLength,
                                          uint64_t validCrcPackets) {
    RecordFileProblems problems;
    const bool samplesPlausible =
        check.SampleSteps() != 0 && check.PlausibleSampleSteps() * 2 >= check.SampleSteps();
    problems.noValidBlock = check.InfoBlocks() == 0 && validCrcPackets == 0 && !samplesPlausible;
    problems.partialBytes = fileLength % kBlockSize;
    if (check.RecordedStreamBytes()) {
        const uint64_t expected = kBlockSize + *check.RecordedStreamBytes();
        if (fileLength < expected) {
            problems.missingBytes = expected - fileLength;
        }
    }
    return problems;
}

std::string RecordFileProblemText(const RecordFileProblems& problems) {
    std::string text;
    const auto add = [&text](const std::string& sentence) {
        text += (text.empty() ? "" : " ") + sentence;
    };
    if (problems.noValidBlock) {
        // Nothing of it is kept (what its bytes would decode to is chance): nothing else to say.
        return std::string(kNoValidBlockText) + " Nothing of it is shown.";
    }
    if (problems.partialBytes != 0) {
        add("The file ends in a partial block: its last " + std::to_string(problems.partialBytes) +
            " bytes are not decoded.");
    }
    if (problems.missingBytes != 0) {
        add("The file is shorter than recorded: " + std::to_string(problems.missingBytes) +
            " stream bytes are missing.");
    }
    if (!text.empty()) {
        add("What could be decoded is shown.");
    }
    return text;
}

std::string RecordFileNoticeText(const RecordFileProblems& problems, uint64_t fileLength) {
    if (fileLength == 0) {
        return "The file is empty: it holds no record block.";
    }
    return RecordFileProblemText(problems);
}
