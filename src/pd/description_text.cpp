#include "pd/description_text.h"

#include "pd/data_message_text.h"
#include "pd/extended_text.h"
#include "pd/message_header.h"
#include "pd/pdo_text.h"
#include "pd/vdm_text.h"

namespace {

std::string DataDescription(const CCCPacket& packet) {
    switch (MessageType(packet)) {
        case kDataSourceCapabilities:
            return SourceCapsText(packet);
        case kDataRequest:
            return RequestText(packet);
        case kDataBist:
            return BistText(packet);
        case kDataSinkCapabilities:
            return SinkCapsText(packet);
        case kDataGetCountryInfo:
            return CountryInfoText(packet);
        case kDataEnterUsb:
            return EnterUsbText(packet);
        case kDataEprRequest:
            return EprRequestText(packet);
        case kDataEprMode:
            return EprModeText(packet);
        case kDataSourceInfo:
            return SourceInfoText(packet);
        case kDataRevision:
            return RevisionDoText(packet);
        case kDataVendorDefined:
            return VdmText(packet);
        default:
            return {};
    }
}

std::string ExtendedDescription(const CCCPacket& packet) {
    switch (MessageType(packet)) {
        case kExtSourceCapabilitiesExtended:
            return SourceCapsExtText(packet);
        case kExtSinkCapabilitiesExtended:
            return SinkCapsExtText(packet);
        case kExtExtendedControl:
            return ExtendedControlText(packet);
        case kExtEprSourceCapabilities:
            return EprSourceCapsText(packet);
        case kExtEprSinkCapabilities:
            return EprSinkCapsText(packet);
        default:
            return {};
    }
}

}  // namespace

std::string DescriptionText(const CCCPacket& packet) {
    if (!packet.preambleFound || !packet.crcOk || !IsSopKind(packet)) {
        return {};
    }
    if (IsExtended(packet)) {
        return ExtendedDescription(packet);
    }
    if (IsData(packet)) {
        return DataDescription(packet);
    }
    return {};
}
