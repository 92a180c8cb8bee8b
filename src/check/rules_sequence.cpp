// Sequence rules around a negotiation's power phase, resets, detach and EPR mode.
#include "check/check_units.h"
#include "check/check_walk.h"
#include "check/message_classes.h"
#include "pd/message_header.h"

namespace {

constexpr int64_t kSinkEprKeepAliveUs = 500000;    // tSinkEPRKeepAlive
constexpr int64_t kSourceEprKeepAliveUs = 750000;  // tSourceEPRKeepAlive, minimum
constexpr int64_t kEnterEprUs = 550000;            // tEnterEPR

const char* ExpectedEprText(int step) {
    static const char* const texts[] = {"",
                                        "EPR_Mode Enter_Acknowledged",
                                        "EPR_Mode Enter_Succeeded",
                                        "EPR_Source_Capabilities",
                                        "EPR_Request",
                                        "Accept",
                                        "PS_RDY"};
    return texts[step];
}

}  // namespace

void CheckWalk::CheckQuiet(const WalkMessage& message) {
    const bool accepted = negotiation_ && negotiation_->acceptAckEnd >= 0;
    const bool psRdy = message.IsControl(kCtrlPsRdy);
    if ((accepted || prSwapPowerPhase_) && !psRdy) {
        std::vector<int64_t> packets = {message.number};
        if (accepted) {
            packets.push_back(negotiation_->accept->message.number);
        }
        Emit(
            "S-QUIET", Severity::kError, packets, message.start, std::nullopt, std::nullopt,
            MessageLabel(message) + " is sent " +
                (accepted ? "between " + MessageLabel(negotiation_->accept->message) + " and PS_RDY"
                          : std::string("during the power phase of a PR_Swap")) +
                ", where no other message belongs");
    }
    if (accepted && (IsRequest(message) || message.IsData(kDataSourceCapabilities) ||
                     message.IsControl(kCtrlSoftReset))) {
        Emit("S-PSRDY", Severity::kError, {negotiation_->request.message.number, message.number},
             message.start, std::nullopt, std::nullopt,
             "The accepted " + MessageLabel(negotiation_->request.message) +
                 " got no PS_RDY before " + MessageLabel(message));
        negotiation_.reset();
    }
}

void CheckWalk::ForgetConnection() {
    pending_.clear();
    negotiatedRevision_.reset();
    negotiation_.reset();
    softReset_.reset();
    softResetAccepted_ = false;
    sourceCaps_.reset();
    eprSourceCaps_.reset();
    eprMode_ = false;
    eprStep_ = EprStep::kNone;
    prSwapPowerPhase_ = false;
    sourcePort_ = 1;  // the roles of the attach
    dfpPort_ = 0;
    waitAckEnd_ = -1;
    lastPpsRequest_ = -1;
}

void CheckWalk::OnHardReset(const WalkMessage& reset, const PacketPtr& packet) {
    for (const Pending& pending : pending_) {
        const WalkMessage& request = pending.request.message;
        int64_t delay = reset.start - pending.ackEnd;
        if (delay > pending.limit + reset.guard) {
            Emit("T-RCVRSP", Severity::kError, {request.number, reset.number}, reset.start,
                 Millis(delay), Millis(pending.limit),
                 MessageLabel(request) + " had no response within " + MillisText(pending.limit) +
                     " of its GoodCRC (tReceiverResponse)");
        }
    }
    pending_.clear();
    if (negotiation_ && negotiation_->acceptAckEnd >= 0) {
        Emit("S-PSRDY", Severity::kError, {negotiation_->request.message.number, reset.number},
             reset.start, std::nullopt, std::nullopt,
             "The accepted " + MessageLabel(negotiation_->request.message) +
                 " got no PS_RDY before " + MessageLabel(reset));
    }
    if (eprMode_ && lastSinkMessage_) {
        int64_t gap = reset.start - lastSinkMessage_->message.end;
        if (gap > kSinkEprKeepAliveUs + reset.guard) {
            Emit("T-EPR-KEEPALIVE", Severity::kError, {lastSinkMessage_->message.number},
                 lastSinkMessage_->message.end, Millis(gap), Millis(kSinkEprKeepAliveUs),
                 "The sink sent nothing for " + MillisText(gap) +
                     " in EPR mode (tSinkEPRKeepAlive at most 500 ms)");
            if (gap < kSourceEprKeepAliveUs - reset.guard) {
                Emit("T-EPR-KEEPALIVE", Severity::kError, {reset.number}, reset.start, Millis(gap),
                     Millis(kSourceEprKeepAliveUs),
                     MessageLabel(reset) + " " + MillisText(gap) +
                         " after the sink's last message in EPR mode (tSourceEPRKeepAlive at "
                         "least 750 ms)");
            }
        }
    }
    if (contract_ && contract_->pdo.kind == PdoKind::kPps && lastPpsRequest_ >= 0) {
        int64_t gap = reset.start - lastPpsRequest_;
        if (gap > kPpsRequestUs + reset.guard) {
            Emit("T-PPS-REQ", Severity::kError, {reset.number}, reset.start, Millis(gap),
                 Millis(kPpsRequestUs),
                 "The sink sent no Request for " + MillisText(gap) +
                     " under a PPS contract before " + MessageLabel(reset) +
                     " (tPPSRequest at most 10 s)");
        }
    }
    if (hardReset_) {
        CheckHardResetRecovery(reset.start);
    }
    if (implicitContract_) {
        CheckImplicitWindow(reset.start);
    }
    EndContract(ContractEnd::kHardReset, reset.start);
    events_.push_back(MessageLabel(reset));
    ResetMessageIds(false, false);
    ForgetConnection();
    implicitContract_ = false;
    awaitingFirstCaps_ = true;
    firstCapsFrom_ = reset.end;
    hardReset_ = HeldMessage{packet, reset};
}

