// How each run of kaldo-sensor-cli ends, for scripts; --help and the README list them.
#pragma once

#include "sensor/exchange.h"

namespace cli {

enum ExitCode : int {
    kOk = 0,               // listed, read, or set and the sensor's echo accepted
    kUnexpected = 1,       // the dialog said something this command does not expect, or asked
    kBadArguments = 2,     // nothing was touched
    kPortUnavailable = 3,  // no such port, or it may not be opened
    kPortHeld = 4,         // another program holds the port
    kReadTimedOut = 5,     // no reply to the read
    kReadRejected = 6,     // a reply came but was not accepted
    kSetRefused = 7,       // the set checks refused the settings; nothing was sent
    kSetTimedOut = 8,      // no echo of the set
    kSetRejected = 9,      // the echo came but was not accepted
};

// The exit code of a step of the dialog that ended so.
ExitCode ExitCodeFor(sensor::Outcome outcome);

}  // namespace cli
