// Policy rules: response times, the order of a negotiation, soft resets, swaps and EPR.
#include "check/check_units.h"
#include "check/check_walk.h"
#include "check/message_classes.h"
#include "pd/message_header.h"

namespace {

constexpr int64_t kSinkRequestUs = 100000;  // tSinkRequest

struct Window {
    int64_t min;
    int64_t max;
};

// tSenderResponse for the revision of the request's header.
Window SenderResponse(const WalkMessage& request, bool profile30) {
    if (request.revision >= 2 && !profile30) {
        return {27000, 33000};
    }
    return {24000, 30000};
}

}  // namespace

void CheckWalk::OnNewMessage(const WalkMessage& message, const PacketPtr& packet) {
    if (message.IsSop()) {
        CheckQuiet(message);
    }
    AnswerPending(message, packet);
    if (!message.IsSop()) {
        return;
    }
    CheckPd3Only(message);
    CheckEprEntry(message);
    CheckEprKeepAlive(message);
    if (message.IsData(kDataSourceCapabilities) && message.source) {
        if (hardReset_) {
            CheckHardResetRecovery(message.start);
        }
        CheckFirstCaps(message);
        sourceCaps_ = HeldMessage{packet, message};
        CheckCapabilities(message);
    } else if (message.IsExtended(kExtEprSourceCapabilities) && message.source &&
               !ExtRequestChunk(*message.packet) && ExtChunkNumber(*message.packet) == 0) {
        eprSourceCaps_ = HeldMessage{packet, message};
        eprCapsChecked_ = false;
    } else if (IsRequest(message) && !message.source) {
        if (waitAckEnd_ >= 0) {
            int64_t gap = message.start - waitAckEnd_;
            if (gap < kSinkRequestUs - message.guard) {
                Emit("T-SINKREQ", Severity::kError, {message.number}, message.start, Millis(gap),
                     Millis(kSinkRequestUs),
                     MessageLabel(message) + " " + MillisText(gap) +
                         " after the GoodCRC of Wait (tSinkRequest at least 100 ms)");
            }
            waitAckEnd_ = -1;
        }
        if (contract_ && contract_->pdo.kind == PdoKind::kPps && lastPpsRequest_ >= 0) {
            int64_t gap = message.start - lastPpsRequest_;
            if (gap > kPpsRequestUs + message.guard) {
                Emit("T-PPS-REQ", Severity::kError, {message.number}, message.start, Millis(gap),
                     Millis(kPpsRequestUs),
                     MessageLabel(message) + " " + MillisText(gap) +
                         " after the sink's previous Request under a PPS contract (tPPSRequest "
                         "at most 10 s)");
            }
        }
        lastPpsRequest_ = message.start;
        negotiation_.reset();
        CheckRequest(message, packet);
    } else if (message.IsControl(kCtrlSoftReset)) {
        softReset_ = HeldMessage{packet, message};
        softResetAccepted_ = false;
        negotiatedRevision_.reset();
        events_.push_back(MessageLabel(message));
        EndContract(ContractEnd::kSoftReset, message.start);
    } else if (message.IsControl(kCtrlPsRdy)) {
        if (prSwapPowerPhase_) {
            if (++prSwapReady_ >= 2) {
                prSwapPowerPhase_ = false;
                sourcePort_ = sourcePort_ == 1 ? 2 : 1;
            }
        } else if (message.source && negotiation_ && negotiation_->acceptAckEnd >= 0) {
            OnPsRdy(message);
        }
    } else if (message.IsControl(kCtrlPrSwap) || message.IsControl(kCtrlDrSwap) ||
               message.IsControl(kCtrlVconnSwap) || message.IsControl(kCtrlFrSwap) ||
               message.IsControl(kCtrlDataReset)) {
        events_.push_back(MessageLabel(message));
    }
    if (softResetAccepted_ && softReset_ && message.source && !IsRequestAnswer(message)) {
        if (!message.IsData(kDataSourceCapabilities)) {
            Emit("S-SOFTRESET", Severity::kError, {message.number, softReset_->message.number},
                 message.start, std::nullopt, std::nullopt,
                 MessageLabel(message) + " follows the accepted " +
                     MessageLabel(softReset_->message) +
                     " where the source sends Source_Capabilities");
        }
        softReset_.reset();
        softResetAccepted_ = false;
    }
    if (!message.source) {
        lastSinkMessage_ = HeldMessage{packet, message};
    }
}

