// CreateFileA for COM ports: the exclusive open sequence.
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "platform/com_names.h"
#include "platform/comm.h"
#include "platform/comm_port.h"
#include "platform/comm_termios.h"
#include "platform/comm_uucp_lock.h"
#include "platform/port_release.h"
#include "platform/serial_line.h"

namespace platform {
namespace {

// Closes the descriptor, and clears the exclusive mark once set, unless released.
class OpeningPort {
public:
    explicit OpeningPort(Descriptor fd) : fd_(std::move(fd)) {}
    ~OpeningPort() {
        if (fd_.valid() && exclusive_) {
            ioctl(fd_.get(), TIOCNXCL);
            ForgetExclusivePort(fd_.get());
        }
    }
    OpeningPort(const OpeningPort&) = delete;
    OpeningPort& operator=(const OpeningPort&) = delete;

    int fd() const { return fd_.get(); }
    // Noted first: a signal that ends the process from here on clears the mark.
    void MarkExclusive() {
        NoteExclusivePort(fd_.get());
        exclusive_ = true;
    }
    int Release() { return fd_.Release(); }

private:
    Descriptor fd_;
    bool exclusive_ = false;
};

// Returns the open, locked, exclusive, raw and flushed descriptor, or -1 with the last error set.
int OpenExclusive(const ComLocation& location) {
    // No controlling terminal: the port must not become this process's terminal. Non-blocking:
    // reads and writes complete or pend, they never hold a thread. Not inherited by children.
    SerialLine line = OpenSerialLine(location.Folder(), location.name);
    if (!line.ok()) {
        SetLastError(line.refusal.empty() ? ErrorFromErrno(line.error, kOpenMeanings)
                                          : ERROR_ACCESS_DENIED);
        return -1;
    }
    OpeningPort port(std::move(line.fd));
    // Keeps out every other open of the device that locks, root's too (TIOCEXCL does not stop
    // root), and a second open in this process.
    if (flock(port.fd(), LOCK_EX | LOCK_NB) != 0) {
        SetLastError(ErrorFromErrno(errno));
        return -1;
    }
    // Terminal programs that do not flock mark a port in use with a lock file instead.
    if (UucpLockOwner(kUucpLockFolder, line.device).trusted) {
        SetLastError(ERROR_ACCESS_DENIED);
        return -1;
    }
    // Later opens by others fail with EBUSY; a failed terminal ioctl means this is no port.
    port.MarkExclusive();
    if (ioctl(port.fd(), TIOCEXCL) != 0) {
        SetLastError(ErrorFromErrno(errno));
        return -1;
    }
    termios settings{};
    if (tcgetattr(port.fd(), &settings) != 0) {
        SetLastError(ErrorFromErrno(errno));
        return -1;
    }
    MakeRaw(settings);
    if (tcsetattr(port.fd(), TCSANOW, &settings) != 0) {
        SetLastError(ErrorFromErrno(errno));
        return -1;
    }
    // Like a Windows port, start with empty queues: nothing received before the open.
    tcflush(port.fd(), TCIOFLUSH);
    return port.Release();
}

}  // namespace
}  // namespace platform

HANDLE CreateFileA(LPCSTR name, DWORD /*access*/, DWORD /*share*/, LPSECURITY_ATTRIBUTES,
                   DWORD creation, DWORD /*flags*/, HANDLE /*templateFile*/) {
    if (name == nullptr || creation != OPEN_EXISTING) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    const auto number = platform::ParseComName(name);
    const auto location = number ? platform::LocateComPort(*number) : std::nullopt;
    if (!location) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    const int fd = platform::OpenExclusive(*location);
    if (fd < 0) {
        return INVALID_HANDLE_VALUE;
    }
    return platform::InsertHandle(platform::CommPort::Create(fd));
}
