#include "capture/packet_marks.h"

bool PacketMarks::Set(const CCCPacket& packet, bool marked) {
    if (Contains(packet) == marked) {
        return false;
    }
    auto changed = set_ ? std::make_shared<PacketSet>(*set_) : std::make_shared<PacketSet>();
    if (marked) {
        changed->insert(&packet);
    } else {
        changed->erase(&packet);
    }
    set_ = std::move(changed);
    return true;
}

void PacketMarks::Forget(std::span<const PacketPtr> removed) {
    if (Empty()) {
        return;
    }
    std::shared_ptr<PacketSet> kept;
    for (const PacketPtr& packet : removed) {
        if (!set_->contains(packet.get())) {
            continue;
        }
        if (!kept) {
            kept = std::make_shared<PacketSet>(*set_);
        }
        kept->erase(packet.get());
    }
    if (kept) {
        set_ = std::move(kept);
    }
}
