// Security_Request/Response and Firmware_Update_Request/Response data block tables.
#include "pd/field_table_entries.h"
#include "pd/field_tables.h"

namespace {

constexpr ValueDesc kAuthProtocolValues[] = {
    ValueIs(1, "USB Type-C Authentication  Protocol Version 1.0"),
};

constexpr ValueDesc kSecReqHeaderMessageTypeValues[] = {
    ValueIs(129, "GET_DIGESTS"),
    ValueIs(130, "GET_CERTIFICATE"),
    ValueIs(131, "CHALLENGE"),
};

constexpr ValueDesc kSecReq82Param1Values[] = {
    Always("Slot number of the target Certificate Chain to read from."),
};

constexpr ValueDesc kSecReq83Param1Values[] = {
    Always(
        "Slot number of the recipient's Certificate Chain that will be used for Authentication."),
};

constexpr ValueDesc kSecRespHeaderMessageTypeValues[] = {
    ValueIs(1, "DIGESTS"),
    ValueIs(2, "CERTIFICATE"),
    ValueIs(3, "CHALLENGE_AUTH"),
    ValueIs(127, "ERROR"),
};

constexpr ValueDesc kSecResp7FParam1Values[] = {
    ValueIs(1, "INVALID_REQUEST"),
    ValueIs(2, "UNSUPPORTED_PROTOCOL"),
    ValueIs(3, "BUSY"),
    ValueIs(4, "UNSPECIFIED"),
};

constexpr ValueDesc kFwUpdateProtocolValues[] = {
    ValueIs(1, "USB PD Firmware Update Protocol Version 1.0"),
};

constexpr ValueDesc kFwReqHeaderMessageTypeValues[] = {
    ValueIs(129, "GET_FW_ID"),       ValueIs(130, "PDFU_INITIATE"),   ValueIs(131, "PDFU_DATA"),
    ValueIs(132, "PDFU_DATA_NR"),    ValueIs(133, "PDFU_VALIDATE"),   ValueIs(134, "PDFU_ABORT"),
    ValueIs(135, "PDFU_DATA_PAUSE"), ValueIs(255, "VENDOR_SPECIFIC"),
};

constexpr ValueDesc kFwRespHeaderMessageTypeValues[] = {
    ValueIs(1, "GET_FW_ID"),     ValueIs(2, "PDFU_INITIATE"),   ValueIs(3, "PDFU_DATA"),
    ValueIs(5, "PDFU_VALIDATE"), ValueIs(7, "PDFU_DATA_PAUSE"), ValueIs(127, "VENDOR_SPECIFIC"),
};

// Security_Request header
constexpr FieldDesc kSecReqHeaderFields[] = {
    {0, 8, kAuthProtocolValues, "ProtocolVersion"},
    {8, 8, kSecReqHeaderMessageTypeValues, "MessageType"},
};

// Security_Request, message type 0x81
constexpr FieldDesc kSecReq81Fields[] = {
    {0, 8, {}, "Param1"},
    {8, 8, {}, "Param2"},
};

// Security_Request, message type 0x82
constexpr FieldDesc kSecReq82Fields[] = {
    {0, 8, kSecReq82Param1Values, "Param1"},
    {8, 8, {}, "Param2"},
    {16, 16, {}, "Offset"},
    {32, 16, {}, "Length"},
};

// Security_Request, message type 0x83
constexpr FieldDesc kSecReq83Fields[] = {
    {0, 8, kSecReq83Param1Values, "Param1"},
    {8, 8, {}, "Param2"},
    {16, 256, {}, "Nonce"},
};

// Security_Response header
constexpr FieldDesc kSecRespHeaderFields[] = {
    {0, 8, kAuthProtocolValues, "ProtocolVersion"},
    {8, 8, kSecRespHeaderMessageTypeValues, "MessageType"},
};

// Security_Response, message type 1
constexpr FieldDesc kSecResp01Fields[] = {
    {0, 8, {}, "Param1"},         {8, 8, {}, "Param2"},         {16, 256, {}, "Digest[0]"},
    {272, 256, {}, "Digest[1]"},  {528, 256, {}, "Digest[2]"},  {784, 256, {}, "Digest[3]"},
    {1040, 256, {}, "Digest[4]"}, {1296, 256, {}, "Digest[5]"}, {1552, 256, {}, "Digest[6]"},
    {1808, 256, {}, "Digest[7]"},
};

// Security_Response, message type 2
constexpr FieldDesc kSecResp02Fields[] = {
    {0, 8, {}, "Param1"},
    {8, 8, {}, "Param2"},
    {16, 2048, {}, "CertChain"},
};

// Security_Response, message type 3
constexpr FieldDesc kSecResp03Fields[] = {
    {0, 8, {}, "Param1"},
    {8, 8, {}, "Param2"},
    {16, 8, {}, "MinProtocolVersion"},
    {24, 8, {}, "MaxProtocolVersion"},
    {32, 8, {}, "Capabilities"},
    {40, 8, {}, "Reserved"},
    {48, 256, {}, "CertChainHash"},
    {304, 256, {}, "Salt"},
    {560, 256, {}, "Context Hash"},
    {816, 512, {}, "Signature"},
};

// Security_Response, message type 127
constexpr FieldDesc kSecResp7FFields[] = {
    {0, 8, kSecResp7FParam1Values, "Param1"},
    {8, 8, {}, "Param2"},
};

// Firmware_Update_Request header
constexpr FieldDesc kFwReqHeaderFields[] = {
    {0, 8, kFwUpdateProtocolValues, "ProtocolVersion"},
    {8, 8, kFwReqHeaderMessageTypeValues, "MessageType"},
};

// Firmware_Update_Request, message type 0x82
constexpr FieldDesc kFwReq82Fields[] = {
    {0, 16, {}, "FWVersion1"},
    {16, 16, {}, "FWVersion2"},
    {32, 16, {}, "FWVersion3"},
    {48, 16, {}, "FWVersion4"},
};

// Firmware_Update_Request, message type 0x83
constexpr FieldDesc kFwReq83Fields[] = {
    {0, 16, {}, "DataBlockIndex"},
    {16, 2048, {}, "DataBlock"},
};

// Firmware_Update_Request, message type 0x84
constexpr FieldDesc kFwReq84Fields[] = {
    {0, 16, {}, "DataBlockIndex"},
    {16, 2048, {}, "DataBlock"},
};

// Firmware_Update_Request, message type 0xFF
constexpr FieldDesc kFwReqFFFields[] = {
    {0, 16, {}, "VID"},
    {16, 2048, {}, "Vendor Defined"},
};

// Firmware_Update_Response header
constexpr FieldDesc kFwRespHeaderFields[] = {
    {0, 8, kFwUpdateProtocolValues, "ProtocolVersion"},
    {8, 8, kFwRespHeaderMessageTypeValues, "MessageType"},
};

// Firmware_Update_Response, message type 1
constexpr FieldDesc kFwResp01Fields[] = {
    {0, 8, {}, "Status"},       {8, 16, {}, "VID"},         {24, 16, {}, "PID"},
    {40, 8, {}, "HWVersion"},   {48, 8, {}, "SiVersion"},   {56, 16, {}, "FWVersion1"},
    {72, 16, {}, "FWVersion2"}, {88, 16, {}, "FWVersion3"}, {104, 16, {}, "FWVersion4"},
    {120, 8, {}, "ImageBank"},  {128, 8, {}, "Flags1"},     {136, 8, {}, "Flags2"},
    {144, 8, {}, "Flags3"},     {152, 8, {}, "Flags4"},
};

// Firmware_Update_Response, message type 2
constexpr FieldDesc kFwResp02Fields[] = {
    {0, 8, {}, "Status"},
    {8, 8, {}, "WaitTime"},
    {16, 24, {}, "MaxImageSize"},
};

// Firmware_Update_Response, message type 3
constexpr FieldDesc kFwResp03Fields[] = {
    {0, 8, {}, "Status"},
    {8, 8, {}, "WaitTime"},
    {16, 8, {}, "NumDataNR"},
    {24, 16, {}, "DataBlockNum"},
};

// Firmware_Update_Response, message type 5
constexpr FieldDesc kFwResp05Fields[] = {
    {0, 8, {}, "Status"},
    {8, 8, {}, "WaitTime"},
    {16, 8, {}, "Flags"},
};

// Firmware_Update_Response, message type 7
constexpr FieldDesc kFwResp07Fields[] = {
    {0, 8, {}, "Status"},
};

// Firmware_Update_Response, message type 127
constexpr FieldDesc kFwResp7FFields[] = {
    {0, 8, {}, "Status"},
    {8, 16, {}, "VID"},
    {24, 2040, {}, "Vendor defined"},
};

}  // namespace

