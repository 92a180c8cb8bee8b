#include "check/finding.h"

const char* SeverityName(Severity severity) {
    switch (severity) {
        case Severity::kError:
            return "error";
        case Severity::kWarning:
            return "warning";
        case Severity::kInfo:
            break;
    }
    return "info";
}

const char* ContractEndName(ContractEnd end) {
    switch (end) {
        case ContractEnd::kNewRequest:
            return "new request";
        case ContractEnd::kHardReset:
            return "hard reset";
        case ContractEnd::kSoftReset:
            return "soft reset";
        case ContractEnd::kPowerRoleSwap:
            return "power role swap";
        case ContractEnd::kDetach:
            return "detach";
        case ContractEnd::kCaptureEnd:
            break;
    }
    return "capture end";
}
