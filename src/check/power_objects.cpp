#include "check/power_objects.h"

namespace {

int Bits(uint32_t value, int high, int low) {
    return static_cast<int>((value >> low) & ((1u << (high - low + 1)) - 1u));
}

// Rank of a PDO kind in the order of a capabilities message: Fixed, Battery, Variable, APDOs.
int OrderRank(PdoKind kind) {
    switch (kind) {
        case PdoKind::kFixed:
            return 0;
        case PdoKind::kBattery:
            return 1;
        case PdoKind::kVariable:
            return 2;
        default:
            return 3;
    }
}

// The voltage that must ascend within a kind.
int OrderVoltage(const PowerObject& pdo) {
    switch (pdo.kind) {
        case PdoKind::kFixed:
            return pdo.voltage;
        case PdoKind::kBattery:
        case PdoKind::kVariable:
            return pdo.minVoltage;
        default:
            return pdo.maxVoltage;
    }
}

}  // namespace

PowerObject DecodeSourcePdo(uint32_t pdo) {
    PowerObject object;
    switch (pdo >> 30) {
        case 0:
            object.kind = PdoKind::kFixed;
            object.voltage = Bits(pdo, 19, 10) * 50;
            object.minVoltage = object.maxVoltage = object.voltage;
            object.maxCurrent = Bits(pdo, 9, 0) * 10;
            object.eprCapable = (pdo & (1u << 23)) != 0;
            break;
        case 1:
            object.kind = PdoKind::kBattery;
            object.maxVoltage = Bits(pdo, 29, 20) * 50;
            object.minVoltage = Bits(pdo, 19, 10) * 50;
            object.maxPower = Bits(pdo, 9, 0) * 250;
            break;
        case 2:
            object.kind = PdoKind::kVariable;
            object.maxVoltage = Bits(pdo, 29, 20) * 50;
            object.minVoltage = Bits(pdo, 19, 10) * 50;
            object.maxCurrent = Bits(pdo, 9, 0) * 10;
            break;
        default:
            switch (Bits(pdo, 29, 28)) {
                case 0:
                    object.kind = PdoKind::kPps;
                    object.maxVoltage = Bits(pdo, 24, 17) * 100;
                    object.minVoltage = Bits(pdo, 15, 8) * 100;
                    object.maxCurrent = Bits(pdo, 6, 0) * 50;
                    break;
                case 1:
                    object.kind = PdoKind::kEprAvs;
                    object.maxVoltage = Bits(pdo, 25, 17) * 100;
                    object.minVoltage = Bits(pdo, 15, 8) * 100;
                    object.maxPower = Bits(pdo, 7, 0) * 1000;
                    break;
                case 2:
                    object.kind = PdoKind::kSprAvs;
                    object.minVoltage = 9000;
                    object.maxVoltage = 20000;
                    object.maxCurrent = Bits(pdo, 19, 10) * 10;
                    break;
                default:
                    break;
            }
            break;
    }
    return object;
}

const char* PdoKindName(PdoKind kind) {
    switch (kind) {
        case PdoKind::kFixed:
            return "Fixed";
        case PdoKind::kBattery:
            return "Battery";
        case PdoKind::kVariable:
            return "Variable";
        case PdoKind::kPps:
            return "PPS";
        case PdoKind::kEprAvs:
            return "EPR AVS";
        case PdoKind::kSprAvs:
            return "SPR AVS";
        case PdoKind::kReserved:
            break;
    }
    return "Reserved";
}

RequestObject DecodeRequest(uint32_t rdo, const PowerObject& pdo) {
    RequestObject request;
    request.position = RequestPosition(rdo);
    request.capabilityMismatch = (rdo & (1u << 26)) != 0;
    request.eprCapable = (rdo & (1u << 22)) != 0;
    switch (pdo.kind) {
        case PdoKind::kBattery:
            request.operatingPower = Bits(rdo, 19, 10) * 250;
            request.maxOperatingPower = Bits(rdo, 9, 0) * 250;
            break;
        case PdoKind::kPps:
            request.outputVoltage = Bits(rdo, 20, 9) * 20;
            request.operatingCurrent = Bits(rdo, 6, 0) * 50;
            break;
        case PdoKind::kEprAvs:
        case PdoKind::kSprAvs:
            request.outputVoltage = Bits(rdo, 20, 9) * 25;
            request.operatingCurrent = Bits(rdo, 6, 0) * 50;
            break;
        default:
            request.operatingCurrent = Bits(rdo, 19, 10) * 10;
            request.maxOperatingCurrent = Bits(rdo, 9, 0) * 10;
            break;
    }
    return request;
}

