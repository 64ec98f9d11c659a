// A port marked exclusive stays marked after the process is gone when the terminal lives on (the
// other end of a pseudo-terminal is still open): the next program is told it is held. A process
// that ends by a signal or by its own deadline first clears the mark of every port it holds.
#pragma once

namespace platform {

// The descriptor of a port that is, or is about to be, marked exclusive; and when it closes.
void NoteExclusivePort(int fd);
void ForgetExclusivePort(int fd);

// On an interrupt, a termination or a hang-up of the controlling terminal: clear the marks, then
// end as the signal would have ended the process.
void ReleasePortsWhenInterrupted();

// Clears the marks and ends the process at once with code, without running destructors or
// waiting for other threads (for a process that must end although a thread hangs).
[[noreturn]] void ExitReleasingPorts(int code);

}  // namespace platform
