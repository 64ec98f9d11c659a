// Opening what a port name leads to, only when it is a serial line the user may talk to. A link
// in the port folder may name anything: a device is looked at before it is opened (opening some
// devices acts, opening a serial line raises DTR and RTS), and again on the descriptor after.
#pragma once

#include <string>

#include "platform/descriptor.h"

namespace platform {

struct SerialLine {
    Descriptor fd;
    int error = 0;        // errno of a failed look or open
    std::string refusal;  // or why the tool will not use what it found
    std::string device;   // the device opened, as the kernel names it

    bool ok() const { return fd.valid(); }
};

// Opens name relative to folder (a descriptor, or AT_FDCWD) read-write, without becoming its
// controlling terminal, non-blocking and close-on-exec, when it is a character device of the
// terminal kind other than a console, a virtual terminal, /dev/tty or the terminal this program
// runs in, and, for a pseudo-terminal, one the user owns.
SerialLine OpenSerialLine(int folder, const std::string& name);

}  // namespace platform
