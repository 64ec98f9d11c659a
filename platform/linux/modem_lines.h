// The modem-control lines of an open port: CTS read, RTS and DTR driven. A seam, so that tests
// can raise CTS changes that a pseudo-terminal (which has no modem lines) never produces.
#pragma once

#include <functional>
#include <memory>
#include <optional>

namespace platform {

class ModemLines {
public:
    virtual ~ModemLines() = default;
    // The CTS input, or nullopt when the device has no modem lines.
    virtual std::optional<bool> Cts() = 0;
    // Drive the outputs. A device without modem lines accepts and ignores them. On failure
    // returns false with errno set.
    virtual bool SetRts(bool on) = 0;
    virtual bool SetDtr(bool on) = 0;
    // Whether the driver can report line changes to an event wait. One that cannot makes a
    // WaitCommEvent with EV_CTS in the mask fail with ERROR_NOT_SUPPORTED: Wine does so on a
    // pseudo-terminal, and so do some virtual-COM drivers on Windows.
    virtual bool ReportsLineChanges() { return true; }
};

// Makes the modem lines of the port open on fd. linesChanged may be called from any thread,
// holding no lock, when the inputs may have changed. It is safe to call after the port closed.
using ModemLinesFactory =
    std::function<std::unique_ptr<ModemLines>(int fd, std::function<void()> linesChanged)>;

// Ports opened from now on get their modem lines from factory; an empty one restores the real
// lines. The real lines read CTS when the port looks (a wait is issued, or input arrives): the
// driver's wait for a line change (TIOCMIWAIT) cannot be cancelled without signals.
void SetModemLinesFactory(ModemLinesFactory factory);
std::unique_ptr<ModemLines> MakeModemLines(int fd, std::function<void()> linesChanged);

}  // namespace platform
