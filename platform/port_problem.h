// Why a port cannot be opened, told so that the user can fix it. CreateFileA's error code says
// only "access denied" or "privilege not held"; on Linux the usual first failures are a user
// outside the group that owns serial devices, and a modem manager that probes a fresh device for
// a few seconds, and the user needs the device and the group or the program to act on them.
#pragma once

#include <string>

namespace platform {

struct PortProblem {
    enum class Kind { None, Absent, PermissionDenied, Held };
    Kind kind = Kind::None;
    std::string device;      // the device node, links resolved; empty when there is no such port
    std::string group;       // PermissionDenied: the group that may open it, if any
    int holderPid = 0;       // Held: the program holding it, when /proc or a lock file tells
    std::string holderName;  // ... and its name
    std::string refusal;     // PermissionDenied: why the tool itself will not use the device
    int holderUid = -1;      // Held: whose program that is, when a lock file named it

    bool operator==(const PortProblem&) const = default;
};

// Tries the device as a port open would (links followed) and says what stands in the way. None
// when nothing does, or when the failure is of a kind this cannot name.
PortProblem DiagnoseDevice(const std::string& path);

// The same for port n; Absent when there is no such port.
PortProblem DiagnoseComPort(int n);

// One line that names the device and the fix, for PermissionDenied and Held; else empty.
std::string DescribePortProblem(const PortProblem& problem);

}  // namespace platform
