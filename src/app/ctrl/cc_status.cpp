#include "app/ctrl/cc_status.h"

CcStatus ClassifyCc(int32_t millivolts) {
    if (millivolts >= 250 && millivolts <= 610) {
        return CcStatus::VrdUsb;
    }
    if (millivolts >= 700 && millivolts <= 1160) {
        return CcStatus::Vrd15;
    }
    if (millivolts >= 1310 && millivolts <= 2040) {
        return CcStatus::Vrd30;
    }
    if (millivolts >= 250 && millivolts <= 2180) {
        return CcStatus::VrdConnect;
    }
    return CcStatus::None;
}

std::string CcStatusText(CcStatus status, int line) {
    const char* name = nullptr;
    switch (status) {
        case CcStatus::None:
            return {};
        case CcStatus::VrdUsb:
            name = "vRd-USB";
            break;
        case CcStatus::Vrd15:
            name = "vRd-1.5";
            break;
        case CcStatus::Vrd30:
            name = "vRd-3.0";
            break;
        case CcStatus::VrdConnect:
            name = "vRd-Connect";
            break;
    }
    return std::string(name) + (line == 1 ? " (CC1)" : " (CC2)");
}
