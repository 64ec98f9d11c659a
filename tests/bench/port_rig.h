// Flood lines in a private port folder, and the tool's port object opened on one with its monitor
// delivering to a ByteReceiver. Create the rig before other threads read the environment.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/bench/byte_receiver.h"
#include "tests/bench/flood_line.h"

class CSerialPort;

class PortRig {
public:
    // Links a pseudo-terminal as each of COM1..COMlines.
    explicit PortRig(int lines);
    ~PortRig();
    PortRig(const PortRig&) = delete;
    PortRig& operator=(const PortRig&) = delete;

    FloodLine& Line(int com) { return *lines_.at(static_cast<std::size_t>(com - 1)); }

    // As the tool does, on the receiver's thread: opens COMcom at 115200 and starts the monitor;
    // returns once every thread waits again. False if the port did not open.
    bool OpenAndMonitor(ByteReceiver& receiver, int com);
    void Close(ByteReceiver& receiver);

private:
    std::string folder_;
    std::vector<std::unique_ptr<FloodLine>> lines_;
    std::unique_ptr<CSerialPort> port_;
};

// Once the receiver is shown: runs body with COMcom monitored for it, then ends its dialog.
// Returns body's status, or 1 if the port did not open.
int RunMonitored(PortRig& rig, ByteReceiver& receiver, int com, const std::function<int()>& body);
// The same with the receiver on a headless user-interface thread of its own.
int RunMonitoredHeadless(PortRig& rig, int com, const std::function<int(ByteReceiver&)>& body);
