#include "platform/port_identity.h"

#include <cstdlib>

#include <filesystem>
#include <fstream>
#include <optional>

#include "platform/com_names.h"
#include "platform/printable_text.h"
#include "platform/processes.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

std::string FirstLine(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

// The USB device a tty hangs under: the nearest folder above it with a vendor id.
std::optional<fs::path> UsbDeviceFolder(const fs::path& root, const std::string& name) {
    std::error_code ec;
    fs::path folder = fs::canonical(root / "sys/class/tty" / name / "device", ec);
    if (ec) {
        return std::nullopt;
    }
    const fs::path top = fs::canonical(root, ec);
    for (; !folder.empty() && folder != top && folder != folder.parent_path();
         folder = folder.parent_path()) {
        if (fs::exists(folder / "idVendor", ec)) {
            return folder;
        }
    }
    return std::nullopt;
}

std::string ByIdName(const fs::path& root, const std::string& name) {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(root / "dev/serial/by-id", ec)) {
        if (fs::read_symlink(entry.path(), ec).filename() == name) {
            return "/dev/serial/by-id/" + entry.path().filename().string();
        }
    }
    return {};
}

std::optional<int> PtyIndex(const std::string& device) {
    constexpr std::string_view kPts = "/dev/pts/";
    if (device.rfind(kPts, 0) != 0 || device.size() == kPts.size()) {
        return std::nullopt;
    }
    int index = 0;
    for (const char c : device.substr(kPts.size())) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        index = index * 10 + (c - '0');
    }
    return index;
}

}  // namespace

PortIdentity IdentifyDevice(const std::string& path, const std::string& root) {
    PortIdentity identity;
    char* real = realpath(path.c_str(), nullptr);
    identity.device = real != nullptr ? real : path;
    std::free(real);
    const std::string name = fs::path(identity.device).filename().string();

    if (const auto index = PtyIndex(identity.device)) {
        identity.kind = "pseudo-terminal";
        // The master's descriptor of the multiplexer names the terminal's index in its fdinfo.
        const std::string wanted = "tty-index:\t" + std::to_string(*index);
        identity.servedByPid =
            FindDescriptorHolder(true, [&](const std::string& fdInfo, const std::string& target) {
                if (target != "/dev/ptmx" && target != "/dev/pts/ptmx") {
                    return false;
                }
                std::ifstream info(fdInfo);
                for (std::string line; std::getline(info, line);) {
                    if (line == wanted) {
                        return true;
                    }
                }
                return false;
            });
        if (identity.servedByPid != 0) {
            identity.servedBy = ProgramName(identity.servedByPid);
        }
        return identity;
    }
    identity.byId = ByIdName(root, name);
    if (const auto usb = UsbDeviceFolder(root, name)) {
        identity.kind = name.rfind("ttyACM", 0) == 0 ? "USB modem" : "USB serial adapter";
        identity.vendorId = FirstLine(*usb / "idVendor");
        identity.productId = FirstLine(*usb / "idProduct");
        identity.manufacturer = FirstLine(*usb / "manufacturer");
        identity.product = FirstLine(*usb / "product");
        identity.serial = FirstLine(*usb / "serial");
    } else {
        identity.kind = "serial port";
    }
    return identity;
}

PortIdentity IdentifyComPort(int n) {
    const auto path = ResolveComPort(n);
    return path ? IdentifyDevice(*path) : PortIdentity{};
}

std::string DescribePortIdentity(const PortIdentity& identity) {
    if (identity.device.empty()) {
        return {};
    }
    // All but the kind come from the file system or another program: shown as data.
    std::string text = PrintableText(identity.device) + ", ";
    if (identity.IsSimulatedSensor()) {
        text += "simulated sensor";
    } else {
        text += identity.kind;
    }
    if (!identity.vendorId.empty()) {
        text += " " + PrintableText(identity.vendorId) + ":" + PrintableText(identity.productId);
    }
    for (const std::string* part : {&identity.manufacturer, &identity.product}) {
        if (!part->empty()) {
            text += " " + PrintableText(*part);
        }
    }
    if (!identity.serial.empty()) {
        text += ", serial " + PrintableText(identity.serial);
    }
    if (!identity.byId.empty()) {
        text += ", " + PrintableText(identity.byId);
    }
    if (identity.servedByPid != 0) {
        text += " (" +
                (identity.servedBy.empty() ? "pid" : PrintableText(identity.servedBy) + ", pid") +
                " " + std::to_string(identity.servedByPid) + ")";
    }
    return text;
}

}  // namespace platform
