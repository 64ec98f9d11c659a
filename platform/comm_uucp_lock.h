// UUCP lock files, the convention by which serial programs (terminal programs, modem managers)
// mark a device in use: <folder>/LCK..<name> holding the owner's PID in ASCII. This layer only
// respects them; it relies on flock to keep other instances of itself out. Anyone may write to
// the lock folder, so a lock file is read as data from a stranger: opened without following a
// link or waiting for a writer, taken only as a small regular file, and believed only when the
// process it names belongs to whoever wrote it (or it was written by root).
#pragma once

#include <string>
#include <string_view>

namespace platform {

inline constexpr std::string_view kUucpLockFolder = "/run/lock";

// The lock file name for a device: "/dev/ttyUSB0" -> "LCK..ttyUSB0", "/dev/pts/3" -> "LCK..pts_3".
std::string UucpLockName(std::string_view devicePath);

struct UucpLock {
    int pid = 0;           // the live process the file names, 0 when there is none
    int processUid = -1;   // whose process that is
    bool trusted = false;  // the device counts as held

    bool operator==(const UucpLock&) const = default;
};

// The lock file in folder for the device (a real path, links resolved). Unreadable, garbled or
// oversized files, files of other kinds and dead owners name no process.
UucpLock UucpLockOwner(std::string_view folder, std::string_view devicePath);

}  // namespace platform
