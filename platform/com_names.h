// COM port names. Port n is, first, the link named COMn in the port folder, if that may be
// trusted (port_folder.h). The numbers with no link there go to the machine's serial devices under
// /sys/class/tty, taking the free numbers from 1 in this order, each kind by kernel number: USB
// serial adapters (ttyUSB*), USB modems (ttyACM*), then on-board UARTs (ttyS*) that have a UART
// behind them (the port type that TIOCGSERIAL reports is not PORT_UNKNOWN) and are not the system
// console. Entries whose device is virtual are skipped. When $KALDO_SENSOR_PORTS names the port
// folder, its links are the only ports.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/descriptor.h"

namespace platform {

struct ComPort {
    int number;
    std::string path;  // what opening the port opens: the link, or the device node

    bool operator==(const ComPort&) const = default;
};

constexpr int kMaxComNumber = 256;

// "COMn" in any case, n from 1 to kMaxComNumber without leading zeros.
std::optional<int> ParseComName(std::string_view name);

// Where port n is: name relative to Folder(), the port folder's descriptor for a link there, the
// current folder for a device node; path is how to show it.
struct ComLocation {
    Descriptor folder;
    std::string name;
    std::string path;

    int Folder() const;
};
std::optional<ComLocation> LocateComPort(int n);

// The path that port n opens, or nullopt when there is no such port.
std::optional<std::string> ResolveComPort(int n);

// The whole mapping, by number.
std::vector<ComPort> ListComPorts();

// The ordering step on its own: keeps the ttyUSB/ttyACM/ttyS names and sorts them in COM order.
std::vector<std::string> OrderSerialDevices(std::vector<std::string> names);

// The numbering step on its own: gives the device paths, in order, the numbers not in linked.
std::vector<ComPort> AssignComNumbers(const std::vector<int>& linked,
                                      const std::vector<std::string>& devicePaths);

}  // namespace platform
