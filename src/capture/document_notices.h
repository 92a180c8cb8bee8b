// What one document operation tells its observers, collected while the operation holds the
// document's lock and delivered, in the order it happened, once the lock is released: an
// observer may then read the document, or wait for another thread that reads it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <variant>
#include <vector>

#include "capture/document_observer.h"
#include "pd/cc_packet.h"

class DocumentNotices {
  public:
    // percent < 0: a text without progress.
    void StatusText(std::string text, int percent);
    void PacketsChanged(const PacketChange& change);
    void ContentsChanged();
    void TimeOriginChanged(int64_t delta);
    // Packets that left the document: they stay alive until every observer was told.
    void Hold(std::vector<PacketPtr> packets);

    bool Empty() const { return notices_.empty() && held_.empty(); }

    // Each notice to each of the observers in turn. An observer that an earlier call removed
    // (observing tells) is skipped from then on.
    void Deliver(const std::vector<CKVDocObserver*>& observers,
                 const std::function<bool(CKVDocObserver*)>& observing) const;

  private:
    struct Status {
        std::string text;
        int percent = -1;
    };
    struct Contents {};
    struct TimeOrigin {
        int64_t delta = 0;
    };
    using Notice = std::variant<Status, PacketChange, Contents, TimeOrigin>;

    static void Tell(CKVDocObserver& observer, const Notice& notice);

    std::vector<Notice> notices_;
    std::vector<PacketPtr> held_;
};
