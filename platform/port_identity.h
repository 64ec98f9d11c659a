// What the device behind a COM port is, so that a user can tell "COM3" from "COM4": the device
// node, for a USB adapter its ids and strings as sysfs has them and its /dev/serial/by-id name,
// for a pseudo-terminal the program on its other end (the simulated sensor names itself so).
#pragma once

#include <string>

namespace platform {

struct PortIdentity {
    std::string device;    // the device node, links resolved; empty when there is no such port
    std::string kind;      // "USB serial adapter", "USB modem", "serial port", "pseudo-terminal"
    std::string vendorId;  // USB only, as sysfs has them
    std::string productId;
    std::string manufacturer;
    std::string product;
    std::string serial;
    std::string byId;      // the /dev/serial/by-id link naming it, if any
    int servedByPid = 0;   // pseudo-terminal: the program holding its other end
    std::string servedBy;  // ... and its name

    bool IsSimulatedSensor() const { return servedBy == "kaldo-sensor-sim"; }
};

// The device at path (a link or a node). root is where sys/ and dev/serial/by-id are looked up;
// a test passes a fake tree.
PortIdentity IdentifyDevice(const std::string& path, const std::string& root = "/");

// The same for port n; an empty identity when there is no such port.
PortIdentity IdentifyComPort(int n);

// One line: the device and what it is; empty for an empty identity.
std::string DescribePortIdentity(const PortIdentity& identity);

}  // namespace platform
