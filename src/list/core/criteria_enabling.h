// Which boxes of the find and filter dialog can be changed: those of properties that occur in
// the capture, or all with "Allow to change all settings".
#pragma once

#include <array>

#include "capture/packet_statistics.h"
#include "list/core/find_criteria.h"

struct CriteriaEnabling {
    std::array<bool, kCriterionCount> box{};
    bool textEdit = false;
};

// The enabling of every box for the criteria and the capture's counters. Without counters
// (no document seen yet) every box and the text edit are enabled.
CriteriaEnabling EnableCriteria(const FindCriteria& criteria, const PacketStatistics* statistics);