constinit const FieldTable SecReqHeader = kSecReqHeaderFields;
constinit const FieldTable SecReq81 = kSecReq81Fields;
constinit const FieldTable SecReq82 = kSecReq82Fields;
constinit const FieldTable SecReq83 = kSecReq83Fields;
constinit const FieldTable SecRespHeader = kSecRespHeaderFields;
constinit const FieldTable SecResp01 = kSecResp01Fields;
constinit const FieldTable SecResp02 = kSecResp02Fields;
constinit const FieldTable SecResp03 = kSecResp03Fields;
constinit const FieldTable SecResp7F = kSecResp7FFields;
constinit const FieldTable FwReqHeader = kFwReqHeaderFields;
constinit const FieldTable FwReq82 = kFwReq82Fields;
constinit const FieldTable FwReq83 = kFwReq83Fields;
constinit const FieldTable FwReq84 = kFwReq84Fields;
constinit const FieldTable FwReqFF = kFwReqFFFields;
constinit const FieldTable FwRespHeader = kFwRespHeaderFields;
constinit const FieldTable FwResp01 = kFwResp01Fields;
constinit const FieldTable FwResp02 = kFwResp02Fields;
constinit const FieldTable FwResp03 = kFwResp03Fields;
constinit const FieldTable FwResp05 = kFwResp05Fields;
constinit const FieldTable FwResp07 = kFwResp07Fields;
constinit const FieldTable FwResp7F = kFwResp7FFields;
