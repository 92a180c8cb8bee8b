// Power Data Objects and Request Data Objects as numbers, for the checks and the contracts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

enum class PdoKind : uint8_t { kFixed, kBattery, kVariable, kPps, kEprAvs, kSprAvs, kReserved };

struct PowerObject {
    PdoKind kind = PdoKind::kReserved;
    int voltage = 0;     // mV: Fixed voltage
    int minVoltage = 0;  // mV: Battery, Variable, APDO
    int maxVoltage = 0;
    int maxCurrent = 0;       // mA: Fixed, Variable, PPS; SPR AVS at 15 V
    int maxPower = 0;         // mW: Battery, EPR AVS
    bool eprCapable = false;  // Fixed: the EPR Mode Capable bit (first PDO of a source)

    bool IsApdo() const {
        return kind == PdoKind::kPps || kind == PdoKind::kEprAvs || kind == PdoKind::kSprAvs;
    }
};

PowerObject DecodeSourcePdo(uint32_t pdo);
// "Fixed", "Battery", "Variable", "PPS", "EPR AVS", "SPR AVS", "Reserved".
const char* PdoKindName(PdoKind kind);

struct RequestObject {
    int position = 0;  // bits 31-28
    bool capabilityMismatch = false;
    bool eprCapable = false;
    int operatingCurrent = 0;     // mA: Fixed, Variable; PPS and AVS output current
    int maxOperatingCurrent = 0;  // mA: Fixed, Variable
    int operatingPower = 0;       // mW: Battery
    int maxOperatingPower = 0;    // mW: Battery
    int outputVoltage = 0;        // mV: PPS (20 mV units) and AVS (25 mV units)
};

// The RDO read as a request for `pdo` (its layout depends on the PDO's kind).
RequestObject DecodeRequest(uint32_t rdo, const PowerObject& pdo);
inline int RequestPosition(uint32_t rdo) {
    return static_cast<int>(rdo >> 28);
}

// What is wrong with a Request against the PDO it names: empty when nothing. Each problem is one
// sentence naming the field and the values.
struct RequestProblem {
    std::string rule;  // "M-RDO-CUR" or "M-RDO-PPS"
    std::string text;
};
std::vector<RequestProblem> RequestProblems(const RequestObject& request, const PowerObject& pdo);

// The first problem with the order of the PDOs of a Source_Capabilities, as a sentence; none
// when they are in order. APDOs are out of place in PD 2.0 (revision2 true).
std::optional<std::string> PdoOrderProblem(const std::vector<uint32_t>& pdos, bool revision2);
