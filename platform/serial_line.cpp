#include "platform/serial_line.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <climits>
#include <fstream>
#include <sstream>

namespace platform {
namespace {

constexpr unsigned kTtyMajor = 4;         // virtual terminals below minor 64, then ttyS
constexpr unsigned kTtyAuxMajor = 5;      // /dev/tty, /dev/console, /dev/ptmx
constexpr unsigned kFirstPtsMajor = 136;  // pseudo-terminal slaves take up to eight majors
constexpr unsigned kLastPtsMajor = 143;

bool IsPseudoTerminal(dev_t device) {
    return major(device) >= kFirstPtsMajor && major(device) <= kLastPtsMajor;
}

// Other terminals have no sysfs node; every real one is in the tty class.
bool IsTtyClassDevice(dev_t device) {
    const std::string node = "/sys/dev/char/" + std::to_string(major(device)) + ":" +
                             std::to_string(minor(device)) + "/subsystem";
    char target[PATH_MAX];
    const ssize_t n = readlink(node.c_str(), target, sizeof target);
    const std::string_view subsystem(target, n > 0 ? static_cast<std::size_t>(n) : 0);
    return subsystem.size() >= 4 && subsystem.substr(subsystem.size() - 4) == "/tty";
}

// The controlling terminal as /proc tells it, and the terminals of the standard streams.
bool IsOwnTerminal(dev_t device) {
    std::ifstream stat("/proc/self/stat");
    std::string line;
    std::getline(stat, line);
    // After the name in parentheses: state, ppid, pgrp, session, tty_nr.
    std::istringstream fields(line.substr(line.rfind(')') + 1));
    std::string state;
    long ppid = 0, group = 0, session = 0;
    unsigned long ttyNumber = 0;
    fields >> state >> ppid >> group >> session >> ttyNumber;
    const auto encoded = static_cast<unsigned long>((minor(device) & 0xFF) | (major(device) << 8) |
                                                    ((minor(device) & ~0xFFu) << 12));
    if (ttyNumber != 0 && ttyNumber == encoded) {
        return true;
    }
    for (int stream = 0; stream <= 2; ++stream) {
        struct stat info {};
        if (fstat(stream, &info) == 0 && S_ISCHR(info.st_mode) && info.st_rdev == device) {
            return true;
        }
    }
    return false;
}

std::string Refusal(const struct stat& info) {
    if (!S_ISCHR(info.st_mode)) {
        return "not a serial line but a file of another kind";
    }
    const dev_t device = info.st_rdev;
    if (major(device) == kTtyAuxMajor || (major(device) == kTtyMajor && minor(device) < 64)) {
        return "a console or terminal, not a serial line";
    }
    if (!IsPseudoTerminal(device) && !IsTtyClassDevice(device)) {
        return "not a serial line";
    }
    if (IsOwnTerminal(device)) {
        return "the terminal this program runs in";
    }
    return {};
}

}  // namespace

SerialLine OpenSerialLine(int folder, const std::string& name) {
    SerialLine line;
    struct stat before {};
    if (fstatat(folder, name.c_str(), &before, 0) != 0) {
        line.error = errno;
        return line;
    }
    if (line.refusal = Refusal(before); !line.refusal.empty()) {
        return line;
    }
    Descriptor fd(openat(folder, name.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    struct stat after {};
    if (!fd.valid() || fstat(fd.get(), &after) != 0) {
        line.error = errno;
        return line;
    }
    if (!S_ISCHR(after.st_mode) || after.st_rdev != before.st_rdev) {
        line.refusal = "changed while it was opened";
    } else if (IsPseudoTerminal(after.st_rdev) && after.st_uid != getuid()) {
        // Whoever holds its other end reads what is sent: a link left behind names the pty of
        // whoever took the number next.
        line.refusal = "a pseudo-terminal of uid " + std::to_string(after.st_uid);
    }
    if (!line.refusal.empty()) {
        return line;
    }
    char device[PATH_MAX];
    const ssize_t n =
        readlink(("/proc/self/fd/" + std::to_string(fd.get())).c_str(), device, sizeof device);
    line.device = n > 0 ? std::string(device, static_cast<std::size_t>(n)) : name;
    line.fd = std::move(fd);
    return line;
}

}  // namespace platform
