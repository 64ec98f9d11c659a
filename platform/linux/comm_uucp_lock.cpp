#include "platform/comm_uucp_lock.h"

#include <signal.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <fstream>

namespace platform {

std::string UucpLockName(std::string_view devicePath) {
    constexpr std::string_view kDev = "/dev/";
    std::string name(devicePath.substr(0, kDev.size()) == kDev ? devicePath.substr(kDev.size())
                                                               : devicePath);
    std::replace(name.begin(), name.end(), '/', '_');
    return "LCK.." + name;
}

std::optional<int> UucpLockOwner(std::string_view folder, std::string_view devicePath) {
    std::ifstream in(std::string(folder) + "/" + UucpLockName(devicePath));
    if (!in) {
        return std::nullopt;
    }
    // The HDB format is the PID in ten columns and a line feed; read no more than a line of it.
    char buffer[32] = {};
    in.read(buffer, sizeof buffer);
    std::string_view text(buffer, static_cast<std::size_t>(in.gcount()));
    text = text.substr(0, text.find('\n'));
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return std::nullopt;
    }
    long long pid = 0;
    for (std::size_t i = first; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9' || pid > INT_MAX / 10) {
            return std::nullopt;
        }
        pid = pid * 10 + (c - '0');
    }
    // kill(0) and kill(-1) address groups of processes, not an owner.
    if (pid <= 0 || pid > INT_MAX) {
        return std::nullopt;
    }
    if (kill(static_cast<pid_t>(pid), 0) != 0 && errno != EPERM) {
        return std::nullopt;
    }
    return static_cast<int>(pid);
}

}  // namespace platform
