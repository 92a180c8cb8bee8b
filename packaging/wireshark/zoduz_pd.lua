-- zoduz_pd.lua: Wireshark dissector for the USB Power Delivery messages that
-- "zoduz-cli export-pcapng" and Zoduz's export dialog write to pcapng files.
--
-- Every packet of such a file has the link type WIRESHARK_UPPER_PDU (252) and an exported-PDU
-- tag naming the dissector "zoduz_pd", so Wireshark hands it to this protocol without any
-- configuration once the script is loaded: from Wireshark's global or personal Lua plugin
-- folder, or with "tshark -X lua_script:zoduz_pd.lua".
--
-- The packet is Zoduz's record of one CC burst (all values little-endian):
--   0  u8  record version (1)           1  u8  header length (52)
--   2  u8  ordered set kind             3  u8  CC line (0 = CC1, 1 = CC2)
--   4  u16 flags                        6  u8  reason a packet has no message (0 = it has one)
--   7  u8  port (0 none, 1, 2, 3 cable plug)
--   8  u32 packet number in Zoduz      12  u32 received CRC
--  16  u16 VBUS mV   18 i16 VBUS mA   20 u16 CC1 mV   22 i16 CC1 mA   24 u16 CC2 mV   26 i16 CC2 mA
--  28  u16 message length (bytes, CRC excluded)
--  30  u16 reassembled extended data block length
--  32  u32 the Source_Capabilities PDO a Request selects (flag 0x0008)
--  36  u16 Description text length     38 u16 CC edges
--  40  u32 packet length (us)           44 u16 bits   46 u16 preamble bits
--  48  u32 average unit interval (ns)
-- followed by the message bytes, the extended data block and Zoduz's Description text.

if zoduz_pd_loaded then
    -- Loaded twice (plugin folder and -X lua_script): the first copy serves.
    return
end
zoduz_pd_loaded = true

local zoduz_pd = Proto("zoduz_pd", "Zoduz USB Power Delivery")

-- Bits lo .. lo + n - 1 of a 32-bit value, as a non-negative number.
local function bits(value, lo, n)
    return bit.band(bit.rshift(value, lo), 2 ^ n - 1)
end

local function flag(value, bitno)
    return bits(value, bitno, 1) == 1
end

---------------------------------------------------------------------------------------------
-- Names

local ordered_set_names = {
    [1] = "SOP", [2] = "SOP'", [3] = "SOP''", [4] = "Hard Reset", [5] = "Cable Reset",
    [6] = "SOP'_Debug", [7] = "SOP''_Debug", [254] = "Not decoded", [255] = "Unrecognised",
}
local reason_names = {
    [0] = "Message", [1] = "No preamble", [2] = "No ordered set", [3] = "Unrecognised ordered set",
    [4] = "No EOP", [5] = "Symbols do not form a message",
}
local port_names = { [0] = "Not attributed", [1] = "Port 1", [2] = "Port 2", [3] = "Cable Plug" }
local cc_names = { [0] = "CC1", [1] = "CC2" }
local class_names = { [0] = "Control", [1] = "Data", [2] = "Extended" }
local revision_names = { [0] = "1.0", [1] = "2.0", [2] = "3.0", [3] = "Reserved" }

local control_names = {
    "GoodCRC", "GotoMin", "Accept", "Reject", "Ping", "PS_RDY", "Get_Source_Cap",
    "Get_Sink_Cap", "DR_Swap", "PR_Swap", "VCONN_Swap", "Wait", "Soft_Reset", "Data_Reset",
    "Data_Reset_Complete", "Not_Supported", "Get_Source_Cap_Extended", "Get_Status", "FR_Swap",
    "Get_PPS_Status", "Get_Country_Codes", "Get_Sink_Cap_Extended", "Get_Source_Info",
    "Get_Revision",
}
local data_names = {
    [1] = "Source_Capabilities", [2] = "Request", [3] = "BIST", [4] = "Sink_Capabilities",
    [5] = "Battery_Status", [6] = "Alert", [7] = "Get_Country_Info", [8] = "Enter_USB",
    [9] = "EPR_Request", [10] = "EPR_Mode", [11] = "Source_Info", [12] = "Revision",
    [15] = "Vendor_Defined",
}
local extended_names = {
    [1] = "Source_Capabilities_Extended", [2] = "Status", [3] = "Get_Battery_Cap",
    [4] = "Get_Battery_Status", [5] = "Battery_Capabilities", [6] = "Get_Manufacturer_Info",
    [7] = "Manufacturer_Info", [8] = "Security_Request", [9] = "Security_Response",
    [10] = "Firmware_Update_Request", [11] = "Firmware_Update_Response", [12] = "PPS_Status",
    [13] = "Country_Info", [14] = "Country_Codes", [15] = "Sink_Capabilities_Extended",
    [16] = "Extended_Control", [17] = "EPR_Source_Capabilities", [18] = "EPR_Sink_Capabilities",
    [30] = "Vendor_Defined_Extended",
}

local pdo_type_names = { [0] = "Fixed", [1] = "Battery", [2] = "Variable", [3] = "Augmented" }
local apdo_type_names = { [0] = "SPR PPS", [1] = "EPR AVS", [2] = "SPR AVS", [3] = "Reserved" }
local frs_names = { [0] = "Not supported", [1] = "Default USB Power", [2] = "1.5A @ 5V",
                    [3] = "3.0A @ 5V" }
local rdo_kind_names = { [0] = "Fixed", [1] = "Battery", [2] = "Variable", [3] = "APDO(PPS)",
                         [4] = "APDO(AVS)", [5] = "APDO(Unknown)" }
