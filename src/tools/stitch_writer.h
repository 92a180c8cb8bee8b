// Joins record files by plain byte concatenation: the base file, then its successors in order.
#pragma once

#include <string>
#include <vector>

#include "tools/tool_job.h"

// Writes parts (the base file first) one after the other into outputPath in 1 MiB chunks.
// Every part is opened and measured before the output is created: one that cannot be opened
// fails the stitch with kCannotRead and nothing is written. An output that names one of the
// parts is refused (kCannotCreate) rather than truncating it. The abort flag is checked after
// every chunk; a failed or aborted stitch leaves the partial output on disk.
ToolResult WriteStitchedFile(const std::vector<std::string>& parts, const std::string& outputPath,
                             JobControl& control);
