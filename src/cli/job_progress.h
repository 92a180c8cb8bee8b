// Running a writer job from the command line: progress on stderr once a second, and Ctrl+C
// (SIGINT) or SIGTERM requests the abort.
#pragma once

#include "tools/tool_job.h"

// Waits for the job, printing "<verb>... N%" on stderr every second while it runs.
ToolResult WaitForJob(ToolJob& job, const char* verb);
