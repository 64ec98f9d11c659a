// Pseudo-terminals linked as COM1..COMn in a port folder of their own, for the benchmarks. Make
// it before other threads read the environment.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/pseudo_terminal.h"

class PortLines {
public:
    explicit PortLines(int lines);
    ~PortLines();
    platform::PseudoTerminal& Line(int com) {
        return *lines_.at(static_cast<std::size_t>(com - 1));
    }

private:
    std::string folder_ = "/tmp/kaldo-bench-ports-XXXXXX";
    std::vector<std::unique_ptr<platform::PseudoTerminal>> lines_;
};
