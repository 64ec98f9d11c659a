// The mapping between a DCB and termios settings.
#pragma once

#include <termios.h>

#include <optional>

#include "platform/comm.h"

namespace platform {

// Standard rates only: an unsupported rate gives nullopt.
std::optional<speed_t> SpeedForBaud(DWORD baud);
std::optional<DWORD> BaudForSpeed(speed_t speed);

// No echo, no canonical lines, no character translation, no signals; receiver on, modem
// status lines ignored for open and close.
void MakeRaw(termios& settings);

// Writes the DCB's line settings (rate, data bits, parity, stop bits, flow control, XON/XOFF
// characters) into settings. Returns ERROR_SUCCESS, or ERROR_INVALID_PARAMETER for a DCB that a
// port cannot take (an unsupported rate, a bad size or combination, RTS toggling, DTR or DSR
// handshaking); settings is then unchanged.
DWORD ApplyDcb(const DCB& dcb, termios& settings);

// The DCB that settings describe, with the RTS and DTR controls that the port drives (RTS
// handshaking when hardware flow control is on).
DCB ReadDcb(const termios& settings, DWORD rtsControl, DWORD dtrControl);

}  // namespace platform
