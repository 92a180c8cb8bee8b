#include "check/message_classes.h"

#include "pd/message_header.h"
#include "pd/vdm_constants.h"

namespace {

constexpr int64_t kReceiverResponseUs = 15000;  // tReceiverResponse
constexpr int64_t kModeResponseUs = 25000;      // Enter/Exit Mode

bool AsksControl(int type) {
    switch (type) {
        case kCtrlGetSourceCap:
        case kCtrlGetSinkCap:
        case kCtrlDrSwap:
        case kCtrlPrSwap:
        case kCtrlVconnSwap:
        case kCtrlSoftReset:
        case kCtrlDataReset:
        case kCtrlGetSourceCapExtended:
        case kCtrlGetStatus:
        case kCtrlFrSwap:
        case kCtrlGetPpsStatus:
        case kCtrlGetCountryCodes:
        case kCtrlGetSinkCapExtended:
        case kCtrlGetSourceInfo:
        case kCtrlGetRevision:
            return true;
        default:
            return false;
    }
}

bool AsksExtended(const WalkMessage& message) {
    switch (message.type) {
        case kExtGetBatteryCap:
        case kExtGetBatteryStatus:
        case kExtGetManufacturerInfo:
            return true;
        case kExtExtendedControl:
            // EPR_Get_Source_Cap, EPR_Get_Sink_Cap, EPR_KeepAlive.
            return ExtendedControlType(message) >= 1 &&
                   ExtendedControlType(message) <= kExtendedControlEprKeepAlive;
        default:
            return false;
    }
}

}  // namespace

int EprModeAction(const WalkMessage& message) {
    return message.IsData(kDataEprMode) ? static_cast<int>(message.Object(0) >> 24) : 0;
}

int ExtendedControlType(const WalkMessage& message) {
    if (!message.IsExtended(kExtExtendedControl) || message.packet == nullptr ||
        message.packet->messageByteCount < 5) {
        return 0;
    }
    return message.packet->messageBytes.data()[4];
}

std::optional<int64_t> ResponseLimit(const WalkMessage& message) {
    if (!message.IsMessage()) {
        return std::nullopt;
    }
    switch (message.kind) {
        case MessageKind::kControl:
            if (AsksControl(message.type)) {
                return kReceiverResponseUs;
            }
            break;
        case MessageKind::kExtended:
            if (AsksExtended(message)) {
                return kReceiverResponseUs;
            }
            break;
        case MessageKind::kData:
            switch (message.type) {
                case kDataSourceCapabilities:
                    if (message.IsSop() && message.source) {
                        return kReceiverResponseUs;
                    }
                    break;
                case kDataRequest:
                case kDataEprRequest:
                case kDataGetCountryInfo:
                    return kReceiverResponseUs;
                case kDataEprMode:
                    if (EprModeAction(message) == kEprModeEnter) {
                        return kReceiverResponseUs;
                    }
                    break;
                case kDataVendorDefined: {
                    uint32_t header = message.Object(0);
                    bool structured = (header & 0x8000u) != 0;
                    uint32_t commandType = (header >> 6) & 3u;
                    uint32_t command = header & 0x1Fu;
                    if (structured && commandType == kVdmRequest && command != kVdmAttention) {
                        return command == kVdmEnterMode || command == kVdmExitMode
                                   ? kModeResponseUs
                                   : kReceiverResponseUs;
                    }
                    break;
                }
                default:
                    break;
            }
            break;
        default:
            break;
    }
    return std::nullopt;
}

bool IsRequest(const WalkMessage& message) {
    return message.IsSop() && (message.IsData(kDataRequest) || message.IsData(kDataEprRequest));
}

bool IsRequestAnswer(const WalkMessage& message) {
    return message.IsControl(kCtrlAccept) || message.IsControl(kCtrlReject) ||
           message.IsControl(kCtrlWait);
}