std::vector<RequestProblem> RequestProblems(const RequestObject& request, const PowerObject& pdo) {
    std::vector<RequestProblem> problems;
    auto add = [&problems](const char* rule, std::string text) {
        problems.push_back({rule, std::move(text)});
    };
    switch (pdo.kind) {
        case PdoKind::kFixed:
        case PdoKind::kVariable:
            if (request.operatingCurrent > pdo.maxCurrent) {
                add("M-RDO-CUR", "Operating Current " + std::to_string(request.operatingCurrent) +
                                     " mA above the PDO's maximum of " +
                                     std::to_string(pdo.maxCurrent) + " mA");
            } else if (request.maxOperatingCurrent > pdo.maxCurrent &&
                       !request.capabilityMismatch) {
                add("M-RDO-CUR",
                    "Maximum Operating Current " + std::to_string(request.maxOperatingCurrent) +
                        " mA above the PDO's maximum of " + std::to_string(pdo.maxCurrent) +
                        " mA without Capability Mismatch");
            }
            break;
        case PdoKind::kBattery:
            if (request.operatingPower > pdo.maxPower) {
                add("M-RDO-CUR", "Operating Power " + std::to_string(request.operatingPower) +
                                     " mW above the PDO's maximum of " +
                                     std::to_string(pdo.maxPower) + " mW");
            } else if (request.maxOperatingPower > pdo.maxPower && !request.capabilityMismatch) {
                add("M-RDO-CUR",
                    "Maximum Operating Power " + std::to_string(request.maxOperatingPower) +
                        " mW above the PDO's maximum of " + std::to_string(pdo.maxPower) +
                        " mW without Capability Mismatch");
            }
            break;
        case PdoKind::kPps:
            if (request.outputVoltage < pdo.minVoltage || request.outputVoltage > pdo.maxVoltage) {
                add("M-RDO-PPS", "PPS output voltage " + std::to_string(request.outputVoltage) +
                                     " mV outside the APDO's " + std::to_string(pdo.minVoltage) +
                                     "-" + std::to_string(pdo.maxVoltage) + " mV");
            }
            if (request.operatingCurrent > pdo.maxCurrent) {
                add("M-RDO-PPS", "PPS operating current " +
                                     std::to_string(request.operatingCurrent) +
                                     " mA above the APDO's maximum of " +
                                     std::to_string(pdo.maxCurrent) + " mA");
            }
            break;
        default:
            break;
    }
    return problems;
}

std::optional<std::string> PdoOrderProblem(const std::vector<uint32_t>& pdos, bool revision2) {
    std::optional<PowerObject> previous;
    for (size_t i = 0; i < pdos.size(); ++i) {
        if (pdos[i] == 0) {
            continue;  // zero-filled positions of EPR capabilities
        }
        PowerObject pdo = DecodeSourcePdo(pdos[i]);
        std::string where = "PDO " + std::to_string(i + 1) + " (" + PdoKindName(pdo.kind) + ")";
        if (revision2 && pdo.IsApdo()) {
            return where + " is an APDO, which PD 2.0 does not have";
        }
        if (previous) {
            int rank = OrderRank(pdo.kind);
            int previousRank = OrderRank(previous->kind);
            if (rank < previousRank) {
                return where + " comes after a " + PdoKindName(previous->kind) +
                       " PDO (Fixed, Battery, Variable, then APDOs)";
            }
            if (rank == previousRank && OrderVoltage(pdo) < OrderVoltage(*previous)) {
                return where + " at " + std::to_string(OrderVoltage(pdo)) +
                       " mV is below the one before it (" +
                       std::to_string(OrderVoltage(*previous)) + " mV)";
            }
        }
        previous = pdo;
    }
    return std::nullopt;
}
