// One walk over a capture's packets that applies every protocol, timing, power and content
// rule and follows the negotiation into contracts. The walk keeps only the state the rules
// need, so it can be fed more packets as a live capture grows.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "capture/document_snapshot.h"
#include "check/finding.h"
#include "check/power_objects.h"
#include "check/vbus_trace.h"
#include "check/walk_message.h"

// tPPSRequest: the longest a sink goes without a Request under a PPS contract.
inline constexpr int64_t kPpsRequestUs = 10000000;

// A message the walk holds on to, with the packet kept alive.
struct HeldMessage {
    PacketPtr packet;
    WalkMessage message;
};

class CheckWalk {
  public:
    explicit CheckWalk(const CheckOptions& options);

    // Walks the snapshot's packets from where the last call stopped up to (not including)
    // packet `end`. The snapshot must hold the packets walked before at the same numbers.
    void Advance(const DocumentSnapshot& snapshot, size_t end);
    size_t Walked() const { return walked_; }
    // The findings and contracts so far, with what the end of the capture settles (contracts
    // closed at the capture end, power windows measured up to it). The walk itself goes on.
    CheckReport Report(const DocumentSnapshot& snapshot) const;
    // Hands over the contracts that ended so far; later reports leave them out. A caller that
    // keeps them (the window, following a growing capture) has them copied by no report.
    std::vector<Contract> TakeEndedContracts() { return std::exchange(contracts_, {}); }

  private:
    // --- Per-message steps (check_walk.cpp) ---
    // The port that sent an SOP message (1, 2), following power and data role swaps; 3 for a
    // cable plug, 0 for a port on SOP'/SOP''.
    int LogicalPort(const WalkMessage& message);
    void Walk(const WalkMessage& message, const PacketPtr& packet);
    void Emit(const char* rule, Severity severity, std::vector<int64_t> packets, int64_t time,
              std::optional<Quantity> measured, std::optional<Quantity> limit, std::string text);
    void Finish();
    int64_t VbusGuard(const WalkMessage& message) const;

    // --- Protocol layer (rules_protocol.cpp) ---
    void OnGoodCrc(const WalkMessage& goodCrc);
    // Returns true when the message is a retry of the previous unacknowledged one.
    bool OnRetry(const WalkMessage& message);
    void CheckMessageId(const WalkMessage& message, const PacketPtr& packet);
    void CheckRevision(const WalkMessage& message);
    void ResetMessageIds(bool sopOnly, bool cableOnly);

    // --- Policy: sequences and response times (rules_policy.cpp) ---
    void OnNewMessage(const WalkMessage& message, const PacketPtr& packet);
    void OnAcknowledged(const WalkMessage& message, int64_t ackEnd);
    void OnHardReset(const WalkMessage& reset, const PacketPtr& packet);
    void OnDetach(int64_t time);
    // Hard Reset and detach: the negotiation, pending requests, swaps and EPR mode are gone.
    void ForgetConnection();
    void AnswerPending(const WalkMessage& message, const PacketPtr& packet);
    void CheckEprEntry(const WalkMessage& message);
    void CheckEprKeepAlive(const WalkMessage& message);
    void CheckQuiet(const WalkMessage& message);

    // --- Content (rules_content.cpp) ---
    void CheckCapabilities(const WalkMessage& message);
    // M-NDO (at most maxPdos) and M-SRCCAP-FIRST; false when there is no PDO.
    bool CheckCapsHead(const WalkMessage& message, const std::vector<uint32_t>& pdos, int maxPdos);
    void CheckEprCapabilities(const WalkMessage& message, const std::vector<uint32_t>& pdos);
    void CheckRequest(const WalkMessage& message, const PacketPtr& packet);
    void CheckPd3Only(const WalkMessage& message);

    // --- Power: contracts and the VBUS trace (rules_power.cpp) ---
    void OnAccepted(int64_t ackEnd);
    void OnPsRdy(const WalkMessage& psRdy);
    void EndContract(ContractEnd end, int64_t time);
    void CheckContractPower(const Contract& contract, int64_t from, int64_t to);
    void CheckImplicitWindow(int64_t to);
    void CheckFirstCaps(const WalkMessage& caps);
    void CheckHardResetRecovery(int64_t to);
    // VBUS fell below vSafe0V between two times (outside a Hard Reset or a PR_Swap): detach.
    void CheckDetach(int64_t from, int64_t to);

