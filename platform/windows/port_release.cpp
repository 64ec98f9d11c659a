// Nothing of a port outlives a process on Windows: the system closes its handles, and with them
// the exclusive open, however the process ends.
#include "platform/port_release.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace platform {

void ReleasePortsWhenInterrupted() {}

void ExitReleasingPorts(int code) {
    std::fflush(nullptr);
    // At once: a thread that hangs must not hold the process, as ExitProcess's clean-up could.
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(code));
    std::abort();
}

}  // namespace platform