void CheckWalk::OnDetach(int64_t time) {
    if (negotiation_ && negotiation_->acceptAckEnd >= 0) {
        Emit("S-PSRDY", Severity::kError, {negotiation_->request.message.number}, time,
             std::nullopt, std::nullopt,
             "The accepted " + MessageLabel(negotiation_->request.message) +
                 " got no PS_RDY before VBUS fell to vSafe0V");
    }
    const int64_t descent = DescentStart(*trace_, time);
    if (implicitContract_) {
        CheckImplicitWindow(descent);
    }
    EndContract(ContractEnd::kDetach, descent);
    for (IdState& state : ids_) {
        state = IdState{};
    }
    ForgetConnection();
    lastSinkMessage_.reset();
    implicitContract_ = true;
    implicitFrom_ = time;
    awaitingFirstCaps_ = true;
    firstCapsFrom_ = time;
}

void CheckWalk::CheckEprEntry(const WalkMessage& message) {
    const int action = EprModeAction(message);
    if (action == kEprModeEnter && !message.source) {
        std::string missing;
        if (!contract_ || contract_->record.epr) {
            missing = "an SPR explicit contract";
        } else if (!sourceCaps_ || !DecodeSourcePdo(sourceCaps_->message.Object(0)).eprCapable) {
            missing = "a first PDO that says EPR Mode Capable";
        } else if (!contract_->rdo.eprCapable) {
            missing = "a Request that says EPR Mode Capable";
        }
        if (!missing.empty()) {
            Emit("S-EPR-ENTRY", Severity::kError, {message.number}, message.start, std::nullopt,
                 std::nullopt,
                 MessageLabel(message) + " asks to enter EPR mode without " + missing);
        }
        eprStep_ = EprStep::kAcknowledged;
        eprEnterNumber_ = message.number;
        return;
    }
    if (action == kEprModeExit) {
        eprMode_ = false;
    }
    if (eprStep_ == EprStep::kNone) {
        return;
    }
    bool expected = false;
    switch (eprStep_) {
        case EprStep::kAcknowledged:
            // A source that cannot enter may fail the request at once.
            expected = action == kEprModeEnterAcknowledged || action == kEprModeEnterFailed;
            break;
        case EprStep::kSucceeded:
            expected = action == kEprModeEnterSucceeded || action == kEprModeEnterFailed;
            if (expected && eprEnterAckEnd_ >= 0) {
                int64_t delay = message.start - eprEnterAckEnd_;
                if (delay > kEnterEprUs + message.guard) {
                    Emit("T-EPR-ENTER", Severity::kError, {message.number, eprEnterNumber_},
                         message.start, Millis(delay), Millis(kEnterEprUs),
                         MessageLabel(message) + " " + MillisText(delay) +
                             " after the GoodCRC of EPR_Mode Enter (tEnterEPR at most 550 ms)");
                }
            }
            break;
        case EprStep::kCapabilities:
            expected = message.IsExtended(kExtEprSourceCapabilities) && message.source;
            break;
        case EprStep::kRequest:
            if (message.IsExtended(kExtEprSourceCapabilities)) {
                return;  // further chunks and chunk requests
            }
            expected = message.IsData(kDataEprRequest) && !message.source;
            break;
        case EprStep::kAccept:
            expected = message.IsControl(kCtrlAccept);
            break;
        case EprStep::kPsRdy:
            expected = message.IsControl(kCtrlPsRdy);
            break;
        case EprStep::kNone:
            return;
    }
    if (!expected) {
        Emit("S-EPR-ENTRY", Severity::kError, {message.number, eprEnterNumber_}, message.start,
             std::nullopt, std::nullopt,
             MessageLabel(message) + " where EPR entry goes on with " +
                 ExpectedEprText(static_cast<int>(eprStep_)));
        eprStep_ = EprStep::kNone;
        return;
    }
    if (action == kEprModeEnterFailed) {
        eprStep_ = EprStep::kNone;
        return;
    }
    if (action == kEprModeEnterSucceeded) {
        eprMode_ = true;
    }
    eprStep_ = eprStep_ == EprStep::kPsRdy ? EprStep::kNone
                                           : static_cast<EprStep>(static_cast<int>(eprStep_) + 1);
}

void CheckWalk::CheckEprKeepAlive(const WalkMessage& message) {
    if (!eprMode_ || message.source || !lastSinkMessage_) {
        return;
    }
    int64_t gap = message.start - lastSinkMessage_->message.end;
    if (gap > kSinkEprKeepAliveUs + message.guard) {
        Emit("T-EPR-KEEPALIVE", Severity::kError,
             {message.number, lastSinkMessage_->message.number}, message.start, Millis(gap),
             Millis(kSinkEprKeepAliveUs),
             MessageLabel(message) + " is the sink's first message for " + MillisText(gap) +
                 " in EPR mode (tSinkEPRKeepAlive at most 500 ms)");
    }
}
