// Contracts and the rules measured on the VBUS/IBUS trace: transitions, bands, hard reset
// recovery, standby and current.
#include <algorithm>
#include <climits>
#include <cstdlib>

#include "check/check_units.h"
#include "check/check_walk.h"
#include "pd/message_header.h"

namespace {

constexpr int kSafe5vLow = 4750;  // vSafe5V
constexpr int kSafe5vHigh = 5500;
constexpr int kSafe0v = 800;                              // vSafe0V
constexpr int kValidMarginMv = 500;                       // vSrcValid beyond vSrcNew
constexpr int64_t kPsTransitionSpr[] = {450000, 550000};  // tPSTransition
constexpr int64_t kPsTransitionEpr[] = {830000, 1020000};
constexpr int64_t kSrcTransition[] = {25000, 35000};  // tSrcTransition
constexpr int64_t kSrcSettleUs = 275000;              // tSrcSettle
constexpr int64_t kSrcReadyUs = 285000;               // tSrcReady
constexpr int64_t kSnkStandbyUs = 15000;              // tSnkStdby
constexpr int64_t kSnkStandbyMw = 2500;               // pSnkStdby
constexpr int64_t kFirstCapsUs = 250000;              // tFirstSourceCap
constexpr int64_t kPsHardReset[] = {25000, 35000};    // tPSHardReset
constexpr int64_t kSafe0vUs = 650000;                 // tSafe0V
constexpr int64_t kSrcRecover[] = {660000, 1000000};  // tSrcRecover
constexpr int64_t kSrcTurnOnUs = 275000;              // tSrcTurnOn
constexpr int64_t kCurrentWindowUs = 1000000;         // IBUS is averaged over one second
constexpr int kCurrentAllowanceMa = 10;               // the probe's reading of a steady load
constexpr int kFallStartMv = 300;   // VBUS has started falling once this far below its level
constexpr int kFallingStepMv = 20;  // each sample of a discharge this far below the one before

struct Band {
    int low = 0;
    int high = INT_MAX;
};

Band Percent5(int millivolts) {
    return {millivolts * 95 / 100, millivolts * 105 / 100};
}

// How far a voltage is outside the band, 0 inside.
int Distance(int millivolts, Band band) {
    return static_cast<int>(BandDistance(millivolts, band.low, band.high));
}

Band Widen(Band band, int margin) {
    return {band.low - margin, band.high + margin};
}

std::string Mv(int millivolts) {
    return QuantityText({millivolts / 1000.0, "V"});
}

// The band the contract's VBUS belongs to: vSrcNew for Fixed, the range for Variable and
// Battery, the requested voltage +-5 % for programmable supplies.
Band ContractBand(const PowerObject& pdo, const RequestObject& rdo) {
    switch (pdo.kind) {
        case PdoKind::kFixed:
            return Percent5(pdo.voltage);
        case PdoKind::kBattery:
        case PdoKind::kVariable:
            return {pdo.minVoltage, pdo.maxVoltage};
        default:
            return Percent5(rdo.outputVoltage);
    }
}

int TargetVoltage(const PowerObject& pdo, const RequestObject& rdo) {
    return pdo.IsApdo() ? rdo.outputVoltage : pdo.kind == PdoKind::kFixed ? pdo.voltage : 0;
}

}  // namespace

void CheckWalk::OnAccepted(int64_t ackEnd) {
    Negotiation& negotiation = *negotiation_;
    negotiation.acceptAckEnd = ackEnd;
    if (contract_) {
        Band band = ContractBand(contract_->pdo, contract_->rdo);
        negotiation.oldLow = band.low;
        negotiation.oldHigh = band.high;
        negotiation.oldFixed = contract_->pdo.kind == PdoKind::kFixed;
        negotiation.oldVoltage = TargetVoltage(contract_->pdo, contract_->rdo);
    } else if (!implicitContract_) {
        std::optional<VbusSample> now = trace_->AtOrBefore(ackEnd);
        Band band = Percent5(now ? now->voltage : 0);
        negotiation.oldLow = band.low;
        negotiation.oldHigh = band.high;
        negotiation.oldFixed = false;
        negotiation.oldVoltage = now ? now->voltage : 0;
    }
    if (implicitContract_) {
        CheckImplicitWindow(ackEnd);
        implicitContract_ = false;
    }
    EndContract(ContractEnd::kNewRequest, ackEnd);
}

