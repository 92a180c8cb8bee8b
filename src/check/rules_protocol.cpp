// Protocol layer rules: GoodCRC, retries, MessageID counters, revision and role bits.
#include "check/check_units.h"
#include "check/check_walk.h"
#include "pd/message_header.h"

namespace {

constexpr int64_t kTransmitUs = 195;    // tTransmit
constexpr int64_t kReceiveMinUs = 900;  // tReceive
constexpr int64_t kReceiveMaxUs = 1100;
constexpr int64_t kRetryLateUs = 1300;    // a retry later than this is only suspicious
constexpr int64_t kRetryWindowUs = 3000;  // beyond this the same id is a new attempt

bool AcknowledgedBy(const WalkMessage& message, const WalkMessage& goodCrc) {
    return message.IsMessage() && !message.IsGoodCrc() &&
           message.orderedSet == goodCrc.orderedSet && message.id == goodCrc.id;
}

int RetryCount(const WalkMessage& message) {
    return message.revision >= 2 ? 2 : 3;  // nRetryCount: PD 3.x / PD 2.0
}

}  // namespace

void CheckWalk::OnGoodCrc(const WalkMessage& goodCrc) {
    if (!previous_) {
        return;  // the capture starts with it
    }
    const WalkMessage& before = previous_->message;
    if (AcknowledgedBy(before, goodCrc)) {
        int64_t delay = goodCrc.start - before.end;
        if (delay > kTransmitUs + goodCrc.guard) {
            Emit("P-GOODCRC-TIME", Severity::kError, {goodCrc.number, before.number}, goodCrc.start,
                 Micros(delay), Micros(kTransmitUs),
                 "GoodCRC " + std::to_string(delay) + " µs after the end of " +
                     MessageLabel(before) + " (tTransmit at most 195 µs)");
        }
        bool powerChecked = !prSwapPowerPhase_;
        if (goodCrc.IsSop() &&
            ((powerChecked && goodCrc.source == before.source) || goodCrc.dfp == before.dfp)) {
            Emit("P-ROLE-BITS", Severity::kError, {goodCrc.number, before.number}, goodCrc.start,
                 std::nullopt, std::nullopt,
                 "GoodCRC #" + std::to_string(goodCrc.number) + " carries the same " +
                     (goodCrc.dfp == before.dfp ? "data role" : "power role") + " as " +
                     MessageLabel(before) + " it acknowledges (the ports' roles are opposite)");
        }
        // An acknowledged retry stands for the message its first copy started.
        WalkMessage acknowledged = before;
        if (retryOriginal_ && unacked_ && unacked_->message.number == before.number) {
            acknowledged.number = *retryOriginal_;
        }
        OnAcknowledged(acknowledged, goodCrc.end);
        return;
    }
    if (before.kind != MessageKind::kNone && !before.crcOk && goodCrc.start - before.end <= 1000) {
        Emit("P-GOODCRC-AFTER-BAD", Severity::kError, {goodCrc.number, before.number},
             goodCrc.start, std::nullopt, std::nullopt,
             "GoodCRC #" + std::to_string(goodCrc.number) + " acknowledges packet #" +
                 std::to_string(before.number) + ", whose CRC failed");
        return;
    }
    if (before.kind == MessageKind::kNone) {
        return;  // an unreadable burst: nothing to match against
    }
    Emit("P-GOODCRC-MATCH", Severity::kError, {goodCrc.number, before.number}, goodCrc.start,
         std::nullopt, std::nullopt,
         "GoodCRC #" + std::to_string(goodCrc.number) + " (MessageID " +
             std::to_string(goodCrc.id) + ") matches no message just before it (" +
             MessageLabel(before) + ")");
}

bool CheckWalk::OnRetry(const WalkMessage& message) {
    if (!unacked_) {
        return false;
    }
    const WalkMessage& original = unacked_->message;
    int64_t gap = message.start - original.end;
    if (original.Sender() != message.Sender() || original.id != message.id ||
        gap > kRetryWindowUs) {
        return false;
    }
    ++copies_;
    if (!message.SameContent(original)) {
        Emit("P-RETRY-SAME", Severity::kError, {message.number, original.number}, message.start,
             std::nullopt, std::nullopt,
             MessageLabel(message) + " repeats the MessageID " + std::to_string(message.id) +
                 " of the unacknowledged " + MessageLabel(original) +
                 " with other content (a retry repeats the message unchanged)");
    }
    const bool revision3 = message.revision >= 2;
    if (gap < kReceiveMinUs - message.guard) {
        Emit("P-RETRY-TIME", revision3 ? Severity::kError : Severity::kWarning,
             {message.number, original.number}, message.start, Micros(gap), Micros(kReceiveMinUs),
             "Retry " + MessageLabel(message) + " " + std::to_string(gap) +
                 " µs after the end of the unacknowledged copy (tReceive at least 900 µs)");
    } else if (gap > kRetryLateUs + message.guard) {
        Emit("P-RETRY-TIME", Severity::kWarning, {message.number, original.number}, message.start,
             Micros(gap), Micros(kReceiveMaxUs + kTransmitUs),
             "Retry " + MessageLabel(message) + " " + std::to_string(gap) +
                 " µs after the end of the unacknowledged copy (tReceive at most 1100 µs plus "
                 "tRetry 195 µs)");
    }
    const int allowed = 1 + RetryCount(message);
    if (copies_ > allowed && !retryCountReported_) {
        retryCountReported_ = true;
        Emit("P-RETRY-COUNT", Severity::kError, {message.number, original.number}, message.start,
             Quantity{static_cast<double>(copies_), "copies"},
             Quantity{static_cast<double>(allowed), "copies"},
             MessageLabel(message) + " is copy " + std::to_string(copies_) +
                 " of an unacknowledged message (nRetryCount " +
                 std::to_string(RetryCount(message)) + " allows " + std::to_string(allowed) + ")");
    }
    return true;
}