local vdm_command_names = { [1] = "Discover Identity", [2] = "Discover SVIDs",
                            [3] = "Discover Modes", [4] = "Enter Mode", [5] = "Exit Mode",
                            [6] = "Attention" }
local vdm_command_type_names = { [0] = "Request", [1] = "ACK", [2] = "NAK", [3] = "BUSY" }
local ufp_type_names = { [0] = "Undefined", [1] = "PDUSB Hub", [2] = "PDUSB Peripheral",
                         [3] = "PSD / Passive Cable", [4] = "Active Cable",
                         [5] = "Alternate Mode Adapter", [6] = "VCONN Powered Device" }
local dfp_type_names = { [0] = "Undefined", [1] = "PDUSB Hub", [2] = "PDUSB Host",
                         [3] = "Power Brick" }
local bist_mode_names = {
    [0] = "Receiver Mode", [1] = "Transmit Mode", [2] = "Returned BIST Counters",
    [3] = "Carrier Mode 0", [4] = "Carrier Mode 1", [5] = "Carrier Mode 2",
    [6] = "Carrier Mode 3", [7] = "Eye Pattern", [8] = "Test Data",
    [9] = "Shared Test Mode Entry", [10] = "Shared Test Mode Exit",
}
local extended_control_names = { [1] = "EPR_Get_Source_Cap", [2] = "EPR_Get_Sink_Cap",
                                 [3] = "EPR_KeepAlive", [4] = "EPR_KeepAlive_Ack" }
local epr_mode_action_names = { [1] = "Enter", [2] = "Enter Acknowledged",
                                [3] = "Enter Succeeded", [4] = "Enter Failed", [5] = "Exit" }
local crc_status_names = { [0] = "Bad", [1] = "Good" }

---------------------------------------------------------------------------------------------
-- Fields

