// The packets the user marked. The document owns the marks, not the packets: a packet does not
// change once the document holds it, so a reader on another thread never sees a mark flip under
// it. The set is shared copy-on-write: a snapshot keeps the marks as they were when it was taken,
// and a change builds a new set.
#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <unordered_set>

#include "pd/cc_packet.h"

class PacketMarks {
  public:
    bool Contains(const CCCPacket& packet) const { return set_ && set_->contains(&packet); }
    bool Empty() const { return !set_ || set_->empty(); }
    size_t Size() const { return set_ ? set_->size() : 0; }

    // Whether the marks changed.
    bool Set(const CCCPacket& packet, bool marked);
    void Clear() { set_.reset(); }
    // Drops the marks of packets that leave the document (they may be freed afterwards, and a
    // new packet could get the same address).
    void Forget(std::span<const PacketPtr> removed);

  private:
    using PacketSet = std::unordered_set<const CCCPacket*>;
    std::shared_ptr<const PacketSet> set_;
};