void CheckWalk::ResetMessageIds(bool sopOnly, bool cableOnly) {
    for (size_t key = 0; key < ids_.size(); ++key) {
        int orderedSet = static_cast<int>(key / 8);
        bool sop = orderedSet == kOsSop;
        if ((sopOnly && !sop) || (cableOnly && sop)) {
            continue;
        }
        ids_[key] = IdState{};
        ids_[key].expectZero = true;
    }
}

void CheckWalk::CheckMessageId(const WalkMessage& message, const PacketPtr& packet) {
    const auto key = static_cast<size_t>(message.Sender()) % ids_.size();
    IdState& state = ids_[key];
    if (message.IsControl(kCtrlSoftReset)) {
        // Soft_Reset starts both ports' counters of its SOP* over, and carries 0 itself.
        for (size_t other = 0; other < ids_.size(); ++other) {
            if (static_cast<int>(other / 8) == message.orderedSet) {
                ids_[other] = IdState{};
                ids_[other].expectZero = true;
            }
        }
    }
    if (message.IsControl(kCtrlSoftReset) && message.id != 0) {
        Emit("P-MSGID-RESET", Severity::kError, {message.number}, message.start, std::nullopt,
             std::nullopt,
             MessageLabel(message) + " carries MessageID " + std::to_string(message.id) +
                 " (Soft_Reset carries MessageID 0)");
    } else if (state.expectZero && message.id != 0) {
        Emit("P-MSGID-RESET", Severity::kError, {message.number}, message.start, std::nullopt,
             std::nullopt,
             MessageLabel(message) + " carries MessageID " + std::to_string(message.id) +
                 " where the counter starts over at 0 (after a reset)");
    } else if (!state.expectZero && state.lastId) {
        const uint8_t expected = static_cast<uint8_t>((*state.lastId + 1) % 8);
        if (message.id == *state.lastId) {
            if (!state.last || !message.SameContent(state.last->message)) {
                Emit("P-MSGID-DUP", Severity::kError,
                     {message.number, state.last ? state.last->message.number : message.number},
                     message.start, std::nullopt, std::nullopt,
                     MessageLabel(message) + " reuses MessageID " + std::to_string(message.id) +
                         " of the sender's previous message with other content (the receiver "
                         "drops it)");
            }
        } else if (message.id != expected) {
            Emit("P-MSGID-SEQ", Severity::kError, {message.number}, message.start, std::nullopt,
                 std::nullopt,
                 MessageLabel(message) + " carries MessageID " + std::to_string(message.id) +
                     " where " + std::to_string(expected) + " follows the sender's previous " +
                     std::to_string(*state.lastId));
        }
    }
    state.lastId = message.id;
    state.expectZero = false;
    state.last = HeldMessage{packet, message};
}

void CheckWalk::CheckRevision(const WalkMessage& message) {
    if (!message.IsSop()) {
        return;
    }
    if (message.IsData(kDataRequest) || message.IsData(kDataEprRequest)) {
        if (sourceCaps_ && message.revision > sourceCaps_->message.revision) {
            Emit("P-REV-NEG", Severity::kError, {message.number, sourceCaps_->message.number},
                 message.start, std::nullopt, std::nullopt,
                 MessageLabel(message) + " says revision " + RevisionText(*message.packet) +
                     ", above the " + RevisionText(*sourceCaps_->packet) + " of " +
                     MessageLabel(sourceCaps_->message));
        }
        if (sourceCaps_ && !negotiatedRevision_) {
            negotiatedRevision_ = std::min(message.revision, sourceCaps_->message.revision);
        }
        return;
    }
    if (negotiatedRevision_ && message.revision != *negotiatedRevision_) {
        Emit("P-REV-NEG", Severity::kError, {message.number}, message.start, std::nullopt,
             std::nullopt,
             MessageLabel(message) + " says revision " + RevisionText(*message.packet) +
                 " after the ports settled on " + (*negotiatedRevision_ == 1 ? "2.0" : "3.x"));
    }
}
