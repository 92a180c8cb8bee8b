// InfoBlocks: the typed entry lists at the start of a record file and after a marker save.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "capture/record_block.h"

enum InfoType : uint8_t {
    kInfoFormatTag = 1,
    kInfoFirmwareVersion = 2,
    kInfoSerialNumber = 3,
    kInfoByteCount = 4,
    kInfoTimeOrigin = 5,
    kInfoClearMarks = 16,
    kInfoMarkedPacket = 17,
    kInfoMarkerA = 18,
    kInfoMarkerB = 19,
    kInfoGraphMarkerO = 24,
    kInfoGraphMarkerX = 25,
    kInfoEnd = 255,
};

inline constexpr size_t kSerialNumberSize = 12;
using SerialNumber = std::array<uint8_t, kSerialNumberSize>;

// One entry as found in a block: its position, type and value bytes.
struct InfoEntry {
    int position = 0;  // byte offset of the type byte within the block
    uint8_t type = 0;
    std::span<const uint8_t> value;
};

// Calls visit for every entry of the block in order, the closing InfoEnd included. Reading
// stops at InfoEnd or at an entry whose length would run past the block.
void ReadInfoBlock(const uint8_t* block, const std::function<void(const InfoEntry&)>& visit);

// Value of an 8-byte entry as i64; 0 when the entry has another length.
int64_t InfoValueI64(const InfoEntry& entry);

// "InfoFirmwareVersion", ... for the known types, "InfoType%d" otherwise.
std::string InfoTypeName(uint8_t type);

// Value as text: i64 entries in decimal, the firmware version as "0x%04X", others as hex bytes.
std::string InfoValueText(const InfoEntry& entry);

// Builds InfoBlocks entry by entry: each entry goes at the write position followed by an
// InfoEnd byte when room remains; the next entry overwrites that InfoEnd.
class InfoBlockWriter {
  public:
    InfoBlockWriter() { Restart(); }

    // Places one entry; false when it does not fit in the rest of the block.
    bool Place(uint8_t type, std::span<const uint8_t> value);
    bool PlaceI64(uint8_t type, int64_t value);

    int Position() const { return position_; }
    const RecordBlock& Block() const { return block_; }
    // Starts a fresh block: F0 FF, write position 2.
    void Restart();

  private:
    RecordBlock block_;
    int position_ = 2;
};

// The block a capture writes first and keeps until the file is finished: F0 FF and zeros.
RecordBlock PlaceholderInfoBlock();

// The leading block of a finished record file: format tag, firmware version, serial number,
// number of stream bytes after this block, InfoEnd.
RecordBlock FinishedInfoBlock(uint16_t firmwareVersion, const SerialNumber& serial,
                              uint64_t streamByteCount);

// Marker state written after a save so that reopening the file restores it.
struct MarkerRecord {
    int64_t timeOrigin = 0;
    struct Entry {
        uint8_t type;  // kInfoMarkerA, kInfoMarkerB or kInfoMarkedPacket
        int64_t relTime;
    };
    std::vector<Entry> packets;  // one entry per mark, in packet order
    bool hasGraphMarkers = false;
    int64_t graphMarkerO = 0;  // already including the time origin
    int64_t graphMarkerX = 0;
};

// The marker InfoBlocks for record: origin and "clear marks" first, then one entry per packet
// mark, then the graph markers; a block is closed once its write position passes 54.
std::vector<RecordBlock> MarkerInfoBlocks(const MarkerRecord& record);
