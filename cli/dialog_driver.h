// read and set: the tool's own main dialog on a thread of its own, shown through the headless
// presenter and driven as a technician drives it, on the real clock. The wire sees exactly what
// the dialog sends; its message boxes become this program's messages.
#pragma once

#include "cli/arguments.h"

namespace cli {

// Runs the request's read or set, prints the settings on standard output and the failures on
// standard error; returns the exit code.
int RunOnDialog(const Request& request);

}  // namespace cli
