// Findings and contracts as the command line prints them: tab-separated lines or one JSON
// object per line. Times are shown on the list's time base (relTime minus the time origin).
#pragma once

#include <cstdint>
#include <string>

#include "check/finding.h"

// time, severity, rule, packets (comma-separated), measured, limit, text.
std::string FindingTsv(const Finding& finding, int64_t timeOrigin);
// {"rule", "severity", "packets", "time", "measured", "limit", "text"}; measured and limit are
// {"value", "unit"} or null.
std::string FindingJson(const Finding& finding, int64_t timeOrigin);

// time, type, voltage, current, position, caps/request/accept/PS_RDY packets, latencies,
// transition, settle, overshoot, final voltage, end, end time, events.
std::string ContractTsv(const Contract& contract, int64_t timeOrigin);
std::string ContractJson(const Contract& contract, int64_t timeOrigin);
