#include "platform/terminal.h"

#include <io.h>

#include <cstdio>

namespace platform {

bool StandardErrorIsTerminal() {
    return _isatty(_fileno(stderr)) != 0;
}

}  // namespace platform
