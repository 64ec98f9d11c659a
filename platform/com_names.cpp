#include "platform/com_names.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <system_error>

#include "platform/port_folder.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kDeviceKinds[] = {"ttyUSB", "ttyACM", "ttyS"};

struct DeviceName {
    std::size_t kind;
    long number;
};

// "ttyUSB3" -> {0, 3}; names of other kinds, or with anything after the number, -> nullopt.
std::optional<DeviceName> SplitDeviceName(std::string_view name) {
    for (std::size_t kind = 0; kind < std::size(kDeviceKinds); ++kind) {
        const std::string_view prefix = kDeviceKinds[kind];
        if (name.substr(0, prefix.size()) != prefix) {
            continue;
        }
        const std::string_view digits = name.substr(prefix.size());
        if (digits.empty() || digits.size() > 9) {
            return std::nullopt;
        }
        long number = 0;
        for (char c : digits) {
            if (c < '0' || c > '9') {
                return std::nullopt;
            }
            number = number * 10 + (c - '0');
        }
        return DeviceName{kind, number};
    }
    return std::nullopt;
}

std::string ReadAttribute(const fs::path& file) {
    std::ifstream in(file);
    std::string value;
    in >> value;
    return value;
}

// The sysfs "type" attribute is the type TIOCGSERIAL reports; reading it opens no device (opening
// a UART raises DTR and RTS) and needs no permission on it.
bool HasUart(const fs::path& entry) {
    const std::string type = ReadAttribute(entry / "type");
    return !type.empty() && type != "0";
}

bool IsSerialPort(const fs::path& entry, const DeviceName& name) {
    std::error_code ec;
    if (!fs::exists(entry / "device", ec)) {
        return false;
    }
    const std::string real = fs::canonical(entry, ec).string();
    if (ec || real.find("/devices/virtual/") != std::string::npos) {
        return false;
    }
    if (kDeviceKinds[name.kind] != "ttyS") {
        return true;
    }
    return HasUart(entry) && ReadAttribute(entry / "console") != "Y";
}

std::vector<std::string> SerialDevicePaths() {
    // An explicit port folder is the whole set of ports: tests and demonstrations stay clear
    // of the machine's own serial devices.
    if (const char* folder = std::getenv("KALDO_SENSOR_PORTS");
        folder != nullptr && *folder != '\0') {
        return {};
    }
    std::vector<std::string> names;
    std::error_code ec;
    const fs::path root = "/sys/class/tty";
    for (const auto& entry : fs::directory_iterator(root, ec)) {
        const std::string name = entry.path().filename().string();
        const auto split = SplitDeviceName(name);
        if (split && IsSerialPort(entry.path(), *split)) {
            names.push_back(name);
        }
    }
    std::vector<std::string> paths;
    for (const auto& name : OrderSerialDevices(std::move(names))) {
        paths.push_back("/dev/" + name);
    }
    return paths;
}

std::vector<int> LinkedNumbers(const Descriptor& folder) {
    std::vector<int> numbers;
    // The listing reads through a descriptor of its own: closedir closes it.
    DIR* listing = folder.valid()
                       ? fdopendir(openat(folder.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC))
                       : nullptr;
    if (listing == nullptr) {
        return numbers;
    }
    while (const dirent* entry = readdir(listing)) {
        if (auto n = ParseComName(entry->d_name)) {
            numbers.push_back(*n);
        }
    }
    closedir(listing);
    return numbers;
}

std::string LinkName(int n) {
    return "COM" + std::to_string(n);
}

}  // namespace

std::optional<int> ParseComName(std::string_view name) {
    if (name.size() < 4 || name.size() > 6) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < 3; ++i) {
        const char c = name[i];
        if (c != "COM"[i] && c != "com"[i]) {
            return std::nullopt;
        }
    }
    if (name[3] == '0') {
        return std::nullopt;
    }
    int n = 0;
    for (char c : name.substr(3)) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        n = n * 10 + (c - '0');
    }
    if (n > kMaxComNumber) {
        return std::nullopt;
    }
    return n;
}

std::vector<std::string> OrderSerialDevices(std::vector<std::string> names) {
    std::erase_if(names, [](const std::string& name) { return !SplitDeviceName(name); });
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const auto x = *SplitDeviceName(a);
        const auto y = *SplitDeviceName(b);
        return x.kind != y.kind ? x.kind < y.kind : x.number < y.number;
    });
    return names;
}

std::vector<ComPort> AssignComNumbers(const std::vector<int>& linked,
                                      const std::vector<std::string>& devicePaths) {
    const std::set<int> taken(linked.begin(), linked.end());
    std::vector<ComPort> ports;
    int next = 1;
    for (const auto& path : devicePaths) {
        while (taken.count(next) != 0) {
            ++next;
        }
        if (next > kMaxComNumber) {
            break;
        }
        ports.push_back({next++, path});
    }
    return ports;
}

int ComLocation::Folder() const {
    return folder.valid() ? folder.get() : AT_FDCWD;
}

std::optional<ComLocation> LocateComPort(int n) {
    if (n < 1 || n > kMaxComNumber) {
        return std::nullopt;
    }
    Descriptor folder = OpenTrustedPortFolder();
    struct stat link {};
    // A dangling link still names the port: opening it then fails as a missing device.
    if (folder.valid() &&
        fstatat(folder.get(), LinkName(n).c_str(), &link, AT_SYMLINK_NOFOLLOW) == 0) {
        return ComLocation{std::move(folder), LinkName(n), PortFolder() + "/" + LinkName(n)};
    }
    for (const auto& port : AssignComNumbers(LinkedNumbers(folder), SerialDevicePaths())) {
        if (port.number == n) {
            return ComLocation{Descriptor(), port.path, port.path};
        }
    }
    return std::nullopt;
}

std::optional<std::string> ResolveComPort(int n) {
    auto location = LocateComPort(n);
    return location ? std::optional(location->path) : std::nullopt;
}

std::vector<ComPort> ListComPorts() {
    const Descriptor folder = OpenTrustedPortFolder();
    const std::vector<int> linked = LinkedNumbers(folder);
    std::vector<ComPort> ports = AssignComNumbers(linked, SerialDevicePaths());
    for (int n : linked) {
        ports.push_back({n, PortFolder() + "/" + LinkName(n)});
    }
    std::sort(ports.begin(), ports.end(),
              [](const ComPort& a, const ComPort& b) { return a.number < b.number; });
    return ports;
}

}  // namespace platform
