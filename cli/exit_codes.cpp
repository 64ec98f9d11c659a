#include "cli/exit_codes.h"

namespace cli {

ExitCode ExitCodeFor(sensor::Outcome outcome) {
    using sensor::Outcome;
    switch (outcome) {
        case Outcome::PortOpened:
        case Outcome::ReadAccepted:
        case Outcome::SetAccepted:
            return kOk;
        case Outcome::PortHeld:
            return kPortHeld;
        case Outcome::PortBeyondLast:
            return kPortUnavailable;
        case Outcome::ReadTimedOut:
            return kReadTimedOut;
        case Outcome::ReadRejected:
            return kReadRejected;
        case Outcome::SetRefused:
            return kSetRefused;
        case Outcome::SetTimedOut:
            return kSetTimedOut;
        case Outcome::SetRejected:
            return kSetRejected;
        case Outcome::Pending:
        case Outcome::ReadWithoutPort:
            break;
    }
    return kUnexpected;
}

}  // namespace cli
