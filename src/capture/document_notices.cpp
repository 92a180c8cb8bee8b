#include "capture/document_notices.h"

#include <iterator>
#include <utility>

void DocumentNotices::StatusText(std::string text, int percent) {
    notices_.emplace_back(Status{std::move(text), percent});
}

void DocumentNotices::PacketsChanged(const PacketChange& change) {
    notices_.emplace_back(change);
}

void DocumentNotices::ContentsChanged() {
    notices_.emplace_back(Contents{});
}

void DocumentNotices::TimeOriginChanged(int64_t delta) {
    notices_.emplace_back(TimeOrigin{delta});
}

void DocumentNotices::Hold(std::vector<PacketPtr> packets) {
    if (held_.empty()) {
        held_ = std::move(packets);  // no copy: the document may be out of memory
        return;
    }
    held_.insert(held_.end(), std::make_move_iterator(packets.begin()),
                 std::make_move_iterator(packets.end()));
}

void DocumentNotices::Deliver(const std::vector<CKVDocObserver*>& observers,
                              const std::function<bool(CKVDocObserver*)>& observing) const {
    for (const Notice& notice : notices_) {
        for (CKVDocObserver* observer : observers) {
            if (observing(observer)) {
                Tell(*observer, notice);
            }
        }
    }
}

void DocumentNotices::Tell(CKVDocObserver& observer, const Notice& notice) {
    if (const auto* status = std::get_if<Status>(&notice)) {
        observer.OnStatusText(status->text);
        if (status->percent >= 0) {
            observer.OnProgress(status->percent);
        }
    } else if (const auto* change = std::get_if<PacketChange>(&notice)) {
        observer.OnPacketsChanged(*change);
    } else if (std::holds_alternative<Contents>(notice)) {
        observer.OnContentsChanged();
    } else if (const auto* origin = std::get_if<TimeOrigin>(&notice)) {
        observer.OnTimeOriginChanged(origin->delta);
    }
}
