// An observer that keeps the packet changes the document publishes, for tests.
#pragma once

#include <utility>
#include <vector>

#include "capture/document.h"

class ChangeLog : public CKVDocObserver {
  public:
    explicit ChangeLog(CKVDoc& doc) : doc_(doc) { doc_.AddObserver(this); }
    ~ChangeLog() override { doc_.RemoveObserver(this); }
    ChangeLog(const ChangeLog&) = delete;
    ChangeLog& operator=(const ChangeLog&) = delete;

    void OnPacketsChanged(const PacketChange& change) override { changes.push_back(change); }
    // The changes since the last call.
    std::vector<PacketChange> Take() { return std::exchange(changes, {}); }

    std::vector<PacketChange> changes;

  private:
    CKVDoc& doc_;
};

inline PacketChange Appended(size_t first, size_t last) {
    return {PacketChange::Kind::kAppended, first, last};
}
inline PacketChange Merged(size_t first, size_t last) {
    return {PacketChange::Kind::kMerged, first, last};
}
inline PacketChange FrontTrimmed(size_t count) {
    return {PacketChange::Kind::kFrontTrimmed, count, 0};
}
inline PacketChange Reset() {
    return {PacketChange::Kind::kReset, 0, 0};
}
