// GetLastError, the error codes and FormatMessageA: the system's own.
#pragma once

#include "platform/windows_types.h"
