#include "platform/port_folder.h"

#include <errno.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <set>

namespace platform {
namespace {

std::string Parent(const std::string& folder) {
    std::string path = folder;
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Others may add, remove or rename entries: then a link in it, or the folder itself, can be
// swapped for theirs.
std::string WhoElseMayChange(const struct stat& info, bool allowRootAndSticky) {
    const uid_t owner = info.st_uid;
    if (owner != getuid() && !(allowRootAndSticky && owner == 0)) {
        return "owned by uid " + std::to_string(owner);
    }
    if (allowRootAndSticky && (info.st_mode & S_ISVTX) != 0) {
        return {};
    }
    if ((info.st_mode & S_IWOTH) != 0) {
        return "writable by others";
    }
    if ((info.st_mode & S_IWGRP) != 0) {
        return "writable by its group";
    }
    return {};
}

void ReportOnce(const std::string& folder, const std::string& reason) {
    static std::mutex mutex;
    static std::set<std::string> reported;
    const std::lock_guard lock(mutex);
    if (reported.insert(folder + reason).second) {
        std::fprintf(stderr, "%s: ignoring the port folder %s: %s\n", program_invocation_short_name,
                     folder.c_str(), reason.c_str());
    }
}

}  // namespace

std::string PortFolder() {
    if (const char* explicitFolder = std::getenv("KALDO_SENSOR_PORTS");
        explicitFolder && *explicitFolder) {
        return explicitFolder;
    }
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime) {
        return std::string(runtime) + "/kaldo-sensor/ports";
    }
    return "/tmp/kaldo-sensor-" + std::to_string(getuid()) + "/ports";
}

std::string PortFolderDistrust(const std::string& folder) {
    struct stat info {};
    if (lstat(folder.c_str(), &info) != 0) {
        return errno == ENOENT ? std::string() : "cannot be examined";
    }
    // A link could be pointed elsewhere after the check.
    if (!S_ISDIR(info.st_mode)) {
        return S_ISLNK(info.st_mode) ? "a symbolic link, not a folder" : "not a folder";
    }
    if (std::string why = WhoElseMayChange(info, false); !why.empty()) {
        return why;
    }
    const std::string parent = Parent(folder);
    if (stat(parent.c_str(), &info) != 0) {
        return "its folder " + parent + " cannot be examined";
    }
    if (std::string why = WhoElseMayChange(info, true); !why.empty()) {
        return "its folder " + parent + " is " + why;
    }
    return {};
}

std::optional<std::string> TrustedPortFolder() {
    const std::string folder = PortFolder();
    if (const std::string why = PortFolderDistrust(folder); !why.empty()) {
        ReportOnce(folder, why);
        return std::nullopt;
    }
    struct stat info {};
    if (lstat(folder.c_str(), &info) != 0) {
        return std::nullopt;
    }
    return folder;
}

bool EnsurePortFolder() {
    const std::string folder = PortFolder();
    // Made 0700 from the start: a folder made wider and narrowed later is open in between.
    for (std::size_t end = folder.find('/', 1);; end = folder.find('/', end + 1)) {
        const std::string part = folder.substr(0, end);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            break;
        }
        if (end == std::string::npos) {
            break;
        }
    }
    return TrustedPortFolder().has_value();
}

}  // namespace platform
