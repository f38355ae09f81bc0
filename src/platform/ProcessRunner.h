// Started processes and waiting for their end without freezing the user interface.
#pragma once

#include <QString>

#include <cstdint>

// Starts a command line (program and arguments, quotes group blanks); returns the process id,
// or 0 when it could not start.
int64_t StartProcess(const QString& commandLine, const QString& workDir = {});

// Waits for the end of a process and returns its exit code. Blocking waits without processing
// events; otherwise a local event loop keeps the user interface alive meanwhile. A process that
// is not running (or unknown) gives 0 at once without blocking; with blocking it raises an error.
int32_t WaitForProcessEnd(int64_t pid, bool blocking);
