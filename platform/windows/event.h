// Events, waits and thread handles: the system's own.
#pragma once

#include "platform/windows_types.h"

namespace platform {
// The framework runs its workers on threads of the C++ library; their handle is a real thread
// handle, so that it can be waited on and asked for the exit code as on Linux.
HANDLE CreateThreadHandle();
void FinishThreadHandle(HANDLE thread, DWORD exitCode);
}  // namespace platform
