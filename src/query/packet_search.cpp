#include "query/packet_search.h"

#include "list/core/packet_match.h"

namespace {

std::string ValidLabels() {
    std::string labels;
    for (const CriterionBox& box : kCriterionBoxes) {
        labels += labels.empty() ? "\"" : ", \"";
        labels += box.label;
        labels += '"';
    }
    return labels;
}

}  // namespace

std::string UnknownBoxText(std::string_view label) {
    return "unknown box '" + std::string(label) + "'; valid labels: " + ValidLabels();
}

bool SetCriterionBox(FindCriteria& criteria, std::string_view label, bool on, std::string& error) {
    const std::optional<Criterion> criterion = CriterionByLabel(label);
    if (!criterion) {
        error = UnknownBoxText(label);
        return false;
    }
    criteria.on[*criterion] = on;
    return true;
}

std::vector<FindMatch> FindMatches(const FindCriteria& criteria, const CaptureRows& rows,
                                   std::optional<size_t> from) {
    const std::vector<PacketPtr>& packets = rows.doc.Packets();
    const auto count = static_cast<int64_t>(packets.size());
    const bool forward = criteria.direction == FindDirection::kForward;
    int64_t row = forward ? 0 : count - 1;
    if (from) {
        row = static_cast<int64_t>(*from) + (forward ? 1 : -1);
    }
    std::vector<FindMatch> matches;
    for (; row >= 0 && row < count; row += forward ? 1 : -1) {
        const auto index = static_cast<size_t>(row);
        const int column = MatchFind(criteria, rows.Row(index), rows.context);
        if (column != -1) {
            matches.push_back({index, column});
        }
    }
    return matches;
}

std::vector<size_t> FilteredRows(const FindCriteria& criteria, const CaptureRows& rows) {
    const std::vector<PacketPtr>& packets = rows.doc.Packets();
    std::vector<size_t> shown;
    for (size_t i = 0; i < packets.size(); ++i) {
        if (ShownByFilter(criteria, rows.Row(i), rows.context)) {
            shown.push_back(i);
        }
    }
    return shown;
}