void CheckWalk::OnAcknowledged(const WalkMessage& message, int64_t ackEnd) {
    if (std::optional<int64_t> limit = ResponseLimit(message)) {
        pending_.push_back(Pending{HeldMessage{previous_->packet, message}, ackEnd, *limit});
    }
    if (negotiation_ && negotiation_->request.message.number == message.number) {
        negotiation_->requestAckEnd = ackEnd;
    }
    if (negotiation_ && negotiation_->accept &&
        negotiation_->accept->message.number == message.number) {
        OnAccepted(ackEnd);
    }
    if (message.number == waitNumber_) {
        waitAckEnd_ = ackEnd;
    }
    if (message.number == prSwapAcceptNumber_) {
        prSwapPowerPhase_ = true;
        prSwapReady_ = 0;
        if (negotiation_) {
            negotiation_.reset();
        }
        EndContract(ContractEnd::kPowerRoleSwap, ackEnd);
        implicitContract_ = false;
    }
    if (EprModeAction(message) == kEprModeEnter) {
        eprEnterAckEnd_ = ackEnd;
    }
}

void CheckWalk::AnswerPending(const WalkMessage& message, const PacketPtr& packet) {
    bool answered = false;
    for (auto it = pending_.begin(); it != pending_.end();) {
        const WalkMessage& request = it->request.message;
        if (request.orderedSet != message.orderedSet) {
            ++it;
            continue;
        }
        const int64_t delay = message.start - it->ackEnd;
        if (request.Sender() != message.Sender()) {
            answered = true;
            if (delay > it->limit + message.guard) {
                Emit("T-RCVRSP", Severity::kError, {message.number, request.number}, message.start,
                     Millis(delay), Millis(it->limit),
                     MessageLabel(message) + " answers " + MessageLabel(request) + " " +
                         MillisText(delay) + " after its GoodCRC (tReceiverResponse at most " +
                         MillisText(it->limit) + ")");
            }
            if (IsRequest(request)) {
                if (!IsRequestAnswer(message)) {
                    Emit("S-REQUEST", Severity::kError, {message.number, request.number},
                         message.start, std::nullopt, std::nullopt,
                         MessageLabel(request) + " is answered by " + MessageLabel(message) +
                             " instead of Accept, Reject or Wait");
                } else if (message.IsControl(kCtrlAccept) && negotiation_ &&
                           negotiation_->request.message.number == request.number) {
                    negotiation_->accept = HeldMessage{packet, message};
                    if (negotiation_->requestAckEnd >= 0) {
                        negotiation_->acceptLatency = message.start - negotiation_->requestAckEnd;
                    }
                    if (negotiation_->invalid) {
                        Emit("S-REQUEST-INVALID", Severity::kError,
                             {message.number, request.number}, message.start, std::nullopt,
                             std::nullopt,
                             MessageLabel(message) + " accepts the invalid " +
                                 MessageLabel(request) + " (an invalid Request is rejected)");
                    }
                } else if (message.IsControl(kCtrlWait)) {
                    waitNumber_ = message.number;
                }
                requestAnswered_ = true;
            } else if (request.IsControl(kCtrlSoftReset)) {
                if (!message.IsControl(kCtrlAccept)) {
                    Emit("S-SOFTRESET", Severity::kError, {message.number, request.number},
                         message.start, std::nullopt, std::nullopt,
                         MessageLabel(request) + " is answered by " + MessageLabel(message) +
                             " instead of Accept");
                } else {
                    softResetAccepted_ = true;
                }
            } else if (request.IsControl(kCtrlPrSwap) && message.IsControl(kCtrlAccept)) {
                prSwapAcceptNumber_ = message.number;
            } else if (request.IsControl(kCtrlDrSwap) && message.IsControl(kCtrlAccept) &&
                       dfpPort_ != 0) {
                dfpPort_ = dfpPort_ == 1 ? 2 : 1;
            }
            it = pending_.erase(it);
            continue;
        }
        if (ResponseLimit(message) || message.IsControl(kCtrlSoftReset)) {
            // The requester gave up waiting and moved on.
            Window window = SenderResponse(request, options_.profile30);
            if (delay < window.min - message.guard || delay > window.max + message.guard) {
                Emit("T-SNDRSP", Severity::kError, {message.number, request.number}, message.start,
                     Millis(delay), Millis(window.max),
                     MessageLabel(message) + " gives up on " + MessageLabel(request) + " " +
                         MillisText(delay) + " after its GoodCRC (tSenderResponse " +
                         MillisText(window.min) + " to " + MillisText(window.max) + ")");
            }
            if (delay > it->limit + message.guard) {
                Emit("T-RCVRSP", Severity::kError, {request.number}, message.start, Millis(delay),
                     Millis(it->limit),
                     MessageLabel(request) + " had no response within " + MillisText(it->limit) +
                         " of its GoodCRC (tReceiverResponse)");
            }
            it = pending_.erase(it);
            continue;
        }
        ++it;
    }
    if (!answered && IsRequestAnswer(message) && message.source && requestAnswered_) {
        Emit("S-REQUEST", Severity::kError, {message.number}, message.start, std::nullopt,
             std::nullopt, MessageLabel(message) + " answers a Request that was already answered");
    }
    if (!answered || !IsRequestAnswer(message)) {
        requestAnswered_ = false;
    }
}
