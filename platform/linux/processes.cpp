#include "platform/processes.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace platform {

namespace fs = std::filesystem;

int FindDescriptorHolder(
    bool includeSelf,
    const std::function<bool(const std::string& fdInfo, const std::string& target)>& matches) {
    const std::string self = std::to_string(getpid());
    std::error_code ec;
    for (const auto& process : fs::directory_iterator("/proc", ec)) {
        const std::string pid = process.path().filename().string();
        if (pid.find_first_not_of("0123456789") != std::string::npos ||
            (!includeSelf && pid == self)) {
            continue;
        }
        std::error_code fdError;
        for (const auto& fd : fs::directory_iterator(process.path() / "fd", fdError)) {
            const fs::path target = fs::read_symlink(fd.path(), fdError);
            if (!fdError &&
                matches((process.path() / "fdinfo" / fd.path().filename()).string(), target)) {
                return std::stoi(pid);
            }
        }
    }
    return 0;
}

std::string ProgramName(int pid) {
    constexpr std::size_t kKernelNameLimit = 15;
    const std::string folder = "/proc/" + std::to_string(pid);
    std::ifstream comm(folder + "/comm");
    std::string name;
    std::getline(comm, name);
    if (name.size() < kKernelNameLimit) {
        return name;
    }
    std::ifstream cmdline(folder + "/cmdline");
    std::string started;
    std::getline(cmdline, started, '\0');
    return started.empty() ? name : fs::path(started).filename().string();
}

}  // namespace platform
