#include "platform/comm_uucp_lock.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>

#include "platform/descriptor.h"
#include "platform/system_call.h"

namespace platform {
namespace {

// The HDB format is the PID in ten columns and a line feed; anything much longer is no lock.
constexpr off_t kLargestLockFile = 64;

}  // namespace

std::string UucpLockName(std::string_view devicePath) {
    constexpr std::string_view kDev = "/dev/";
    std::string name(devicePath.substr(0, kDev.size()) == kDev ? devicePath.substr(kDev.size())
                                                               : devicePath);
    std::replace(name.begin(), name.end(), '/', '_');
    return "LCK.." + name;
}

UucpLock UucpLockOwner(std::string_view folder, std::string_view devicePath) {
    const std::string path = std::string(folder) + "/" + UucpLockName(devicePath);
    // A FIFO put there would hold a blocking open for ever; a link could point anywhere.
    const Descriptor fd(open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat file {};
    if (!fd.valid() || fstat(fd.get(), &file) != 0 || !S_ISREG(file.st_mode) ||
        file.st_size > kLargestLockFile) {
        return {};
    }
    char buffer[kLargestLockFile] = {};
    const ssize_t n = RetryInterrupted([&] { return read(fd.get(), buffer, sizeof buffer); });
    std::string_view text(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
    text = text.substr(0, text.find('\n'));
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    long long pid = 0;
    for (std::size_t i = first; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9' || pid > INT_MAX / 10) {
            return {};
        }
        pid = pid * 10 + (c - '0');
    }
    // kill(0) and kill(-1) address groups of processes, not an owner.
    if (pid <= 0 || pid > INT_MAX) {
        return {};
    }
    struct stat process {};
    const std::string proc = "/proc/" + std::to_string(pid);
    if ((kill(static_cast<pid_t>(pid), 0) != 0 && errno != EPERM) ||
        stat(proc.c_str(), &process) != 0) {
        return {};
    }
    const bool trusted = file.st_uid == 0 || file.st_uid == process.st_uid;
    return {static_cast<int>(pid), static_cast<int>(process.st_uid), trusted};
}

}  // namespace platform
