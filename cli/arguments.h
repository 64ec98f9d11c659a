// The command line of kaldo-sensor-cli: which command, which port, and the settings a set
// changes. Every value is checked here, before any port is touched.
#pragma once

#include <string>
#include <variant>
#include <vector>

#include "ui/main_dialog.h"

namespace cli {

constexpr int kLastCom = LAST_COM_PORT;  // the dialog probes COM1 to COM10

struct Request {
    enum class Command { Help, Ports, Read, Set };
    // A control of the main dialog and what to put in it.
    struct Change {
        int control = 0;
        std::string value;
    };

    Command command = Command::Help;
    int com = 0;
    bool nb = false;
    bool json = false;
    std::vector<Change> changes;  // in the order given
};

// The request, or what is wrong with the arguments.
std::variant<Request, std::string> ParseArguments(const std::vector<std::string>& args);

// The --help text, exit codes included.
std::string Usage();

}  // namespace cli
