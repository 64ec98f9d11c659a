// CreateFileA for COM ports: the exclusive open sequence.
#include <fcntl.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <utility>

#include "platform/com_names.h"
#include "platform/comm.h"
#include "platform/comm_port.h"
#include "platform/comm_termios.h"
#include "platform/comm_uucp_lock.h"

namespace platform {
namespace {

// Closes the descriptor, and clears the exclusive mark once set, unless released.
class OpeningPort {
public:
    explicit OpeningPort(int fd) : fd_(fd) {}
    ~OpeningPort() {
        if (fd_ >= 0) {
            if (exclusive_) {
                ioctl(fd_, TIOCNXCL);
            }
            close(fd_);
        }
    }
    OpeningPort(const OpeningPort&) = delete;
    OpeningPort& operator=(const OpeningPort&) = delete;

    int fd() const { return fd_; }
    void MarkExclusive() { exclusive_ = true; }
    int Release() { return std::exchange(fd_, -1); }

private:
    int fd_;
    bool exclusive_ = false;
};

DWORD OpenFailure(int err) {
    switch (err) {
        case EACCES:
        case EPERM:
            return ERROR_PRIVILEGE_NOT_HELD;  // e.g. not in the dialout group
        case EBUSY:
            return ERROR_ACCESS_DENIED;  // marked exclusive by another program
        default:
            return ErrorFromErrno(err);
    }
}

std::string RealPath(const std::string& path) {
    char* real = realpath(path.c_str(), nullptr);
    if (real == nullptr) {
        return path;
    }
    std::string result(real);
    free(real);
    return result;
}

// Returns the open, locked, exclusive, raw and flushed descriptor, or -1 with the last error set.
int OpenExclusive(const std::string& path) {
    // No controlling terminal: the port must not become this process's terminal. Non-blocking:
    // reads and writes complete or pend, they never hold a thread. Not inherited by children.
    OpeningPort port(open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (port.fd() < 0) {
        SetLastError(OpenFailure(errno));
        return -1;
    }
    // Keeps out every other open of the device that locks, root's too (TIOCEXCL does not stop
    // root), and a second open in this process.
    if (flock(port.fd(), LOCK_EX | LOCK_NB) != 0) {
        SetLastError(errno == EWOULDBLOCK ? ERROR_ACCESS_DENIED : ErrorFromErrno(errno));
        return -1;
    }
    // Terminal programs that do not flock mark a port in use with a lock file instead.
    if (UucpLockHeld(kUucpLockFolder, RealPath(path))) {
        SetLastError(ERROR_ACCESS_DENIED);
        return -1;
    }
    // Later opens by others fail with EBUSY; a failed terminal ioctl means this is no port.
    if (ioctl(port.fd(), TIOCEXCL) != 0) {
        SetLastError(ErrorFromErrno(errno));
        return -1;
    }
    port.MarkExclusive();
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
    const auto number = platform::ParseDeviceName(name);
    const auto path = number ? platform::ResolveComPort(*number) : std::nullopt;
    if (!path) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    const int fd = platform::OpenExclusive(*path);
    if (fd < 0) {
        return INVALID_HANDLE_VALUE;
    }
    return platform::InsertHandle(platform::CommPort::Create(fd));
}
