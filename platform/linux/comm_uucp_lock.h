// UUCP lock files, the convention by which serial programs (terminal programs, modem managers)
// mark a device in use: <folder>/LCK..<name> holding the owner's PID in ASCII. This layer only
// respects them; it relies on flock to keep other instances of itself out.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

inline constexpr std::string_view kUucpLockFolder = "/run/lock";

// The lock file name for a device: "/dev/ttyUSB0" -> "LCK..ttyUSB0", "/dev/pts/3" -> "LCK..pts_3".
std::string UucpLockName(std::string_view devicePath);

// The live process that a lock file in folder for the device (a real path, links resolved) names.
// Unreadable or garbled files and dead owners do not hold the device.
std::optional<int> UucpLockOwner(std::string_view folder, std::string_view devicePath);

inline bool UucpLockHeld(std::string_view folder, std::string_view devicePath) {
    return UucpLockOwner(folder, devicePath).has_value();
}

}  // namespace platform
