// The communications API: the system's own.
#pragma once

#include "platform/windows_types.h"
