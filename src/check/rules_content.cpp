// Message content rules: capabilities, requests and PD 3.x-only messages.
#include "check/check_walk.h"
#include "check/message_classes.h"
#include "pd/message_header.h"

namespace {

constexpr int kMaxSprPdos = 7;
constexpr int kMaxEprPdos = 11;
constexpr int kFirstEprPosition = 8;

std::vector<uint32_t> DataObjects(const WalkMessage& message) {
    std::vector<uint32_t> objects;
    for (int i = 0; i < message.objects; ++i) {
        objects.push_back(message.Object(i));
    }
    return objects;
}

// A PDO only EPR mode may offer: Fixed above 20 V or an EPR AVS.
bool IsEprPdo(uint32_t pdo) {
    PowerObject object = DecodeSourcePdo(pdo);
    return (object.kind == PdoKind::kFixed && object.voltage > 20000) ||
           object.kind == PdoKind::kEprAvs;
}

// Control 14-24, Data 5-12 and every Extended message exist only from PD 3.0 on.
bool IsPd3Only(const WalkMessage& message) {
    switch (message.kind) {
        case MessageKind::kControl:
            return message.type >= kCtrlDataReset && message.type <= kCtrlGetRevision;
        case MessageKind::kData:
            return message.type >= kDataBatteryStatus && message.type <= kDataRevision;
        case MessageKind::kExtended:
            return true;
        default:
            return false;
    }
}

}  // namespace

bool CheckWalk::CheckCapsHead(const WalkMessage& message, const std::vector<uint32_t>& pdos,
                              int maxPdos) {
    if (pdos.empty() || static_cast<int>(pdos.size()) > maxPdos) {
        Emit("M-NDO", Severity::kError, {message.number}, message.start, std::nullopt, std::nullopt,
             MessageLabel(message) + " carries " + std::to_string(pdos.size()) + " PDOs (1 to " +
                 std::to_string(maxPdos) + ")");
    }
    if (pdos.empty()) {
        return false;
    }
    PowerObject first = DecodeSourcePdo(pdos.front());
    if (first.kind != PdoKind::kFixed || first.voltage != 5000) {
        Emit("M-SRCCAP-FIRST", Severity::kError, {message.number}, message.start, std::nullopt,
             std::nullopt,
             MessageLabel(message) + " starts with a " + PdoKindName(first.kind) + " PDO" +
                 (first.kind == PdoKind::kFixed ? " of " + std::to_string(first.voltage) + " mV"
                                                : std::string()) +
                 " where the first PDO is Fixed 5 V");
    }
    return true;
}

void CheckWalk::CheckCapabilities(const WalkMessage& message) {
    std::vector<uint32_t> pdos = DataObjects(message);
    if (!CheckCapsHead(message, pdos, kMaxSprPdos)) {
        return;
    }
    if (std::optional<std::string> problem = PdoOrderProblem(pdos, message.revision == 1)) {
        Emit("M-SRCCAP-ORDER", Severity::kError, {message.number}, message.start, std::nullopt,
             std::nullopt, MessageLabel(message) + ": " + *problem);
    }
}

