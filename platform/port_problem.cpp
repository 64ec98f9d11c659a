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
#include "platform/comm.h"
#include "platform/comm_uucp_lock.h"
#include "platform/printable_text.h"
#include "platform/processes.h"
#include "platform/serial_line.h"

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

// Tries the device as a port open would and says what stands in the way.
PortProblem Diagnose(int folder, const std::string& name, const std::string& shown) {
    PortProblem problem;
    const SerialLine line = OpenSerialLine(folder, name);
    if (!line.device.empty()) {
        problem.device = line.device;
    } else if (const auto real = RealPath(shown)) {
        problem.device = *real;
    } else {
        const std::string target = LinkTarget(shown);
        problem.device = target.empty() ? shown : target;
    }
    if (!line.refusal.empty()) {
        problem.kind = PortProblem::Kind::PermissionDenied;
        problem.refusal = line.refusal;
        return problem;
    }
    bool held = false;
    if (!line.ok()) {
        switch (ErrorFromErrno(line.error, kOpenMeanings)) {
            case ERROR_PRIVILEGE_NOT_HELD:
                problem.kind = PortProblem::Kind::PermissionDenied;
                problem.group = OpeningGroup(problem.device);
                return problem;
            case ERROR_FILE_NOT_FOUND:
            case ERROR_PATH_NOT_FOUND:
            case ERROR_DEVICE_NOT_CONNECTED:
                problem.kind = PortProblem::Kind::Absent;
                return problem;
            case ERROR_ACCESS_DENIED:
                held = true;  // marked exclusive
                break;
            default:
                break;
        }
    } else {
        // Opened as a port open does, and closed at once; the port open has already done as much.
        held = flock(line.fd.get(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    }
    const UucpLock lock = UucpLockOwner(kUucpLockFolder, problem.device);
    if (!held && !lock.trusted) {
        return problem;
    }
    problem.kind = PortProblem::Kind::Held;
    if (lock.trusted) {
        problem.holderPid = lock.pid;
        problem.holderUid = lock.processUid;
    } else {
        problem.holderPid =
            FindDescriptorHolder(false, [&](const std::string&, const std::string& target) {
                return target == problem.device;
            });
    }
    if (problem.holderPid != 0) {
        problem.holderName = ProgramName(problem.holderPid);
    }
    return problem;
}

}  // namespace

PortProblem DiagnoseDevice(const std::string& path) {
    return Diagnose(AT_FDCWD, path, path);
}

PortProblem DiagnoseComPort(int n) {
    const auto location = LocateComPort(n);
    if (!location) {
        PortProblem absent;
        absent.kind = PortProblem::Kind::Absent;
        return absent;
    }
    return Diagnose(location->Folder(), location->name, location->path);
}

std::string DescribePortProblem(const PortProblem& problem) {
    // The device may be a link's target and the holder's name is its own choice: shown as data.
    const std::string device = PrintableText(problem.device);
    switch (problem.kind) {
        case PortProblem::Kind::PermissionDenied:
            if (!problem.refusal.empty()) {
                return device + ": not used: " + problem.refusal + ".";
            }
            if (problem.group.empty()) {
                return device + ": permission denied. Only its owner may open it.";
            }
            return device + ": permission denied. Add yourself to the " +
                   PrintableText(problem.group) + " group and log in again.";
        case PortProblem::Kind::Held: {
            std::string text = device + ": held by another program";
            if (problem.holderPid != 0) {
                text += " (" +
                        (problem.holderName.empty() ? "pid"
                                                    : PrintableText(problem.holderName) + ", pid") +
                        " " + std::to_string(problem.holderPid);
                if (problem.holderUid >= 0 && problem.holderUid != static_cast<int>(getuid())) {
                    text += ", of uid " + std::to_string(problem.holderUid);
                }
                text += ")";
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
