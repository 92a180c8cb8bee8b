#include "check/check_walk.h"

#include <algorithm>

#include "pd/message_header.h"

namespace {

constexpr int kSafe0vMv = 800;  // vSafe0V

}  // namespace

CheckWalk::CheckWalk(const CheckOptions& options) : options_(options) {}

void CheckWalk::Advance(const DocumentSnapshot& snapshot, size_t end) {
    snapshot_ = &snapshot;
    trace_.emplace(snapshot.samples);
    if (!traceStartSeen_ && trace_->Size() > 0) {
        // A capture that starts with VBUS up joined a connection whose contract is unknown.
        traceStartSeen_ = true;
        if (trace_->At(0).voltage >= kSafe0vMv) {
            implicitContract_ = false;
        }
    }
    end = std::min(end, snapshot.packets.size());
    for (; walked_ < end; ++walked_) {
        const PacketPtr& packet = snapshot.packets[walked_];
        if (!packet) {
            continue;
        }
        WalkMessage message = MakeWalkMessage(*packet, static_cast<int64_t>(walked_));
        message.port = static_cast<int8_t>(LogicalPort(message));
        Walk(message, packet);
    }
}

int CheckWalk::LogicalPort(const WalkMessage& message) {
    if (message.kind == MessageKind::kNone || message.kind == MessageKind::kHardReset ||
        message.kind == MessageKind::kCableReset) {
        return 0;
    }
    if (message.orderedSet != kOsSop) {
        return message.source ? 3 : 0;  // the cable plug, or one of the ports
    }
    auto other = [](int port) { return port == 1 ? 2 : 1; };
    if (prSwapPowerPhase_ && dfpPort_ != 0) {
        // The power role bits change hands during the swap; the data roles do not.
        return message.dfp ? dfpPort_ : other(dfpPort_);
    }
    const int port = message.source ? sourcePort_ : other(sourcePort_);
    if (dfpPort_ == 0) {
        dfpPort_ = message.dfp ? port : other(port);
    }
    return port;
}

void CheckWalk::Walk(const WalkMessage& message, const PacketPtr& packet) {
    if (trace_->Measured() && previous_) {
        CheckDetach(previous_->message.end, message.start);
    }
    if (message.kind == MessageKind::kHardReset) {
        unacked_.reset();
        OnHardReset(message, packet);
    } else if (message.kind == MessageKind::kCableReset) {
        unacked_.reset();
        ResetMessageIds(false, true);
        events_.push_back(MessageLabel(message));
    } else if (message.IsGoodCrc()) {
        OnGoodCrc(message);
        unacked_.reset();
    } else if (message.IsMessage()) {
        const std::optional<int64_t> original =
            unacked_ ? std::optional(retryOriginal_.value_or(unacked_->message.number))
                     : std::nullopt;
        if (OnRetry(message)) {
            retryOriginal_ = original;
        } else {
            retryOriginal_.reset();
            copies_ = 1;
            retryCountReported_ = false;
            CheckMessageId(message, packet);
            CheckRevision(message);
            OnNewMessage(message, packet);
        }
        // Unacknowledged until its GoodCRC arrives.
        unacked_ = HeldMessage{packet, message};
    }
    previous_ = HeldMessage{packet, message};
}

void CheckWalk::Emit(const char* rule, Severity severity, std::vector<int64_t> packets,
                     int64_t time, std::optional<Quantity> measured, std::optional<Quantity> limit,
                     std::string text) {
    Finding finding;
    finding.rule = rule;
    finding.severity = severity;
    finding.packets = std::move(packets);
    finding.time = time;
    finding.measured = std::move(measured);
    finding.limit = std::move(limit);
    finding.text = std::move(text);
    findings_.push_back(std::move(finding));
}

int64_t CheckWalk::VbusGuard(const WalkMessage& message) const {
    return trace_->Interval() + message.guard;
}

void CheckWalk::Finish() {
    const int64_t end = trace_->Size() > 0 ? trace_->LastTime()
                        : previous_        ? previous_->message.end
                                           : 0;
    if (trace_->Measured() && previous_) {
        CheckDetach(previous_->message.end, end + 1);
    }
    if (hardReset_) {
        CheckHardResetRecovery(end);
    }
    if (implicitContract_) {
        CheckImplicitWindow(end);
    }
    if (contract_) {
        EndContract(ContractEnd::kCaptureEnd, end);
    }
}

CheckReport CheckWalk::Report(const DocumentSnapshot& snapshot) const {
    CheckWalk finished = *this;
    // The copy's contracts fill their vector exactly: room for the one the capture end closes,
    // so that closing it does not double the vector the report hands on.
    finished.contracts_.reserve(contracts_.size() + 1);
    finished.snapshot_ = &snapshot;
    finished.trace_.emplace(snapshot.samples);
    finished.Finish();
    CheckReport report;
    report.vbusMeasured = finished.trace_->Measured();
    report.findings = std::move(finished.findings_);
    if (!report.vbusMeasured) {
        Finding notice;
        notice.rule = "E-NO-VBUS";
        notice.severity = Severity::kInfo;
        notice.text =
            "The capture holds no VBUS measurement: the VBUS, current and transition timing "
            "rules were skipped";
        report.findings.insert(report.findings.begin(), std::move(notice));
    }
    std::stable_sort(report.findings.begin(), report.findings.end(),
                     [](const Finding& a, const Finding& b) { return a.time < b.time; });
    report.contracts = std::move(finished.contracts_);
    return report;
}

CheckReport CheckCapture(const DocumentSnapshot& snapshot, const CheckOptions& options) {
    CheckWalk walk(options);
    walk.Advance(snapshot, snapshot.packets.size());
    return walk.Report(snapshot);
}
