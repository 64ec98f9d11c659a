#include "cli/run.h"

#include <cstdio>
#include <variant>

#include "cli/dialog_driver.h"
#include "cli/exit_codes.h"
#include "cli/port_report.h"

namespace cli {

int Run(const std::vector<std::string>& args) {
    const auto parsed = ParseArguments(args);
    if (const auto* wrong = std::get_if<std::string>(&parsed)) {
        std::fprintf(stderr, "kaldo-sensor-cli: %s. See kaldo-sensor-cli --help.\n",
                     wrong->c_str());
        return kBadArguments;
    }
    const Request& request = std::get<Request>(parsed);
    switch (request.command) {
        case Request::Command::Help:
            std::fputs(Usage().c_str(), stdout);
            return kOk;
        case Request::Command::Ports:
            std::fputs(PortReport(request.json).c_str(), stdout);
            return kOk;
        default:
            return RunOnDialog(request);
    }
}

}  // namespace cli
