// A port's problem is what its open says. Windows has no group to join and does not tell who
// holds a port: access denied means another program has it open. Only real Windows shows that:
// Wine does not enforce exclusive opens, so there a second program opens a held port too.
#include "platform/port_problem.h"

#include <windows.h>

#include <string>

namespace platform {

PortProblem DiagnoseDevice(const std::string& path) {
    PortProblem problem;
    problem.device = path;
    HANDLE port = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OVERLAPPED, nullptr);
    if (port != INVALID_HANDLE_VALUE) {
        CloseHandle(port);
        return problem;
    }
    switch (GetLastError()) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            problem.kind = PortProblem::Kind::Absent;
            problem.device.clear();
            return problem;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
            problem.kind = PortProblem::Kind::Held;
            return problem;
        default:
            return problem;
    }
}

PortProblem DiagnoseComPort(int n) {
    // COM10 and above open only by their device name; the lower ones take it too.
    return DiagnoseDevice("\\\\.\\COM" + std::to_string(n));
}

std::string DescribePortProblem(const PortProblem& problem) {
    switch (problem.kind) {
        case PortProblem::Kind::PermissionDenied:
            return problem.device + ": access denied.";
        case PortProblem::Kind::Held:
            return problem.device + ": held by another program. Close it and start the tool again.";
        default:
            return {};
    }
}

}  // namespace platform