local f = {
    -- The record.
    version = ProtoField.uint8("zoduz_pd.version", "Record Version"),
    ordered_set = ProtoField.uint8("zoduz_pd.ordered_set", "Ordered Set", base.DEC,
                                   ordered_set_names),
    cc = ProtoField.uint8("zoduz_pd.cc", "CC Line", base.DEC, cc_names),
    flags = ProtoField.uint16("zoduz_pd.flags", "Flags", base.HEX),
    recovered = ProtoField.bool("zoduz_pd.recovered", "Recovered by the tolerant decoder", 16,
                                nil, 0x0002),
    marked = ProtoField.bool("zoduz_pd.marked", "Marked", 16, nil, 0x0080),
    reason = ProtoField.uint8("zoduz_pd.reason", "Decoded As", base.DEC, reason_names),
    port = ProtoField.uint8("zoduz_pd.port", "Port", base.DEC, port_names),
    number = ProtoField.uint32("zoduz_pd.number", "Packet Number"),
    crc = ProtoField.uint32("zoduz_pd.crc", "CRC", base.HEX),
    crc_status = ProtoField.uint8("zoduz_pd.crc.status", "CRC Status", base.DEC,
                                  crc_status_names),
    vbus_voltage = ProtoField.uint16("zoduz_pd.vbus.voltage", "VBUS Voltage"),
    vbus_current = ProtoField.int16("zoduz_pd.vbus.current", "VBUS Current"),
    cc1_voltage = ProtoField.uint16("zoduz_pd.cc1.voltage", "CC1 Voltage"),
    cc1_current = ProtoField.int16("zoduz_pd.cc1.current", "CC1 Current"),
    cc2_voltage = ProtoField.uint16("zoduz_pd.cc2.voltage", "CC2 Voltage"),
    cc2_current = ProtoField.int16("zoduz_pd.cc2.current", "CC2 Current"),
    edges = ProtoField.uint16("zoduz_pd.edges", "CC Edges"),
    duration = ProtoField.uint32("zoduz_pd.duration", "Packet Length"),
    bit_count = ProtoField.uint16("zoduz_pd.bits", "Bits"),
    preamble = ProtoField.uint16("zoduz_pd.preamble", "Preamble Length (bits)"),
    unit_interval = ProtoField.uint32("zoduz_pd.unit_interval", "Average Unit Interval"),
    description = ProtoField.string("zoduz_pd.description", "Description"),
    message = ProtoField.bytes("zoduz_pd.message", "Message Bytes"),

    -- Message header.
    header = ProtoField.uint16("zoduz_pd.header", "Message Header", base.HEX),
    type = ProtoField.string("zoduz_pd.type", "Message Type"),
    type_code = ProtoField.uint8("zoduz_pd.header.type", "Message Type Number"),
    class = ProtoField.uint8("zoduz_pd.class", "Message Class", base.DEC, class_names),
    data_role = ProtoField.uint16("zoduz_pd.header.data_role", "Port Data Role", base.DEC,
                                  { [0] = "UFP", [1] = "DFP" }, 0x0020),
    revision = ProtoField.uint16("zoduz_pd.header.revision", "Specification Revision", base.DEC,
                                 revision_names, 0x00C0),
    power_role = ProtoField.uint16("zoduz_pd.header.power_role", "Port Power Role", base.DEC,
                                   { [0] = "Sink", [1] = "Source" }, 0x0100),
    cable_plug = ProtoField.uint16("zoduz_pd.header.cable_plug", "Cable Plug", base.DEC,
                                   { [0] = "UFP or DFP", [1] = "Cable Plug" }, 0x0100),
    msgid = ProtoField.uint16("zoduz_pd.msgid", "MessageID", base.DEC, nil, 0x0E00),
    object_count = ProtoField.uint16("zoduz_pd.header.objects", "Number of Data Objects",
                                     base.DEC, nil, 0x7000),
    extended = ProtoField.bool("zoduz_pd.header.extended", "Extended", 16, nil, 0x8000),

    -- Extended message header and data.
    ext_header = ProtoField.uint16("zoduz_pd.ext.header", "Extended Message Header", base.HEX),
    ext_chunked = ProtoField.bool("zoduz_pd.ext.chunked", "Chunked", 16, nil, 0x8000),
    ext_chunk_number = ProtoField.uint16("zoduz_pd.ext.chunk_number", "Chunk Number", base.DEC,
                                         nil, 0x7800),
    ext_request_chunk = ProtoField.bool("zoduz_pd.ext.request_chunk", "Request Chunk", 16, nil,
                                        0x0400),
    ext_data_size = ProtoField.uint16("zoduz_pd.ext.data_size", "Data Size", base.DEC, nil,
                                      0x01FF),
    ext_data = ProtoField.bytes("zoduz_pd.ext.data", "Extended Data"),
    ext_block = ProtoField.bytes("zoduz_pd.ext.block", "Reassembled Extended Data"),
    ext_control = ProtoField.uint8("zoduz_pd.ext.control", "Extended Control Type", base.DEC,
                                   extended_control_names),
    ext_spr_pdp = ProtoField.uint8("zoduz_pd.ext.spr_pdp", "SPR PDP (W)", base.DEC, nil, 0x7F),
    ext_epr_pdp = ProtoField.uint8("zoduz_pd.ext.epr_pdp", "EPR PDP (W)"),
    ext_sink_min_pdp = ProtoField.uint8("zoduz_pd.ext.sink_min_pdp", "Sink Minimum PDP (W)",
                                        base.DEC, nil, 0x7F),
    ext_sink_operational_pdp = ProtoField.uint8("zoduz_pd.ext.sink_operational_pdp",
                                                "Sink Operational PDP (W)", base.DEC, nil, 0x7F),
    ext_sink_max_pdp = ProtoField.uint8("zoduz_pd.ext.sink_max_pdp", "Sink Maximum PDP (W)",
                                        base.DEC, nil, 0x7F),

    data_object = ProtoField.uint32("zoduz_pd.do", "Data Object", base.HEX),

    -- Power Data Objects.
    pdo = ProtoField.uint32("zoduz_pd.pdo", "Power Data Object", base.HEX),
    pdo_position = ProtoField.uint8("zoduz_pd.pdo.position", "Object Position"),
    pdo_type = ProtoField.uint32("zoduz_pd.pdo.type", "PDO Type", base.DEC, pdo_type_names,
                                 0xC0000000),
    pdo_apdo_type = ProtoField.uint32("zoduz_pd.pdo.apdo_type", "APDO Type", base.DEC,
                                      apdo_type_names, 0x30000000),
    pdo_voltage = ProtoField.uint32("zoduz_pd.pdo.voltage", "Voltage"),
    pdo_min_voltage = ProtoField.uint32("zoduz_pd.pdo.min_voltage", "Minimum Voltage"),
    pdo_max_voltage = ProtoField.uint32("zoduz_pd.pdo.max_voltage", "Maximum Voltage"),
    pdo_current = ProtoField.uint32("zoduz_pd.pdo.current", "Current"),
    pdo_power = ProtoField.uint32("zoduz_pd.pdo.power", "Power"),
    pdo_peak_current = ProtoField.uint32("zoduz_pd.pdo.peak_current", "Peak Current", base.DEC,
                                         nil, 0x00300000),
    pdo_dual_role_power = ProtoField.bool("zoduz_pd.pdo.dual_role_power", "Dual-Role Power", 32,
                                          nil, 0x20000000),
    pdo_usb_suspend = ProtoField.bool("zoduz_pd.pdo.usb_suspend", "USB Suspend Supported", 32,
                                      nil, 0x10000000),
    pdo_higher_capability = ProtoField.bool("zoduz_pd.pdo.higher_capability",
                                            "Higher Capability", 32, nil, 0x10000000),
    pdo_unconstrained = ProtoField.bool("zoduz_pd.pdo.unconstrained", "Unconstrained Power", 32,
                                        nil, 0x08000000),
    pdo_usb_comm = ProtoField.bool("zoduz_pd.pdo.usb_comm", "USB Communications Capable", 32,
                                   nil, 0x04000000),
    pdo_dual_role_data = ProtoField.bool("zoduz_pd.pdo.dual_role_data", "Dual-Role Data", 32,
                                         nil, 0x02000000),
    pdo_unchunked = ProtoField.bool("zoduz_pd.pdo.unchunked",
                                    "Unchunked Extended Messages Supported", 32, nil, 0x01000000),
    pdo_epr = ProtoField.bool("zoduz_pd.pdo.epr", "EPR Mode Capable", 32, nil, 0x00800000),
    pdo_frs = ProtoField.uint32("zoduz_pd.pdo.frs_current", "Fast Role Swap Current", base.DEC,
                                frs_names, 0x01800000),
    pdo_pps_power_limited = ProtoField.bool("zoduz_pd.pdo.pps_power_limited", "PPS Power Limited",
                                            32, nil, 0x08000000),

    -- Request Data Object.
    rdo = ProtoField.uint32("zoduz_pd.rdo", "Request Data Object", base.HEX),
    rdo_position = ProtoField.uint32("zoduz_pd.rdo.position", "Object Position", base.DEC, nil,
                                     0xF0000000),
    rdo_giveback = ProtoField.bool("zoduz_pd.rdo.giveback", "GiveBack", 32, nil, 0x08000000),
    rdo_mismatch = ProtoField.bool("zoduz_pd.rdo.capability_mismatch", "Capability Mismatch",
                                   32, nil, 0x04000000),
    rdo_usb_comm = ProtoField.bool("zoduz_pd.rdo.usb_comm", "USB Communications Capable", 32,
                                   nil, 0x02000000),
    rdo_no_suspend = ProtoField.bool("zoduz_pd.rdo.no_usb_suspend", "No USB Suspend", 32, nil,
                                     0x01000000),
    rdo_unchunked = ProtoField.bool("zoduz_pd.rdo.unchunked",
                                    "Unchunked Extended Messages Supported", 32, nil, 0x00800000),
    rdo_epr = ProtoField.bool("zoduz_pd.rdo.epr_capable", "EPR Mode Capable", 32, nil,
                              0x00400000),
    rdo_requested_pdo = ProtoField.uint32("zoduz_pd.rdo.pdo", "Requested PDO", base.HEX),
    rdo_kind = ProtoField.uint8("zoduz_pd.rdo.kind", "Requested PDO Type", base.DEC,
                                rdo_kind_names),
    rdo_voltage = ProtoField.uint32("zoduz_pd.rdo.voltage", "Requested Voltage"),
    rdo_operating_current = ProtoField.uint32("zoduz_pd.rdo.operating_current",
                                              "Operating Current"),
    rdo_limit_current = ProtoField.uint32("zoduz_pd.rdo.limit_current",
                                          "Maximum / Minimum Operating Current"),
    rdo_operating_power = ProtoField.uint32("zoduz_pd.rdo.operating_power",
                                            "Operating Power"),
    rdo_limit_power = ProtoField.uint32("zoduz_pd.rdo.limit_power",
                                        "Maximum / Minimum Operating Power"),
    rdo_output_voltage = ProtoField.uint32("zoduz_pd.rdo.output_voltage", "Output Voltage"),

    -- Vendor Defined Messages.
    vdm_header = ProtoField.uint32("zoduz_pd.vdm.header", "VDM Header", base.HEX),
    vdm_svid = ProtoField.uint32("zoduz_pd.vdm.svid", "SVID", base.HEX, nil, 0xFFFF0000),
    vdm_structured = ProtoField.bool("zoduz_pd.vdm.structured", "Structured VDM", 32, nil,
                                     0x00008000),
    vdm_version_major = ProtoField.uint32("zoduz_pd.vdm.version_major", "VDM Version (Major)",
                                          base.DEC, nil, 0x00006000),
    vdm_version_minor = ProtoField.uint32("zoduz_pd.vdm.version_minor", "VDM Version (Minor)",
                                          base.DEC, nil, 0x00001800),
    vdm_object_position = ProtoField.uint32("zoduz_pd.vdm.object_position", "Object Position",
                                            base.DEC, nil, 0x00000700),
    vdm_command_type = ProtoField.uint32("zoduz_pd.vdm.command_type", "Command Type", base.DEC,
                                         vdm_command_type_names, 0x000000C0),
    vdm_command = ProtoField.uint32("zoduz_pd.vdm.command", "Command", base.DEC,
                                    vdm_command_names, 0x0000001F),
    vdm_vendor_data = ProtoField.uint32("zoduz_pd.vdm.vendor_data", "Vendor Data", base.HEX, nil,
                                        0x00007FFF),
    vdm_vdo = ProtoField.uint32("zoduz_pd.vdm.vdo", "Vendor Defined Object", base.HEX),
    id_usb_host = ProtoField.bool("zoduz_pd.vdm.id.usb_host", "USB Communications Capable as Host",
                                  32, nil, 0x80000000),
    id_usb_device = ProtoField.bool("zoduz_pd.vdm.id.usb_device",
                                    "USB Communications Capable as Device", 32, nil, 0x40000000),
    id_ufp_type = ProtoField.uint32("zoduz_pd.vdm.id.ufp_type", "Product Type (UFP / Cable Plug)",
                                    base.DEC, ufp_type_names, 0x38000000),
    id_modal = ProtoField.bool("zoduz_pd.vdm.id.modal", "Modal Operation Supported", 32, nil,
                               0x04000000),
    id_dfp_type = ProtoField.uint32("zoduz_pd.vdm.id.dfp_type", "Product Type (DFP)", base.DEC,
                                    dfp_type_names, 0x03800000),
    id_vid = ProtoField.uint32("zoduz_pd.vdm.id.vid", "USB Vendor ID", base.HEX, nil, 0x0000FFFF),
    id_xid = ProtoField.uint32("zoduz_pd.vdm.id.xid", "XID", base.HEX),
    id_pid = ProtoField.uint32("zoduz_pd.vdm.id.pid", "USB Product ID", base.HEX, nil, 0xFFFF0000),
    id_bcd_device = ProtoField.uint32("zoduz_pd.vdm.id.bcd_device", "bcdDevice", base.HEX, nil,
                                      0x0000FFFF),
    svid_entry = ProtoField.uint16("zoduz_pd.vdm.svids", "SVID", base.HEX),
    vdm_mode = ProtoField.uint32("zoduz_pd.vdm.mode", "Mode", base.HEX),
    dp_hpd = ProtoField.bool("zoduz_pd.vdm.dp.hpd", "HPD State High", 32, nil, 0x00000080),
    dp_irq_hpd = ProtoField.bool("zoduz_pd.vdm.dp.irq_hpd", "IRQ_HPD", 32, nil, 0x00000100),

    -- Other data objects.
    bist_mode = ProtoField.uint32("zoduz_pd.bist.mode", "BIST Mode", base.DEC, bist_mode_names,
                                  0xF0000000),
    bist_data = ProtoField.uint32("zoduz_pd.bist.data", "BIST Data", base.HEX, nil, 0x0000FFFF),
    alert = ProtoField.uint32("zoduz_pd.alert", "Alert Data Object", base.HEX),
    alert_extended = ProtoField.bool("zoduz_pd.alert.extended", "Extended Alert Event", 32, nil,
                                     0x80000000),
    alert_ovp = ProtoField.bool("zoduz_pd.alert.ovp", "OVP Event", 32, nil, 0x40000000),
    alert_source_input = ProtoField.bool("zoduz_pd.alert.source_input", "Source Input Change",
                                         32, nil, 0x20000000),
    alert_operating_condition = ProtoField.bool("zoduz_pd.alert.operating_condition",
                                                "Operating Condition Change", 32, nil, 0x10000000),
    alert_otp = ProtoField.bool("zoduz_pd.alert.otp", "OTP Event", 32, nil, 0x08000000),
    alert_ocp = ProtoField.bool("zoduz_pd.alert.ocp", "OCP Event", 32, nil, 0x04000000),
    alert_battery = ProtoField.bool("zoduz_pd.alert.battery_status", "Battery Status Change",
                                    32, nil, 0x02000000),
    alert_fixed_batteries = ProtoField.uint32("zoduz_pd.alert.fixed_batteries", "Fixed Batteries",
                                              base.HEX, nil, 0x00F00000),
    alert_hot_swappable = ProtoField.uint32("zoduz_pd.alert.hot_swappable_batteries",
                                            "Hot Swappable Batteries", base.HEX, nil, 0x000F0000),
    alert_extended_type = ProtoField.uint32("zoduz_pd.alert.extended_type",
                                            "Extended Alert Event Type", base.DEC, nil, 0x0000000F),
    battery_capacity = ProtoField.uint32("zoduz_pd.battery.capacity",
                                         "Battery Present Capacity (x 0.1 Wh)", base.DEC, nil,
                                         0xFFFF0000),
    battery_info = ProtoField.uint32("zoduz_pd.battery.info", "Battery Info", base.HEX, nil,
                                     0x0000FF00),
    epr_mode_action = ProtoField.uint32("zoduz_pd.epr_mode.action", "EPR Mode Action", base.DEC,
                                        epr_mode_action_names, 0xFF000000),
    epr_mode_data = ProtoField.uint32("zoduz_pd.epr_mode.data", "EPR Mode Data", base.DEC, nil,
                                      0x00FF0000),
    source_info_guaranteed = ProtoField.bool("zoduz_pd.source_info.guaranteed",
                                             "Port Type Guaranteed", 32, nil, 0x80000000),
    source_info_max_pdp = ProtoField.uint32("zoduz_pd.source_info.max_pdp", "Maximum PDP (W)",
                                            base.DEC, nil, 0x00FF0000),
    source_info_present_pdp = ProtoField.uint32("zoduz_pd.source_info.present_pdp",
                                                "Present PDP (W)", base.DEC, nil, 0x0000FF00),
    source_info_reported_pdp = ProtoField.uint32("zoduz_pd.source_info.reported_pdp",
                                                 "Reported PDP (W)", base.DEC, nil, 0x000000FF),
    revision_major = ProtoField.uint32("zoduz_pd.revision.major", "Revision (Major)", base.DEC,
                                       nil, 0xF0000000),
    revision_minor = ProtoField.uint32("zoduz_pd.revision.minor", "Revision (Minor)", base.DEC,
                                       nil, 0x0F000000),
    enter_usb_mode = ProtoField.uint32("zoduz_pd.enter_usb.mode", "USB Mode", base.DEC,
                                       { [0] = "USB 2.0", [1] = "USB 3.2", [2] = "USB4" },
                                       0x70000000),
}

