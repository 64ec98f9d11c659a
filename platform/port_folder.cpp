#include "platform/port_folder.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <set>
#include <vector>

namespace platform {
namespace {

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

// Opens the folder one part at a time, each relative to the one before and never through a link,
// making missing parts (mode 0700) if asked; then checks the folder and its parent on the
// descriptors it holds. A check by name and a later open by name could each meet another object.
Descriptor OpenFolder(const std::string& folder, bool create, std::string& distrust) {
    std::vector<std::string> parts;
    for (std::size_t start = 0; start <= folder.size();) {
        const std::size_t end = std::min(folder.find('/', start), folder.size());
        if (const std::string part = folder.substr(start, end - start);
            !part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    const bool absolute = folder.rfind('/', 0) == 0;
    Descriptor parent;
    Descriptor current(open(absolute ? "/" : ".", O_PATH | O_DIRECTORY | O_CLOEXEC));
    std::string walked = absolute ? "" : ".";
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const std::string& part = parts[i];
        const bool last = i + 1 == parts.size();
        walked += "/" + part;
        if (part == "..") {
            distrust = "its path goes up with ..";
            return {};
        }
        if (create) {
            // Made 0700 from the start: a folder made wider and narrowed later is open in between.
            mkdirat(current.get(), part.c_str(), 0700);
        }
        Descriptor next(
            openat(current.get(), part.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!next.valid()) {
            struct stat info {};
            if (errno == ENOENT) {
                distrust.clear();
            } else if (fstatat(current.get(), part.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
                distrust = walked + " cannot be examined";
            } else if (!S_ISLNK(info.st_mode)) {
                distrust = last ? "not a folder" : walked + " is not a folder";
            } else {
                distrust = last ? "a symbolic link, not a folder" : walked + " is a symbolic link";
            }
            return {};
        }
        parent = std::move(current);
        current = std::move(next);
    }
    struct stat info {};
    if (!parent.valid() || fstat(current.get(), &info) != 0) {
        distrust = "cannot be examined";
        return {};
    }
    if (distrust = WhoElseMayChange(info, false); !distrust.empty()) {
        return {};
    }
    if (fstat(parent.get(), &info) != 0) {
        distrust = "its folder cannot be examined";
        return {};
    }
    if (const std::string why = WhoElseMayChange(info, true); !why.empty()) {
        const std::string above = walked.substr(0, walked.rfind('/'));
        distrust = "its folder " + (above.empty() ? "/" : above) + " is " + why;
        return {};
    }
    // Opened for reading only now that it is known to be a folder of the user's.
    return Descriptor(openat(current.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

Descriptor OpenTrusted(bool create) {
    const std::string folder = PortFolder();
    std::string distrust;
    Descriptor fd = OpenFolder(folder, create, distrust);
    if (!distrust.empty()) {
        ReportOnce(folder, distrust);
    }
    return fd;
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
    std::string distrust;
    OpenFolder(folder, false, distrust);
    return distrust;
}

Descriptor OpenTrustedPortFolder() {
    return OpenTrusted(false);
}

std::optional<std::string> TrustedPortFolder() {
    if (!OpenTrustedPortFolder().valid()) {
        return std::nullopt;
    }
    return PortFolder();
}

Descriptor EnsurePortFolder() {
    return OpenTrusted(true);
}

}  // namespace platform
