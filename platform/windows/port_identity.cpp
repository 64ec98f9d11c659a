// What a port is, as Windows knows it: the device name, and for a device the system has
// installed (a USB adapter) its friendly name and USB ids from the Ports class.
#include "platform/port_identity.h"

#include <windows.h>
// After <windows.h>, which these need.
#include <devguid.h>
#include <setupapi.h>

#include <cstdio>
#include <string>

namespace platform {
namespace {

std::string RegistryText(HDEVINFO devices, SP_DEVINFO_DATA& device, DWORD property) {
    char text[256] = {};
    if (!SetupDiGetDeviceRegistryPropertyA(devices, &device, property, nullptr,
                                           reinterpret_cast<BYTE*>(text), sizeof text - 1,
                                           nullptr)) {
        return {};
    }
    return text;
}

std::string PortName(HDEVINFO devices, SP_DEVINFO_DATA& device) {
    HKEY key = SetupDiOpenDevRegKey(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
    if (key == INVALID_HANDLE_VALUE) {
        return {};
    }
    char name[32] = {};
    DWORD size = sizeof name - 1;
    DWORD type = 0;
    const LONG result =
        RegQueryValueExA(key, "PortName", nullptr, &type, reinterpret_cast<BYTE*>(name), &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS && type == REG_SZ ? std::string(name) : std::string();
}

// "USB\VID_0403&PID_6001\..." -> "0403", "6001".
void ReadUsbIds(const std::string& hardwareId, PortIdentity& identity) {
    unsigned vendor = 0;
    unsigned product = 0;
    if (std::sscanf(hardwareId.c_str(), "USB\\VID_%4x&PID_%4x", &vendor, &product) == 2 ||
        std::sscanf(hardwareId.c_str(), "FTDIBUS\\VID_%4x+PID_%4x", &vendor, &product) == 2) {
        char id[8];
        std::snprintf(id, sizeof id, "%04x", vendor);
        identity.vendorId = id;
        std::snprintf(id, sizeof id, "%04x", product);
        identity.productId = id;
        identity.kind = "USB serial adapter";
    }
}

// Fills what the Ports class says about COMn, if the system has a device for it.
void DescribeInstalledPort(int n, PortIdentity& identity) {
    HDEVINFO devices = SetupDiGetClassDevsA(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
    if (devices == INVALID_HANDLE_VALUE) {
        return;
    }
    const std::string wanted = "COM" + std::to_string(n);
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD i = 0; SetupDiEnumDeviceInfo(devices, i, &device); ++i) {
        if (lstrcmpiA(PortName(devices, device).c_str(), wanted.c_str()) != 0) {
            continue;
        }
        identity.product = RegistryText(devices, device, SPDRP_FRIENDLYNAME);
        identity.manufacturer = RegistryText(devices, device, SPDRP_MFG);
        ReadUsbIds(RegistryText(devices, device, SPDRP_HARDWAREID), identity);
        break;
    }
    SetupDiDestroyDeviceInfoList(devices);
}

}  // namespace

PortIdentity IdentifyDevice(const std::string& path, const std::string&) {
    HANDLE port = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OVERLAPPED, nullptr);
    if (port == INVALID_HANDLE_VALUE &&
        (GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_PATH_NOT_FOUND)) {
        return {};
    }
    if (port != INVALID_HANDLE_VALUE) {
        CloseHandle(port);
    }
    PortIdentity identity;
    identity.device = path;
    identity.kind = "serial port";
    return identity;
}

PortIdentity IdentifyComPort(int n) {
    PortIdentity identity = IdentifyDevice("\\\\.\\COM" + std::to_string(n));
    if (!identity.device.empty()) {
        DescribeInstalledPort(n, identity);
    }
    return identity;
}

std::string DescribePortIdentity(const PortIdentity& identity) {
    if (identity.device.empty()) {
        return {};
    }
    std::string text = identity.device + ", " + identity.kind;
    if (!identity.vendorId.empty()) {
        text += " " + identity.vendorId + ":" + identity.productId;
    }
    if (!identity.product.empty()) {
        text += " " + identity.product;
    }
    return text;
}

}  // namespace platform
