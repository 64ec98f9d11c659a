// What the tool may put on the line, checked from the sensor's side: every burst the simulated
// sensor took in must be made of commands exactly as the tool composes them, with sequence
// fields. A burst may hold more than one command when the tool wrote them within the sensor's
// command gap.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace hardening {

struct LineCommand {
    bool isSet = false;
    std::uint32_t sequence = 0;
};

// The "%0.4X" text of a 32-bit value: four to eight upper-case digits, with no "0" in front
// beyond four digits. Anything else gives nothing.
std::optional<std::uint32_t> ParseHexField(std::string_view text);

// Splits a burst into the commands that make it up. A read is its prefix and sequence; a set is
// its prefix, sequence, six numeric fields and four texts (which may hold commas). Empty when no
// such split exists. With `cutShort` the burst may end inside its last command (the sensor kept
// only its beginning).
std::optional<std::vector<LineCommand>> SplitBurst(std::string_view burst, bool cutShort = false);

}  // namespace hardening