local field_list = {}
for _, field in pairs(f) do
    field_list[#field_list + 1] = field
end
zoduz_pd.fields = field_list

local e = {
    bad_crc = ProtoExpert.new("zoduz_pd.crc.bad", "Bad CRC", expert.group.CHECKSUM,
                              expert.severity.ERROR),
    no_message = ProtoExpert.new("zoduz_pd.no_message", "Burst without a decoded message",
                                 expert.group.UNDECODED, expert.severity.WARN),
    recovered = ProtoExpert.new("zoduz_pd.recovered.note", "Recovered by the tolerant decoder",
                                expert.group.PROTOCOL, expert.severity.NOTE),
    malformed = ProtoExpert.new("zoduz_pd.malformed", "Malformed Zoduz record",
                                expert.group.MALFORMED, expert.severity.ERROR),
}
zoduz_pd.experts = { e.bad_crc, e.no_message, e.recovered, e.malformed }

---------------------------------------------------------------------------------------------
-- Data objects

-- Adds a value computed from a data object, with its unit after it.
local function add_value(tree, field, range, value, unit)
    local item = tree:add(field, range, value)
    if unit then
        item:append_text(" " .. unit)
    end
    return item
end

-- A PDO's voltage range and its one limit, a current or a power.
local function add_ranged(item, range, label, min_voltage, max_voltage, limit_field, limit, unit)
    add_value(item, f.pdo_max_voltage, range, max_voltage, "mV")
    add_value(item, f.pdo_min_voltage, range, min_voltage, "mV")
    add_value(item, limit_field, range, limit, unit)
    item:append_text(string.format(" %s %d-%d mV / %d %s", label, min_voltage, max_voltage, limit,
                                   unit))
end

-- One PDO; `sink` for Sink_Capabilities and EPR_Sink_Capabilities.
local function add_pdo(tree, range, position, sink)
    local pdo = range:le_uint()
    local kind = bits(pdo, 30, 2)
    local item = tree:add_le(f.pdo, range)
    item:prepend_text(string.format("[%d] ", position))
    local sub = item:add(f.pdo_position, range, position)
    sub:set_generated()
    item:add_le(f.pdo_type, range)
    if kind == 0 then
        local voltage = bits(pdo, 10, 10) * 50
        local current = bits(pdo, 0, 10) * 10
        add_value(item, f.pdo_voltage, range, voltage, "mV")
        add_value(item, f.pdo_current, range, current, "mA")
        item:append_text(string.format(" Fixed %d mV / %d mA", voltage, current))
        item:add_le(f.pdo_dual_role_power, range)
        if sink then
            item:add_le(f.pdo_higher_capability, range)
        else
            item:add_le(f.pdo_usb_suspend, range)
        end
        item:add_le(f.pdo_unconstrained, range)
        item:add_le(f.pdo_usb_comm, range)
        item:add_le(f.pdo_dual_role_data, range)
        if sink then
            item:add_le(f.pdo_frs, range)
        else
            item:add_le(f.pdo_unchunked, range)
            item:add_le(f.pdo_epr, range)
            item:add_le(f.pdo_peak_current, range)
        end
    elseif kind == 1 then
        add_ranged(item, range, "Battery", bits(pdo, 10, 10) * 50, bits(pdo, 20, 10) * 50,
                   f.pdo_power, bits(pdo, 0, 10) * 250, "mW")
    elseif kind == 2 then
        add_ranged(item, range, "Variable", bits(pdo, 10, 10) * 50, bits(pdo, 20, 10) * 50,
                   f.pdo_current, bits(pdo, 0, 10) * 10, "mA")
    else
        local apdo = bits(pdo, 28, 2)
        item:add_le(f.pdo_apdo_type, range)
        if apdo == 0 then
            item:add_le(f.pdo_pps_power_limited, range)
            add_ranged(item, range, "PPS", bits(pdo, 8, 8) * 100, bits(pdo, 17, 8) * 100,
                       f.pdo_current, bits(pdo, 0, 7) * 50, "mA")
        elseif apdo == 1 then
            item:add_le(f.pdo_peak_current, range)
            add_ranged(item, range, "AVS", bits(pdo, 8, 8) * 100, bits(pdo, 17, 9) * 100,
                       f.pdo_power, bits(pdo, 0, 8) * 1000, "mW")
        else
            item:append_text(" APDO")
        end
    end
end

-- The kind of request an RDO makes, from the PDO it selects.
local function rdo_kind(pdo)
    local kind = bits(pdo, 30, 2)
    if kind < 3 then
        return kind
    end
    local apdo = bits(pdo, 28, 2)
    return apdo == 0 and 3 or (apdo == 1 and 4 or 5)
end

-- One RDO; `pdo` is the PDO it selects (nil when unknown), `pdo_range` where that PDO lies.
local function add_rdo(tree, range, pdo, pdo_range)
    local rdo = range:le_uint()
    local item = tree:add_le(f.rdo, range)
    item:add_le(f.rdo_position, range)
    item:append_text(string.format(" Position %d", bits(rdo, 28, 4)))
    if pdo then
        local kind = rdo_kind(pdo)
        local sub = item:add(f.rdo_requested_pdo, pdo_range, pdo)
        sub:set_generated()
        item:add(f.rdo_kind, pdo_range, kind):set_generated()
        if kind == 0 then
            add_value(item, f.rdo_voltage, pdo_range, bits(pdo, 10, 10) * 50, "mV")
                :set_generated()
        end
        if kind == 0 or kind == 2 then
            add_value(item, f.rdo_operating_current, range, bits(rdo, 10, 10) * 10, "mA")
            add_value(item, f.rdo_limit_current, range, bits(rdo, 0, 10) * 10, "mA")
            item:add_le(f.rdo_giveback, range)
        elseif kind == 1 then
            add_value(item, f.rdo_operating_power, range, bits(rdo, 10, 10) * 250, "mW")
            add_value(item, f.rdo_limit_power, range, bits(rdo, 0, 10) * 250, "mW")
            item:add_le(f.rdo_giveback, range)
        elseif kind == 3 or kind == 4 then
            local voltage = kind == 3 and bits(rdo, 9, 11) * 20 or bits(rdo, 9, 12) * 25
            add_value(item, f.rdo_output_voltage, range, voltage, "mV")
            add_value(item, f.rdo_operating_current, range, bits(rdo, 0, 7) * 50, "mA")
        end
        item:append_text(" " .. rdo_kind_names[kind])
    end
    item:add_le(f.rdo_mismatch, range)
    item:add_le(f.rdo_usb_comm, range)
    item:add_le(f.rdo_no_suspend, range)
    item:add_le(f.rdo_unchunked, range)
    item:add_le(f.rdo_epr, range)
end

local function add_vdm(tree, message, count, header_value)
    local range = message(2, 4)
    local vdm = range:le_uint()
    local item = tree:add_le(f.vdm_header, range)
    item:add_le(f.vdm_svid, range)
    item:add_le(f.vdm_structured, range)
    if not flag(vdm, 15) then
        item:add_le(f.vdm_vendor_data, range)
        for i = 1, count - 1 do
            tree:add_le(f.vdm_vdo, message(2 + 4 * i, 4))
        end
        return
    end
    item:add_le(f.vdm_version_major, range)
    item:add_le(f.vdm_version_minor, range)
    item:add_le(f.vdm_object_position, range)
    item:add_le(f.vdm_command_type, range)
    item:add_le(f.vdm_command, range)
    local command = bits(vdm, 0, 5)
    local svid = bits(vdm, 16, 16)
    for i = 1, count - 1 do
        local vdo_range = message(2 + 4 * i, 4)
        local vdo = tree:add_le(f.vdm_vdo, vdo_range)
        if command == 1 and i == 1 then
            vdo:append_text(" (ID Header)")
            vdo:add_le(f.id_usb_host, vdo_range)
            vdo:add_le(f.id_usb_device, vdo_range)
            vdo:add_le(f.id_ufp_type, vdo_range)
            vdo:add_le(f.id_modal, vdo_range)
            if bits(header_value, 6, 2) >= 2 then
                vdo:add_le(f.id_dfp_type, vdo_range)
            end
            vdo:add_le(f.id_vid, vdo_range)
        elseif command == 1 and i == 2 then
            vdo:append_text(" (Cert Stat)")
            vdo:add_le(f.id_xid, vdo_range)
        elseif command == 1 and i == 3 then
            vdo:append_text(" (Product)")
            vdo:add_le(f.id_pid, vdo_range)
            vdo:add_le(f.id_bcd_device, vdo_range)
        elseif command == 2 then
            vdo:add_le(f.svid_entry, vdo_range(2, 2))
            vdo:add_le(f.svid_entry, vdo_range(0, 2))
        elseif command == 3 then
            vdo:add_le(f.vdm_mode, vdo_range)
        elseif command == 6 and svid == 0xFF01 and i == 1 then
            vdo:append_text(" (DisplayPort Status)")
            vdo:add_le(f.dp_hpd, vdo_range)
            vdo:add_le(f.dp_irq_hpd, vdo_range)
        end
    end
end

-- The data objects of a data message; a Request's RDO is read against `requested`, the PDO it
-- selects (nil when unknown), which lies at `requested_range` in the record.
local function add_data_objects(tree, message, type, count, header_value, requested,
                                requested_range)
    if type == 15 then
        add_vdm(tree, message, count, header_value)
        return
    end
    for i = 0, count - 1 do
        local range = message(2 + 4 * i, 4)
        if type == 1 or type == 4 then
            add_pdo(tree, range, i + 1, type == 4)
        elseif type == 2 and i == 0 then
            add_rdo(tree, range, requested, requested_range)
        elseif type == 9 and i == 0 and count >= 2 then
            add_rdo(tree, range, message(6, 4):le_uint(), message(6, 4))
        elseif type == 9 and i == 1 then
            add_pdo(tree, range, 1, false)
        else
            local item = tree:add_le(f.data_object, range)
            if type == 3 and i == 0 then
                item:add_le(f.bist_mode, range)
                item:add_le(f.bist_data, range)
            elseif type == 5 and i == 0 then
                item:add_le(f.battery_capacity, range)
                item:add_le(f.battery_info, range)
            elseif type == 6 and i == 0 then
                local alert = tree:add_le(f.alert, range)
                for _, field in ipairs({ f.alert_extended, f.alert_ovp, f.alert_source_input,
                                         f.alert_operating_condition, f.alert_otp, f.alert_ocp,
                                         f.alert_battery, f.alert_fixed_batteries,
                                         f.alert_hot_swappable, f.alert_extended_type }) do
                    alert:add_le(field, range)
                end
            elseif type == 8 and i == 0 then
                item:add_le(f.enter_usb_mode, range)
            elseif type == 10 and i == 0 then
                item:add_le(f.epr_mode_action, range)
                item:add_le(f.epr_mode_data, range)
            elseif type == 11 and i == 0 then
                item:add_le(f.source_info_guaranteed, range)
                item:add_le(f.source_info_max_pdp, range)
                item:add_le(f.source_info_present_pdp, range)
                item:add_le(f.source_info_reported_pdp, range)
            elseif type == 12 and i == 0 then
                item:add_le(f.revision_major, range)
                item:add_le(f.revision_minor, range)
            end
        end
    end
end

-- The extended header and data; `block` is the reassembled data block when the record has it.
local function add_extended(tree, message, type, block)
    if message:len() < 4 then
        return
    end
    local ext = message(2, 2)
    local item = tree:add_le(f.ext_header, ext)
    item:add_le(f.ext_chunked, ext)
    item:add_le(f.ext_chunk_number, ext)
    item:add_le(f.ext_request_chunk, ext)
    item:add_le(f.ext_data_size, ext)
    if message:len() > 4 then
        tree:add(f.ext_data, message(4))
    end
    local data = block
    if data == nil and not flag(ext:le_uint(), 15) and message:len() > 4 then
        data = message(4)
    end
    if data == nil then
        return
    end
    if block ~= nil then
        tree:add(f.ext_block, block)
    end
    local size = data:len()
    if type == 17 or type == 18 then
        for k = 1, math.floor(size / 4) do
            local range = data(4 * (k - 1), 4)
            if range:le_uint() ~= 0 then
                add_pdo(tree, range, k, type == 18)
            end
        end
    elseif type == 16 and size >= 1 then
        tree:add(f.ext_control, data(0, 1))
    elseif type == 1 and size >= 24 then
        tree:add(f.ext_spr_pdp, data(23, 1))
        if size >= 25 then
            tree:add(f.ext_epr_pdp, data(24, 1))
        end
    elseif type == 15 and size >= 21 then
        tree:add(f.ext_sink_min_pdp, data(18, 1))
        tree:add(f.ext_sink_operational_pdp, data(19, 1))
        tree:add(f.ext_sink_max_pdp, data(20, 1))
    end
end

---------------------------------------------------------------------------------------------
-- The record

local function message_name(class, type)
    local names = class == 2 and extended_names or (class == 1 and data_names or control_names)
    return names[type] or string.format("Unknown(%d)", type)
end

local function is_sop_kind(kind)
    return kind == 1 or kind == 2 or kind == 3 or kind == 6 or kind == 7
end

function zoduz_pd.dissector(tvb, pinfo, tree)
    pinfo.cols.protocol = "USB PD"
    local root = tree:add(zoduz_pd, tvb())
    if tvb:len() < 2 or tvb(1, 1):uint() < 52 or tvb:len() < tvb(1, 1):uint() then
        root:add_proto_expert_info(e.malformed)
        return tvb:len()
    end
    local header_length = tvb(1, 1):uint()
    local message_length = tvb(28, 2):le_uint()
    local block_length = tvb(30, 2):le_uint()
    local description_length = tvb(36, 2):le_uint()
    if tvb:len() < header_length + message_length + block_length + description_length then
        root:add_proto_expert_info(e.malformed)
        return tvb:len()
    end

    local kind = tvb(2, 1):uint()
    local flags = tvb(4, 2):le_uint()
    local reason = tvb(6, 1):uint()
    local crc_good = flag(flags, 0)
    root:add(f.version, tvb(0, 1))
    root:add(f.number, tvb(8, 4), tvb(8, 4):le_uint())
    root:add(f.cc, tvb(3, 1))
    root:add(f.ordered_set, tvb(2, 1))
    root:add(f.reason, tvb(6, 1))
    root:add(f.port, tvb(7, 1))
    local flag_item = root:add_le(f.flags, tvb(4, 2))
    flag_item:add_le(f.recovered, tvb(4, 2))
    flag_item:add_le(f.marked, tvb(4, 2))
    if flag(flags, 1) then
        root:add_proto_expert_info(e.recovered)
    end

    local offset = header_length
    local message = message_length > 0 and tvb(offset, message_length) or nil
    offset = offset + message_length
    local block = block_length > 0 and tvb(offset, block_length) or nil
    offset = offset + block_length
    local description = ""
    if description_length > 0 then
        description = tvb(offset, description_length):string()
        root:add(f.description, tvb(offset, description_length))
    end

    local has_message = reason == 0 and is_sop_kind(kind)
    if has_message then
        local status = root:add(f.crc_status, tvb(12, 4), crc_good and 1 or 0)
        status:set_generated()
        root:add_le(f.crc, tvb(12, 4))
        if not crc_good then
            status:add_proto_expert_info(e.bad_crc)
        end
    end

    if flag(flags, 2) then
        local readings = root:add(zoduz_pd, tvb(16, 12), "VBUS and CC Readings")
        readings:add_le(f.vbus_voltage, tvb(16, 2)):append_text(" mV")
        readings:add_le(f.vbus_current, tvb(18, 2)):append_text(" mA")
        readings:add_le(f.cc1_voltage, tvb(20, 2)):append_text(" mV")
        readings:add_le(f.cc1_current, tvb(22, 2)):append_text(" mA")
        readings:add_le(f.cc2_voltage, tvb(24, 2)):append_text(" mV")
        readings:add_le(f.cc2_current, tvb(26, 2)):append_text(" mA")
    end
    local burst = root:add(zoduz_pd, tvb(38, 14), "Burst")
    burst:add_le(f.edges, tvb(38, 2))
    burst:add_le(f.duration, tvb(40, 4)):append_text(" us")
    burst:add_le(f.bit_count, tvb(44, 2))
    burst:add_le(f.preamble, tvb(46, 2))
    burst:add_le(f.unit_interval, tvb(48, 4)):append_text(" ns")

    if message then
        root:add(f.message, message)
    end

    -- Source and destination: the sending port and its partner (the cable plug for SOP' and
    -- SOP'' from a port).
    local port = tvb(7, 1):uint()
    if port >= 1 and port <= 3 then
        pinfo.cols.src = port_names[port]
        if port == 3 then
            pinfo.cols.dst = "Port"
        elseif kind == 1 then
            pinfo.cols.dst = port_names[3 - port]
        elseif kind == 2 or kind == 3 then
            pinfo.cols.dst = port_names[3]
        end
    end

    if kind == 4 or kind == 5 then
        pinfo.cols.info = ordered_set_names[kind]
        return tvb:len()
    end
    if not has_message then
        root:add_proto_expert_info(e.no_message)
        if reason >= 4 then
            pinfo.cols.info = string.format("[%s: %s]", reason_names[reason],
                                            ordered_set_names[kind] or "?")
        else
            pinfo.cols.info = string.format("[%s]", reason_names[reason] or "?")
        end
        return tvb:len()
    end
    if not crc_good or message_length < 2 then
        pinfo.cols.info = string.format("%s message with a bad CRC", ordered_set_names[kind])
        return tvb:len()
    end

    -- A message with a good CRC: the header and what follows it.
    local header_range = message(0, 2)
    local header_value = header_range:le_uint()
    local revision = bits(header_value, 6, 2)
    local count = bits(header_value, 12, 3)
    local type = revision >= 2 and bits(header_value, 0, 5) or bits(header_value, 0, 4)
    local class = (revision >= 2 and flag(header_value, 15)) and 2 or (count > 0 and 1 or 0)
    local name = message_name(class, type)

    local header = root:add_le(f.header, header_range)
    header:add(f.type, header_range, name)
    header:add(f.type_code, header_range, type)
    header:add(f.class, header_range, class):set_generated()
    if kind == 1 then
        header:add_le(f.power_role, header_range)
        header:add_le(f.data_role, header_range)
    elseif kind == 2 or kind == 3 then
        header:add_le(f.cable_plug, header_range)
    end
    header:add_le(f.revision, header_range)
    header:add_le(f.msgid, header_range)
    header:add_le(f.object_count, header_range)
    if revision >= 2 then
        header:add_le(f.extended, header_range)
    end
    root:append_text(", " .. name)

    if class == 2 then
        add_extended(root, message, type, block)
    elseif class == 1 then
        local available = math.min(count, math.floor((message_length - 2) / 4))
        local requested = flag(flags, 3) and tvb(32, 4):le_uint() or nil
        add_data_objects(root, message, type, available, header_value, requested, tvb(32, 4))
    end

    if description ~= "" then
        pinfo.cols.info = name .. " " .. description
    else
        pinfo.cols.info = name
    end
    return tvb:len()
end
