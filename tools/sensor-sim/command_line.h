// The options of the kaldo-sensor-sim program.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tools/sensor-sim/answer_plan.h"

namespace sensor_sim {

struct CommandLine {
    int comNumber = 3;
    SensorOptions options;
    bool help = false;
};

// Returns nothing, with a message in `error`, for an unknown flag or a bad value.
std::optional<CommandLine> ParseCommandLine(const std::vector<std::string>& args,
                                            std::string& error);

std::string Usage();

}  // namespace sensor_sim
