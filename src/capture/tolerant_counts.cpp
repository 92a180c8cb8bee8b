#include "capture/tolerant_counts.h"

#include "pd/text_format.h"

void TolerantCounts::Count(TolerantOutcome outcome) {
    switch (outcome) {
        case TolerantOutcome::kStrictAccepted:
            return;
        case TolerantOutcome::kRecovered:
            ++recovered;
            break;
        case TolerantOutcome::kRecoverable:
            ++recoverable;
            break;
        case TolerantOutcome::kRejected:
            break;
    }
    ++strictRejected;
}

std::string TolerantSummaryText(const TolerantCounts& counts, bool tolerantOn) {
    if (counts.strictRejected == 0) {
        return {};
    }
    const auto rejected = static_cast<unsigned long long>(counts.strictRejected);
    std::string text = FormatText("%llu packet%s rejected by the strict decoder, ", rejected,
                                  rejected == 1 ? "" : "s");
    if (tolerantOn) {
        AppendFormat(text, "%llu recovered by the tolerant decoder",
                     static_cast<unsigned long long>(counts.recovered));
    } else {
        AppendFormat(text, "%llu recoverable with tolerant decoding",
                     static_cast<unsigned long long>(counts.recoverable));
    }
    return text;
}
