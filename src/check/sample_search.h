// Searches over an index range of a sample snapshot for the first sample whose value lies in or
// out of a band. Long quiet stretches are answered from the store's summaries; single samples
// are read only where a summary says the sought sample may lie.
#pragma once

#include <cstddef>
#include <cstdint>

#include "capture/plot_value.h"
#include "capture/sample_snapshot.h"

// The first index in [first, end) whose value lies outside [low, high]; end when there is none.
size_t FindFirstOutside(const SampleSnapshot& samples, size_t first, size_t end, PlotValue value,
                        int64_t low, int64_t high);

// The first index in [first, end) whose value lies inside [low, high]; end when there is none.
size_t FindFirstInside(const SampleSnapshot& samples, size_t first, size_t end, PlotValue value,
                       int64_t low, int64_t high);
