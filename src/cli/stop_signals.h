// SIGINT and SIGTERM as a request to stop, for the commands that run until told to end.
#pragma once

// Installs the handlers; a file size limit then makes writes fail (EFBIG) instead of ending
// the process.
void InstallStopSignals();
// True once SIGINT or SIGTERM arrived.
bool StopSignalled();