void CheckWalk::OnPsRdy(const WalkMessage& psRdy) {
    Negotiation& negotiation = *negotiation_;
    const int64_t acceptEnd = negotiation.acceptAckEnd;
    const int64_t latency = psRdy.start - acceptEnd;
    const bool epr = negotiation.request.message.IsData(kDataEprRequest) ||
                     RequestPosition(negotiation.request.message.Object(0)) >= 8;
    const int64_t* window = epr ? kPsTransitionEpr : kPsTransitionSpr;
    const std::vector<int64_t> packets = {psRdy.number, negotiation.accept->message.number};
    if (latency > window[0] + psRdy.guard) {
        bool late = latency > window[1] + psRdy.guard;
        Emit("T-PSTRANS", late ? Severity::kError : Severity::kWarning, packets, psRdy.start,
             Millis(latency), Millis(late ? window[1] : window[0]),
             "PS_RDY " + MillisText(latency) + " after the GoodCRC of " +
                 MessageLabel(negotiation.accept->message) + " (tPSTransition " +
                 MillisText(window[0]) + " to " + MillisText(window[1]) + ")");
    }

    ActiveContract active;
    Contract& record = active.record;
    record.capsPacket = negotiation.capsNumber;
    record.requestPacket = negotiation.request.message.number;
    record.acceptPacket = negotiation.accept->message.number;
    record.psRdyPacket = psRdy.number;
    record.time = negotiation.request.message.start;
    record.offered = negotiation.offered;
    record.position = RequestPosition(negotiation.request.message.Object(0));
    record.epr = epr;
    record.acceptLatency = negotiation.acceptLatency;
    record.psRdyLatency = latency;
    record.events = std::move(events_);
    events_.clear();
    active.steadyFrom = psRdy.start;
    if (negotiation.pdo) {
        active.pdo = *negotiation.pdo;
        active.rdo = negotiation.rdo;
        record.pdoType = PdoKindName(active.pdo.kind);
        record.voltage = TargetVoltage(active.pdo, active.rdo);
        record.minVoltage = active.pdo.kind == PdoKind::kFixed ? 0 : active.pdo.minVoltage;
        record.maxVoltage = active.pdo.kind == PdoKind::kFixed ? 0 : active.pdo.maxVoltage;
        record.current = active.rdo.operatingCurrent;
        record.maxCurrent = active.pdo.maxCurrent;
        record.power = active.rdo.operatingPower;
    }

    if (trace_->Measured() && negotiation.pdo) {
        const int64_t guard = VbusGuard(psRdy);
        const Band band = ContractBand(active.pdo, active.rdo);
        const bool fixedChange = !active.pdo.IsApdo() &&
                                 (band.low > negotiation.oldHigh || band.high < negotiation.oldLow);
        if (fixedChange) {
            std::optional<VbusSample> leave = trace_->FirstOutside(
                acceptEnd, psRdy.start, negotiation.oldLow, negotiation.oldHigh);
            if (leave) {
                int64_t start = leave->time - acceptEnd;
                record.transitionStart = start;
                if (start < kSrcTransition[0] - guard) {
                    Emit("T-SRCTRANS", Severity::kError, packets, leave->time, Millis(start),
                         Millis(kSrcTransition[0]),
                         "VBUS left the old contract's band " + MillisText(start) +
                             " after the GoodCRC of " + MessageLabel(negotiation.accept->message) +
                             " (tSrcTransition at least 25 ms)");
                } else if (start > kSrcTransition[1] + guard) {
                    Emit("T-SRCTRANS", Severity::kWarning, packets, leave->time, Millis(start),
                         Millis(kSrcTransition[1]),
                         "VBUS left the old contract's band " + MillisText(start) +
                             " after the GoodCRC of " + MessageLabel(negotiation.accept->message) +
                             " (tSrcTransition at most 35 ms)");
                }
                const Severity readySeverity = eprMode_ ? Severity::kWarning : Severity::kError;
                // Settled: inside the new band from some sample on, up to PS_RDY.
                const int64_t settleEnd = psRdy.start + guard;
                std::optional<int64_t> settled;
                for (size_t i = trace_->FirstAtOrAfter(leave->time); i < trace_->Size(); ++i) {
                    VbusSample sample = trace_->At(i);
                    if (sample.time > settleEnd) {
                        break;
                    }
                    bool inside = sample.voltage >= band.low && sample.voltage <= band.high;
                    if (!inside) {
                        settled.reset();
                    } else if (!settled) {
                        settled = sample.time - leave->time;
                    }
                }
                record.settleTime = settled;
                const int64_t observed = psRdy.start - leave->time;
                if (settled ? *settled > kSrcSettleUs + guard : observed > kSrcSettleUs + guard) {
                    Emit("T-SRCREADY", readySeverity, packets, leave->time,
                         settled ? std::optional<Quantity>(Millis(*settled)) : std::nullopt,
                         Millis(kSrcSettleUs),
                         "VBUS " +
                             (settled ? "settled in the new band " + MillisText(*settled)
                                      : "was not settled in the new band at PS_RDY, " +
                                            MillisText(observed)) +
                             " after the transition started (tSrcSettle at most 275 ms)");
                }
                int64_t ready = psRdy.start - leave->time;
                if (ready > kSrcReadyUs + guard) {
                    Emit("T-SRCREADY", readySeverity, packets, psRdy.start, Millis(ready),
                         Millis(kSrcReadyUs),
                         "PS_RDY " + MillisText(ready) +
                             " after the VBUS transition started (tSrcReady at most 285 ms)");
                }
                int target = TargetVoltage(active.pdo, active.rdo);
                std::optional<VbusSample> highest = trace_->Highest(leave->time, settleEnd);
                if (target > 0 && highest) {
                    record.overshoot = std::max(0, highest->voltage - target);
                }
                active.steadyFrom = std::max(psRdy.start, leave->time + kSrcSettleUs + guard);
            }
            if (negotiation.oldFixed && active.pdo.kind == PdoKind::kFixed) {
                int64_t from = acceptEnd + kSnkStandbyUs + guard;
                int64_t worst = 0;
                std::optional<VbusSample> at;
                for (size_t i = trace_->FirstAtOrAfter(from); i < trace_->Size(); ++i) {
                    VbusSample sample = trace_->At(i);
                    if (sample.time > psRdy.start) {
                        break;
                    }
                    int64_t power = int64_t{sample.voltage} * std::abs(sample.current) / 1000;
                    if (power > worst) {
                        worst = power;
                        at = sample;
                    }
                }
                if (worst > kSnkStandbyMw) {
                    Emit("E-SINK-STANDBY", Severity::kError, packets, at->time, Milliwatts(worst),
                         Milliwatts(kSnkStandbyMw),
                         "The sink drew " + QuantityText({worst / 1000.0, "W"}) +
                             " during the voltage change, " + MillisText(at->time - acceptEnd) +
                             " after the GoodCRC of Accept (pSnkStdby at most 2.5 W after "
                             "tSnkStdby 15 ms)");
                }
            }
        }
        if (active.pdo.kind == PdoKind::kFixed) {
            // The sample nearest the band within one sampling interval of PS_RDY.
            std::optional<VbusSample> at;
            for (size_t i = trace_->FirstAtOrAfter(psRdy.start - guard); i < trace_->Size(); ++i) {
                VbusSample sample = trace_->At(i);
                if (sample.time > psRdy.start + guard) {
                    break;
                }
                if (!at || Distance(sample.voltage, band) < Distance(at->voltage, band)) {
                    at = sample;
                }
            }
            const Band valid = Widen(band, kValidMarginMv);
            if (at && Distance(at->voltage, band) > 0) {
                bool invalid = at->voltage < valid.low || at->voltage > valid.high;
                Emit("E-PSRDY-VBUS", invalid ? Severity::kError : Severity::kWarning,
                     {psRdy.number}, psRdy.start, Millivolts(at->voltage),
                     Millivolts(active.pdo.voltage),
                     "VBUS " + Mv(at->voltage) + " at " + MessageLabel(psRdy) + " for a " +
                         Mv(active.pdo.voltage) + " contract (" +
                         (invalid ? "vSrcValid " + Mv(valid.low) + " to " + Mv(valid.high)
                                  : "vSrcNew " + Mv(band.low) + " to " + Mv(band.high)) +
                         ")");
            }
        }
    }
    contract_ = std::move(active);
    implicitContract_ = false;
    negotiation_.reset();
}

