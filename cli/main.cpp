#include <string>
#include <vector>

#include "cli/run.h"
#include "cli/run_deadline.h"
#include "platform/port_release.h"

int main(int argc, char* argv[]) {
    // A port left marked exclusive would be "held" for the next run.
    platform::ReleasePortsWhenInterrupted();
    const std::vector<std::string> args(argv + 1, argv + argc);
    const cli::RunDeadline deadline(args);
    return cli::Run(args);
}
