// Internal helpers of BuildFieldLayout, shared by its message, extended and VDM parts.
#pragma once

#include <cstdint>

#include "pd/cc_packet.h"
#include "pd/field_layout.h"

struct FieldLayoutBuilder {
    FieldLayout& layout;
    FieldSource source;

    // Appends a segment at `bitOffset`; silently dropped once the layout is full.
    void Add(int32_t bitOffset, const FieldTable* table, int32_t overrideField = -1,
             ValueList overrideValues = {});
    // The 32-bit little-endian word at `bitOffset` of the source.
    uint32_t Word(int32_t bitOffset) const;
    // The byte at `bitOffset` of the source.
    uint32_t Byte(int32_t bitOffset) const;
};

// Power Data Object table of a source (or sink) PDO word; `revision3` selects the Fixed table.
const FieldTable* PdoTable(uint32_t pdo, bool source, bool revision3);
// Request Data Object table for RDO `rdo` requesting PDO `pdo`.
const FieldTable* RdoTable(uint32_t pdo, uint32_t rdo, bool revision3);

// Segments of a Vendor_Defined data message (VDM header at bit 16).
void AddVdmSegments(FieldLayoutBuilder& builder, const CCCPacket& packet);
