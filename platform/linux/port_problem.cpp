#include "platform/port_problem.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <optional>

#include "platform/com_names.h"
#include "platform/comm_uucp_lock.h"
#include "platform/processes.h"

namespace platform {
namespace {

std::optional<std::string> RealPath(const std::string& path) {
    char* real = realpath(path.c_str(), nullptr);
    if (real == nullptr) {
        return std::nullopt;
    }
    std::string result(real);
    std::free(real);
    return result;
}

std::string LinkTarget(const std::string& link) {
    char buffer[PATH_MAX];
    const ssize_t n = readlink(link.c_str(), buffer, sizeof buffer);
    return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
}

// The group whose members may open the device; empty when membership would not help.
std::string OpeningGroup(const std::string& device) {
    struct stat info {};
    if (stat(device.c_str(), &info) != 0 ||
        (info.st_mode & (S_IRGRP | S_IWGRP)) != (S_IRGRP | S_IWGRP)) {
        return {};
    }
    const group* entry = getgrgid(info.st_gid);
    return entry != nullptr ? entry->gr_name : std::to_string(info.st_gid);
}

}  // namespace

PortProblem DiagnoseDevice(const std::string& path) {
    PortProblem problem;
    const auto device = RealPath(path);
    if (!device) {
        const std::string target = LinkTarget(path);
        problem.kind = PortProblem::Kind::Absent;
        problem.device = target.empty() ? path : target;
        return problem;
    }
    problem.device = *device;
    // Opened as a port open does, and closed at once; the port open has already done as much.
    const int fd = open(device->c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    const int openError = fd < 0 ? errno : 0;
    bool held = openError == EBUSY;  // marked exclusive
    if (fd >= 0) {
        held = flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
        close(fd);
    }
    switch (openError) {
        case EACCES:
        case EPERM:
            problem.kind = PortProblem::Kind::PermissionDenied;
            problem.group = OpeningGroup(*device);
            return problem;
        case ENOENT:
        case ENXIO:
        case ENODEV:
            problem.kind = PortProblem::Kind::Absent;
            return problem;
        default:
            break;
    }
    problem.holderPid = UucpLockOwner(kUucpLockFolder, *device).value_or(0);
    if (!held && problem.holderPid == 0) {
        return problem;
    }
    problem.kind = PortProblem::Kind::Held;
    if (problem.holderPid == 0) {
        problem.holderPid = FindDescriptorHolder(
            false,
            [&](const std::string&, const std::string& target) { return target == *device; });
    }
    if (problem.holderPid != 0) {
        problem.holderName = ProgramName(problem.holderPid);
    }
    return problem;
}

PortProblem DiagnoseComPort(int n) {
    const auto path = ResolveComPort(n);
    if (!path) {
        return {PortProblem::Kind::Absent, {}, {}, 0, {}};
    }
    return DiagnoseDevice(*path);
}

std::string DescribePortProblem(const PortProblem& problem) {
    switch (problem.kind) {
        case PortProblem::Kind::PermissionDenied:
            if (problem.group.empty()) {
                return problem.device + ": permission denied. Only its owner may open it.";
            }
            return problem.device + ": permission denied. Add yourself to the " + problem.group +
                   " group and log in again.";
        case PortProblem::Kind::Held: {
            std::string text = problem.device + ": held by another program";
            if (problem.holderPid != 0) {
                text += " (" + (problem.holderName.empty() ? "pid" : problem.holderName + ", pid") +
                        " " + std::to_string(problem.holderPid) + ")";
            }
            if (problem.holderName == "ModemManager") {
                return text +
                       ". It lets go of a new device after a few seconds: start the tool "
                       "again then.";
            }
            return text + ". Close it and start the tool again.";
        }
        default:
            return {};
    }
}

}  // namespace platform