    struct IdState {
        std::optional<uint8_t> lastId;
        bool expectZero = false;
        std::optional<HeldMessage> last;
    };
    // A request waiting for its response.
    struct Pending {
        HeldMessage request;
        int64_t ackEnd = 0;
        int64_t limit = 15000;  // tReceiverResponse, µs
    };
    // The Request being negotiated.
    struct Negotiation {
        HeldMessage request;
        std::optional<PowerObject> pdo;
        RequestObject rdo;
        bool invalid = false;
        int64_t requestAckEnd = -1;
        int64_t capsNumber = -1;
        std::vector<uint32_t> offered;
        std::optional<HeldMessage> accept;
        int64_t acceptAckEnd = -1;
        std::optional<int64_t> acceptLatency;
        int oldLow = 4750;  // band of the contract before (vSafe5V for the implicit one)
        int oldHigh = 5500;
        bool oldFixed = true;
        int oldVoltage = 5000;
    };
    struct ActiveContract {
        Contract record;
        PowerObject pdo;
        RequestObject rdo;
        int64_t steadyFrom = 0;  // power rules look at VBUS from here on
    };
    // Steps of EPR entry, in order.
    enum class EprStep : uint8_t {
        kNone,
        kAcknowledged,
        kSucceeded,
        kCapabilities,
        kRequest,
        kAccept,
        kPsRdy,
    };

    CheckOptions options_;
    const DocumentSnapshot* snapshot_ = nullptr;
    std::optional<VbusTrace> trace_;
    size_t walked_ = 0;
    std::vector<Finding> findings_;
    std::vector<Contract> contracts_;

    // Protocol layer.
    int sourcePort_ = 1;  // the port whose messages say Source
    int dfpPort_ = 0;     // the port whose messages say DFP, 0 until the first SOP message
    std::optional<HeldMessage> previous_;  // the packet before, whatever it was
    std::optional<HeldMessage> unacked_;   // the last message no GoodCRC answered
    int copies_ = 0;                       // transmissions of unacked_ so far
    bool retryCountReported_ = false;
    // The first copy of the message unacked_ retries: the negotiation and the response rules
    // know the message by that copy's number.
    std::optional<int64_t> retryOriginal_;
    std::array<IdState, 64> ids_{};
    std::optional<uint8_t> negotiatedRevision_;

    // Policy.
    std::vector<Pending> pending_;
    std::optional<Negotiation> negotiation_;
    std::optional<ActiveContract> contract_;
    std::optional<HeldMessage> sourceCaps_;     // latest Source_Capabilities
    std::optional<HeldMessage> eprSourceCaps_;  // latest EPR_Source_Capabilities (chunk 0)
    std::optional<HeldMessage> softReset_;      // Soft_Reset waiting for Accept / capabilities
    bool softResetAccepted_ = false;
    bool requestAnswered_ = false;  // the last message answered a Request
    int64_t waitNumber_ = -1;       // Wait answering a Request
    int64_t prSwapAcceptNumber_ = -1;
    bool eprCapsChecked_ = false;
    int64_t waitAckEnd_ = -1;  // e(GC(Wait)) after a Request
    int64_t lastPpsRequest_ = -1;
    bool prSwapPowerPhase_ = false;
    int prSwapReady_ = 0;
    bool eprMode_ = false;
    EprStep eprStep_ = EprStep::kNone;
    int64_t eprEnterAckEnd_ = -1;
    int64_t eprEnterNumber_ = -1;
    std::optional<HeldMessage> lastSinkMessage_;
    std::vector<std::string> events_;  // resets and swaps since the last contract

    // VBUS.
    bool traceStartSeen_ = false;
    bool awaitingFirstCaps_ = true;
    int64_t firstCapsFrom_ = 0;  // attach or reset: the search for the VBUS rise starts here
    bool implicitContract_ = true;
    int64_t implicitFrom_ = 0;
    std::optional<HeldMessage> hardReset_;  // recovery not yet measured
};

// Where VBUS began its fall to the sample at `time` (below vSafe0V): the samples before it
// that were each higher than the next one, walked back.
int64_t DescentStart(const VbusTrace& trace, int64_t time);

// The whole capture: walks every packet, then reports.
CheckReport CheckCapture(const DocumentSnapshot& snapshot, const CheckOptions& options);
