// What the protocol and timing checks report: findings (one broken or risky rule each) and the
// contracts negotiated in a capture. Plain records, shared by the command line, the window and
// the Python module.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

enum class Severity : uint8_t { kError = 0, kWarning = 1, kInfo = 2 };

// "error", "warning", "info".
const char* SeverityName(Severity severity);

// A measured value or a limit with its unit ("µs", "ms", "mV", "mA", "mW", "s").
struct Quantity {
    double value = 0.0;
    std::string unit;
};

struct Finding {
    std::string rule;  // stable id, e.g. "P-GOODCRC-TIME"
    Severity severity = Severity::kError;
    std::vector<int64_t> packets;  // packet numbers, the one to blame first
    int64_t time = 0;              // µs, relative to the capture start (relTime scale)
    std::optional<Quantity> measured;
    std::optional<Quantity> limit;
    std::string text;
};

// How a capture's explicit contract ended.
enum class ContractEnd : uint8_t {
    kNewRequest = 0,
    kHardReset = 1,
    kSoftReset = 2,
    kPowerRoleSwap = 3,
    kDetach = 4,
    kCaptureEnd = 5,
};

// "new request", "hard reset", "soft reset", "power role swap", "detach", "capture end".
const char* ContractEndName(ContractEnd end);

// One explicit contract: what was offered, asked for and delivered.
struct Contract {
    int64_t capsPacket = -1;     // the (EPR_)Source_Capabilities the Request answers
    int64_t requestPacket = -1;  // (EPR_)Request
    int64_t acceptPacket = -1;
    int64_t psRdyPacket = -1;
    int64_t time = 0;               // s(Request), µs on the relTime scale
    std::vector<uint32_t> offered;  // the PDOs of the capabilities
    int position = 0;               // object position requested (1-based)
    std::string pdoType;            // "Fixed", "Battery", "Variable", "PPS", "AVS", "EPR AVS"...
    int voltage = 0;                // mV: Fixed voltage or requested output voltage (PPS/AVS)
    int minVoltage = 0;             // mV: Variable/Battery/APDO range; 0 for Fixed
    int maxVoltage = 0;
    int current = 0;     // mA requested (operating current; PPS/AVS output current)
    int maxCurrent = 0;  // mA: the PDO's maximum (0 for Battery and AVS)
    int power = 0;       // mW: Battery operating power
    bool epr = false;
    std::optional<int64_t> acceptLatency;    // µs, e(GC(Request)) to s(Accept)
    std::optional<int64_t> psRdyLatency;     // µs, e(GC(Accept)) to s(PS_RDY)
    std::optional<int64_t> transitionStart;  // µs after e(GC(Accept)): VBUS leaves the old band
    std::optional<int64_t> settleTime;       // µs after the transition start: inside the new band
    std::optional<int> overshoot;            // mV above the target during the transition
    std::optional<int> finalVoltage;         // mV, VBUS at the contract's end (or capture end)
    ContractEnd end = ContractEnd::kCaptureEnd;
    int64_t endTime = 0;  // µs on the relTime scale
    // Resets and swaps seen between this contract's PS_RDY and its end, e.g. "DR_Swap #41".
    std::vector<std::string> events;
};

struct CheckOptions {
    // PD 3.0-era windows where they differ (tSenderResponse 24-30 ms for PD 3.x).
    bool profile30 = false;
};

struct CheckReport {
    std::vector<Finding> findings;  // in time order
    std::vector<Contract> contracts;
    bool vbusMeasured = false;  // false: the VBUS rules were skipped (one info finding says so)
};