void CheckWalk::EndContract(ContractEnd end, int64_t time) {
    if (!contract_) {
        return;
    }
    Contract& record = contract_->record;
    record.end = end;
    record.endTime = time;
    record.events.insert(record.events.end(), events_.begin(), events_.end());
    events_.clear();
    if (trace_->Measured()) {
        if (std::optional<VbusSample> last = trace_->AtOrBefore(time)) {
            record.finalVoltage = last->voltage;
        }
        CheckContractPower(record, contract_->steadyFrom, time);
    }
    contracts_.push_back(std::move(record));
    contract_.reset();
}

void CheckWalk::CheckContractPower(const Contract& record, int64_t from, int64_t to) {
    const PowerObject& pdo = contract_->pdo;
    const RequestObject& rdo = contract_->rdo;
    const std::vector<int64_t> packets = {record.psRdyPacket, record.requestPacket};
    if (record.pdoType.empty() || to <= from) {
        return;
    }
    const Band band = ContractBand(pdo, rdo);
    if (pdo.kind == PdoKind::kFixed) {
        const Band valid = Widen(band, kValidMarginMv);
        if (std::optional<VbusSample> worst =
                trace_->FarthestOutside(from, to, band.low, band.high)) {
            bool invalid = worst->voltage < valid.low || worst->voltage > valid.high;
            Emit("E-CONTRACT-V", invalid ? Severity::kError : Severity::kWarning, packets,
                 worst->time, Millivolts(worst->voltage), Millivolts(pdo.voltage),
                 "VBUS " + Mv(worst->voltage) + " during the " + Mv(pdo.voltage) +
                     " contract of Request #" + std::to_string(record.requestPacket) + " (" +
                     (invalid ? "vSrcValid " + Mv(valid.low) + " to " + Mv(valid.high)
                              : "vSrcNew " + Mv(band.low) + " to " + Mv(band.high)) +
                     ")");
        }
    } else if (pdo.IsApdo()) {
        if (std::optional<VbusSample> worst =
                trace_->FarthestOutside(from, to, band.low, band.high)) {
            Emit("E-PPS-V", Severity::kError, packets, worst->time, Millivolts(worst->voltage),
                 Millivolts(rdo.outputVoltage),
                 "VBUS " + Mv(worst->voltage) + " under the " + PdoKindName(pdo.kind) +
                     " contract of Request #" + std::to_string(record.requestPacket) + " for " +
                     Mv(rdo.outputVoltage) + " (at most 5 % off)");
        }
    }

    // Mean current over whole one-second windows.
    const bool battery = pdo.kind == PdoKind::kBattery;
    const int64_t operating = battery ? rdo.operatingPower : rdo.operatingCurrent;
    const int64_t maximum = battery ? pdo.maxPower : pdo.maxCurrent;
    const char* unit = battery ? "mW" : "mA";
    // Only a mean above the lower of the two limits is reported.
    int64_t threshold = INT64_MAX;
    if (maximum > 0) {
        threshold = maximum + kCurrentAllowanceMa;
    }
    if (operating > 0) {
        threshold = std::min(threshold, operating + kCurrentAllowanceMa);
    }
    if (threshold == INT64_MAX) {
        return;
    }
    const std::optional<WindowMean> window =
        trace_->HighestWindowMean(from, to, kCurrentWindowUs, battery, threshold);
    if (!window) {
        return;
    }
    const int64_t worstMean = window->mean;
    const int64_t worstTime = window->start;
    if (maximum > 0 && worstMean > maximum + kCurrentAllowanceMa) {
        Emit("E-SINK-CURRENT", Severity::kError, packets, worstTime,
             Quantity{static_cast<double>(worstMean), unit},
             Quantity{static_cast<double>(maximum), unit},
             std::string("The sink drew ") + (battery ? "a mean " : "a mean IBUS of ") +
                 std::to_string(worstMean) + " " + unit + " over one second, above the PDO's " +
                 "maximum of " + std::to_string(maximum) + " " + unit);
    } else if (operating > 0 && worstMean > operating + kCurrentAllowanceMa) {
        Emit("E-SINK-CURRENT", Severity::kWarning, packets, worstTime,
             Quantity{static_cast<double>(worstMean), unit},
             Quantity{static_cast<double>(operating), unit},
             std::string("The sink drew ") + (battery ? "a mean " : "a mean IBUS of ") +
                 std::to_string(worstMean) + " " + unit + " over one second, above the " +
                 (battery ? "Operating Power" : "Operating Current") + " of " +
                 std::to_string(operating) + " " + unit + " it requested");
    }
}

