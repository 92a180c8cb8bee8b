// The field table rows of a bit range: fields are found through the packet's field layout,
// where a later segment takes over from its first bit on.
#include "pd/field_rows.h"

#include <algorithm>

#include "pd/field_layout.h"
#include "pd/text_format.h"

namespace {

constexpr int kBitsPerRow = 128;
constexpr int kBitsPerPiece = 32;

// A field found at a bit position, with the segment whose table holds it.
struct FoundField {
    const FieldSegment* segment = nullptr;
    const FieldDesc* field = nullptr;
};

bool Contains(const FieldSegment& segment, int64_t h) {
    return h == segment.bitOffset ||
           (h > segment.bitOffset && h < int64_t{segment.bitOffset} + segment.bitLength);
}

// The field that begins at bit p, searching from the segment that contains h and handing over
// to each later segment once p has reached it.
FoundField FindField(const FieldLayout& layout, int64_t h, int64_t p) {
    const auto segments = std::span(layout.segments).first(static_cast<size_t>(layout.count));
    while (true) {
        const FieldSegment* containing = nullptr;
        for (const FieldSegment& segment : segments) {
            if (Contains(segment, h)) {
                containing = &segment;
            }
        }
        if (containing == nullptr || containing->table == nullptr) {
            return {};
        }
        for (const FieldDesc& field : *containing->table) {
            if (field.bitOffset == p - containing->bitOffset) {
                return {containing, &field};
            }
        }
        const FieldSegment* next = nullptr;
        for (const FieldSegment& segment : segments) {
            if (segment.bitOffset > h && (next == nullptr || segment.bitOffset < next->bitOffset)) {
                next = &segment;
            }
        }
        if (next == nullptr || next->bitOffset > p) {
            return {};
        }
        h = next->bitOffset;
    }
}

// One piece of up to 32 bits of a value, as hex digits for its width and, for fields of at
// most 32 bits, the same bits as a signed 32-bit decimal.
void AppendPiece(std::string& out, uint32_t piece, int bits, bool wideField) {
    const int digits = (bits + 3) / 4;
    const auto asSigned = static_cast<int32_t>(piece);
    if (digits >= 8) {
        if (wideField) {
            AppendFormat(out, "%08Xh", piece);
        } else {
            AppendFormat(out, "%08Xh (%d)", piece, asSigned);
        }
    } else if (digits <= 1) {
        AppendFormat(out, "%Xh (%d)", piece, asSigned);
    } else {
        AppendFormat(out, "%0*Xh (%d)", digits, piece, asSigned);
    }
}

bool IsPrintable(uint32_t c) {
    return c >= 0x20 && c <= 0x7E;
}

// Rows of one field beginning at source bit p, of which `shown` bits are inside the range.
void AppendFieldRows(std::vector<FieldRow>& rows, const FoundField& found,
                     const FieldSource& source, int64_t p, int32_t displayedOffset, int32_t shown) {
    const ValueList values = SegmentFieldValues(*found.segment, *found.field);
    const bool wideField = shown > kBitsPerPiece;
    for (int32_t k = 0; k < shown; k += kBitsPerRow) {
        const int32_t n = std::min(kBitsPerRow, shown - k);
        const int64_t rowStart = p + k;
        FieldRow row;
        if (shown == 1) {
            row.offset = FormatText("%d", displayedOffset);
        } else {
            row.offset = FormatText("%d..%d", displayedOffset + k, displayedOffset + k + n - 1);
        }
        row.length = FormatText("%d", n);
        row.name = found.field->name;
        if (wideField) {
            AppendFormat(row.name, "[%d..%d]", k / 8, (k + n) / 8 - 1);
        }
        for (int32_t j = 0; j < n; j += kBitsPerPiece) {
            const int bits = std::min(kBitsPerPiece, n - j);
            if (j > 0) {
                row.value += " - ";
            }
            AppendPiece(row.value, ReadSourceBits(source, rowStart + j, bits), bits, wideField);
        }
        if (!values.empty()) {
            row.description =
                DescribeValue(values, ReadSourceBits(source, rowStart, std::min(n, kBitsPerPiece)));
        }
        for (int32_t g = 0; g < n; g += 8) {
            const uint32_t byte = ReadSourceBits(source, rowStart + g, std::min(8, n - g));
            AppendFormat(row.hex, "%02X ", byte);
            row.ascii += IsPrintable(byte) ? static_cast<char>(byte) : '.';
        }
        rows.push_back(std::move(row));
    }
}

}  // namespace

std::vector<FieldRow> BuildFieldRows(const CCCPacket& packet, const FieldBitRange& range) {
    std::vector<FieldRow> rows;
    const FieldLayout layout = BuildFieldLayout(packet, range.reassembled);
    const FieldSource source = SelectFieldSource(packet, range.reassembled);
    // Never past the bytes the source holds, whatever range the caller asks for.
    const int32_t sourceBits = 8 * source.byteCount;
    if (range.start < 0 || range.start >= sourceBits) {
        return rows;
    }
    const int32_t length = std::min(range.length, sourceBits - range.start);
    int32_t emitted = 0;
    while (emitted < length) {
        const int64_t p = int64_t{range.start} + emitted;
        const FoundField found = FindField(layout, range.start, p);
        if (found.field == nullptr || found.field->bitLength <= 0) {
            ++emitted;  // no field starts here: skip one bit
            continue;
        }
        const int32_t shown = std::min(found.field->bitLength, length - emitted);
        AppendFieldRows(rows, found, source, p, emitted, shown);
        emitted += shown;
    }
    return rows;
}

std::vector<FieldRow> FieldRowsForNode(const CCCPacket& packet, uint32_t code) {
    const std::optional<FieldBitRange> range = NodeBitRange(packet, code);
    if (!range) {
        return {};
    }
    return BuildFieldRows(packet, *range);
}
