// Pseudo-terminals linked as COM ports (flood lines) in a private port folder, and the tool's port
// object opened on one of them with its monitor running, delivering to a ByteReceiver. Create the
// rig before any other thread looks at the environment: it points the port folder at itself.
#pragma once

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

    // On the receiver's thread, as the tool does: opens COMcom at 115200 with the receiver as
    // owner and starts the monitor; returns once every thread is waiting again. False if the
    // port did not open.
    bool OpenAndMonitor(ByteReceiver& receiver, int com);
    // Stops the monitor and closes the port, on the receiver's thread.
    void Close(ByteReceiver& receiver);

private:
    std::string folder_;
    std::vector<std::unique_ptr<FloodLine>> lines_;
    std::unique_ptr<CSerialPort> port_;
};
