// The running program's own file.
#pragma once

#include "platform/windows_types.h"

// With a null module: the executable's full path. Returns the length copied (truncated to
// size - 1), or 0 on failure.
DWORD GetModuleFileNameA(void* module, LPSTR fileName, DWORD size);