void CheckWalk::CheckEprCapabilities(const WalkMessage& message,
                                     const std::vector<uint32_t>& pdos) {
    if (!CheckCapsHead(message, pdos, kMaxEprPdos)) {
        return;
    }
    const size_t sprCount = std::min<size_t>(pdos.size(), kFirstEprPosition - 1);
    std::vector<uint32_t> spr(pdos.begin(), pdos.begin() + static_cast<std::ptrdiff_t>(sprCount));
    std::vector<uint32_t> epr(pdos.begin() + static_cast<std::ptrdiff_t>(sprCount), pdos.end());
    for (const std::vector<uint32_t>* part : {&spr, &epr}) {
        if (std::optional<std::string> problem = PdoOrderProblem(*part, false)) {
            Emit("M-SRCCAP-ORDER", Severity::kError, {message.number}, message.start, std::nullopt,
                 std::nullopt, MessageLabel(message) + ": " + *problem);
            break;
        }
    }
    for (size_t i = 0; i < spr.size(); ++i) {
        uint32_t mirrored = 0;
        if (sourceCaps_ && static_cast<int>(i) < sourceCaps_->message.objects) {
            mirrored = sourceCaps_->message.Object(static_cast<int>(i));
        }
        bool wrong = sourceCaps_ ? spr[i] != mirrored : IsEprPdo(spr[i]);
        if (wrong) {
            Emit("M-EPR-SRCCAP", Severity::kError, {message.number}, message.start, std::nullopt,
                 std::nullopt,
                 MessageLabel(message) + ": position " + std::to_string(i + 1) +
                     (sourceCaps_ ? " does not mirror the SPR capabilities of " +
                                        MessageLabel(sourceCaps_->message)
                                  : std::string(" holds an EPR PDO")) +
                     " (EPR PDOs start at position 8)");
            break;
        }
    }
}

void CheckWalk::CheckRequest(const WalkMessage& message, const PacketPtr& packet) {
    const bool eprRequest = message.IsData(kDataEprRequest);
    std::vector<uint32_t> pdos;
    std::optional<HeldMessage> caps;
    if (eprRequest && eprSourceCaps_) {
        pdos = ExtendedPdos(eprSourceCaps_->message);
        caps = eprSourceCaps_;
        if (!eprCapsChecked_) {
            eprCapsChecked_ = true;
            CheckEprCapabilities(eprSourceCaps_->message, pdos);
        }
    } else if (sourceCaps_) {
        pdos = DataObjects(sourceCaps_->message);
        caps = sourceCaps_;
    }
    Negotiation negotiation;
    negotiation.request = HeldMessage{packet, message};
    const uint32_t rdo = message.Object(0);
    const int position = RequestPosition(rdo);
    if (caps) {
        if (position < 1 || position > static_cast<int>(pdos.size()) ||
            pdos[static_cast<size_t>(position - 1)] == 0) {
            negotiation.invalid = true;
            Emit("M-RDO-POS", Severity::kError, {message.number, caps->message.number},
                 message.start, std::nullopt, std::nullopt,
                 MessageLabel(message) + " asks for object position " + std::to_string(position) +
                     " where " + MessageLabel(caps->message) + " offers 1 to " +
                     std::to_string(pdos.size()));
        } else {
            const uint32_t pdo = pdos[static_cast<size_t>(position - 1)];
            negotiation.pdo = DecodeSourcePdo(pdo);
            negotiation.rdo = DecodeRequest(rdo, *negotiation.pdo);
            for (const RequestProblem& problem :
                 RequestProblems(negotiation.rdo, *negotiation.pdo)) {
                negotiation.invalid = true;
                Emit(problem.rule.c_str(), Severity::kError, {message.number, caps->message.number},
                     message.start, std::nullopt, std::nullopt,
                     MessageLabel(message) + ": " + problem.text);
            }
            if (eprRequest && message.Object(1) != pdo) {
                Emit("M-EPR-REQ", Severity::kError, {message.number, caps->message.number},
                     message.start, std::nullopt, std::nullopt,
                     MessageLabel(message) + " carries a PDO copy that differs from position " +
                         std::to_string(position) + " of " + MessageLabel(caps->message));
            }
        }
        negotiation.capsNumber = caps->message.number;
        negotiation.offered = pdos;
    }
    negotiation_ = std::move(negotiation);
}

void CheckWalk::CheckPd3Only(const WalkMessage& message) {
    if (negotiatedRevision_ && *negotiatedRevision_ == 1 && IsPd3Only(message)) {
        Emit("M-PD3-ONLY", Severity::kError, {message.number}, message.start, std::nullopt,
             std::nullopt,
             MessageLabel(message) + " exists only in PD 3.x, but the ports settled on PD 2.0");
    }
}
