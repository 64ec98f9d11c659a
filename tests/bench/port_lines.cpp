#include "tests/bench/port_lines.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

PortLines::PortLines(int lines) {
    if (mkdtemp(folder_.data()) == nullptr) {
        throw std::runtime_error("cannot make a port folder");
    }
    setenv("KALDO_SENSOR_PORTS", folder_.c_str(), 1);
    for (int com = 1; com <= lines; ++com) {
        lines_.push_back(std::make_unique<platform::PseudoTerminal>());
        if (lines_.back()->Open(com) != 0) {
            throw std::runtime_error("cannot link COM" + std::to_string(com));
        }
    }
}

PortLines::~PortLines() {
    lines_.clear();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}