void CheckWalk::CheckImplicitWindow(int64_t to) {
    if (!trace_->Measured() || implicitFrom_ < 0) {
        return;
    }
    std::optional<VbusSample> up = trace_->FirstInside(implicitFrom_, to, kSafe5vLow, INT_MAX);
    if (!up) {
        return;
    }
    const Band band{kSafe5vLow, kSafe5vHigh};
    if (std::optional<VbusSample> worst =
            trace_->FarthestOutside(up->time, to, band.low, band.high)) {
        Emit("E-VSAFE5V", Severity::kError, {}, worst->time, Millivolts(worst->voltage),
             Millivolts(worst->voltage > kSafe5vHigh ? kSafe5vHigh : kSafe5vLow),
             "VBUS " + Mv(worst->voltage) +
                 " under the implicit contract (vSafe5V 4.75 V to 5.5 V)");
    }
    implicitFrom_ = to;
}

void CheckWalk::CheckFirstCaps(const WalkMessage& caps) {
    if (!awaitingFirstCaps_) {
        return;
    }
    awaitingFirstCaps_ = false;
    if (!trace_->Measured()) {
        return;
    }
    size_t i = trace_->FirstAtOrAfter(caps.start);
    while (i > 0 && trace_->At(i - 1).time >= firstCapsFrom_ &&
           trace_->At(i - 1).voltage >= kSafe5vLow) {
        --i;
    }
    if (i == 0 || i >= trace_->Size() || trace_->At(i - 1).time < firstCapsFrom_ ||
        trace_->At(i).time > caps.start) {
        return;  // VBUS was up all along, or is not up yet
    }
    const VbusSample up = trace_->At(i);
    const int64_t delay = caps.start - up.time;
    if (delay > kFirstCapsUs + VbusGuard(caps)) {
        Emit("T-FIRSTCAP", Severity::kError, {caps.number}, caps.start, Millis(delay),
             Millis(kFirstCapsUs),
             "First " + MessageLabel(caps) + " " + MillisText(delay) +
                 " after VBUS reached 4.75 V (tFirstSourceCap at most 250 ms)");
    }
}

