// kaldo-sensor-cli from its arguments to its exit code.
#pragma once

#include <string>
#include <vector>

namespace cli {

// args without the program's name.
int Run(const std::vector<std::string>& args);

}  // namespace cli