void CheckWalk::CheckHardResetRecovery(int64_t to) {
    const WalkMessage reset = hardReset_->message;
    hardReset_.reset();
    if (!trace_->Measured()) {
        return;
    }
    const int64_t guard = VbusGuard(reset);
    const int64_t from = reset.end;
    std::optional<VbusSample> level = trace_->AtOrBefore(reset.start);
    if (!level || level->voltage < kSafe5vLow) {
        return;
    }
    auto fail = [&](int64_t time, std::optional<Quantity> measured, Quantity limit,
                    const std::string& text) {
        Emit("T-HARDRESET", Severity::kError, {reset.number}, time, std::move(measured),
             std::move(limit), "After " + MessageLabel(reset) + ", " + text);
    };
    std::optional<VbusSample> fall =
        trace_->FirstInside(from, to, 0, level->voltage - kFallStartMv);
    if (!fall) {
        if (to - from > kPsHardReset[1] + guard) {
            fail(from, std::nullopt, Millis(kPsHardReset[1]),
                 "VBUS did not start falling (tPSHardReset 25 ms to 35 ms)");
        }
        return;
    }
    int64_t delay = fall->time - from;
    if (delay < kPsHardReset[0] - guard || delay > kPsHardReset[1] + guard) {
        fail(fall->time, Millis(delay),
             Millis(delay < kPsHardReset[0] ? kPsHardReset[0] : kPsHardReset[1]),
             "VBUS started falling after " + MillisText(delay) + " (tPSHardReset 25 ms to 35 ms)");
    }
    std::optional<VbusSample> safe = trace_->FirstInside(fall->time, to, 0, kSafe0v);
    if (!safe) {
        if (to - fall->time > kSafe0vUs + guard) {
            fail(fall->time, std::nullopt, Millis(kSafe0vUs),
                 "VBUS did not reach vSafe0V (0.8 V) within tSafe0V 650 ms");
        }
        return;
    }
    delay = safe->time - fall->time;
    if (delay > kSafe0vUs + guard) {
        fail(safe->time, Millis(delay), Millis(kSafe0vUs),
             "VBUS reached vSafe0V (0.8 V) after " + MillisText(delay) +
                 " (tSafe0V at most 650 ms)");
    }
    std::optional<VbusSample> rise = trace_->FirstOutside(safe->time, to, 0, kSafe0v);
    if (!rise) {
        if (to - safe->time > kSrcRecover[1] + guard) {
            fail(safe->time, std::nullopt, Millis(kSrcRecover[1]),
                 "VBUS stayed at vSafe0V beyond tSrcRecover 1 s");
        }
        return;
    }
    delay = rise->time - safe->time;
    if (delay < kSrcRecover[0] - guard || delay > kSrcRecover[1] + guard) {
        fail(rise->time, Millis(delay),
             Millis(delay < kSrcRecover[0] ? kSrcRecover[0] : kSrcRecover[1]),
             "VBUS stayed at vSafe0V for " + MillisText(delay) + " (tSrcRecover 660 ms to 1 s)");
    }
    std::optional<VbusSample> up = trace_->FirstInside(rise->time, to, kSafe5vLow, INT_MAX);
    if (!up) {
        if (to - rise->time > kSrcTurnOnUs + guard) {
            fail(rise->time, std::nullopt, Millis(kSrcTurnOnUs),
                 "VBUS did not reach 4.75 V within tSrcTurnOn 275 ms");
        }
        return;
    }
    delay = up->time - rise->time;
    if (delay > kSrcTurnOnUs + guard) {
        fail(up->time, Millis(delay), Millis(kSrcTurnOnUs),
             "VBUS reached 4.75 V " + MillisText(delay) +
                 " after it left vSafe0V (tSrcTurnOn at most 275 ms)");
    }
    implicitContract_ = true;
    implicitFrom_ = up->time;
    firstCapsFrom_ = safe->time;
}

int64_t DescentStart(const VbusTrace& trace, int64_t time) {
    size_t i = trace.FirstAtOrAfter(time);
    if (i >= trace.Size()) {
        return time;
    }
    while (i > 0 && trace.At(i - 1).voltage > trace.At(i).voltage + kFallingStepMv) {
        --i;
    }
    return trace.At(i).time - 1;
}

void CheckWalk::CheckDetach(int64_t from, int64_t to) {
    if (hardReset_ || prSwapPowerPhase_ || to <= from) {
        return;
    }
    const SampleSnapshot& samples = snapshot_->samples;
    size_t first = trace_->FirstAtOrAfter(from);
    size_t end = trace_->FirstAtOrAfter(to);
    if (end <= first || samples.Extremes(first, end - 1, PlotValue::VbusVoltage).min >= kSafe0v) {
        return;
    }
    std::optional<VbusSample> low = trace_->FirstInside(from, to, 0, kSafe0v - 1);
    OnDetach(low ? low->time : to);
}
