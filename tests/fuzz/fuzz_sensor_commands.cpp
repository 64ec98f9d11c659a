// The simulated sensor's side of the line: bytes arriving in chunks at any pace are cut into
// commands, the commands are read by their grammar, and every one it understands gives an answer
// it would itself understand again.
//
// Input: chunks, each a header byte and up to 63 bytes. The header's low six bits are the
// chunk's length, its top two bits the pause before it: none, 1 ms, 4 ms (both inside a
// command) or 6 ms (past the gap that ends one).
#include <cctype>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/sensor-sim/command_assembler.h"
#include "tools/sensor-sim/sensor_model.h"

namespace {

using namespace sensor_sim;
using std::chrono::milliseconds;

[[noreturn]] void Fault() {
    __builtin_trap();
}

constexpr milliseconds kPauses[] = {milliseconds(0), milliseconds(1), milliseconds(4),
                                    milliseconds(6)};

bool IsHex(std::string_view text, std::size_t minDigits) {
    if (text.size() < minDigits || text.size() > 8) {
        return false;
    }
    for (char c : text) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) {
            return false;
        }
    }
    return true;
}

// The command grammar read on its own: "1" and a code from 0 to 3 (even: read; below 2:
// LoRaWAN), a sequence of 4 to 8 hex digits, and for a set exactly ten comma-prefixed fields:
// six of 1 to 8 hex digits (a 32-bit pattern) and four texts.
std::optional<Command> Reference(std::string_view bytes) {
    if (bytes.size() < 2 || bytes[0] != '1' || bytes[1] < '0' || bytes[1] > '3') {
        return std::nullopt;
    }
    Command command;
    command.kind = (bytes[1] - '0') % 2 == 0 ? Command::Kind::Read : Command::Kind::Set;
    command.variant = bytes[1] < '2' ? Variant::LoRaWan : Variant::NbIot;
    std::vector<std::string_view> parts;
    for (std::string_view rest = bytes.substr(2);;) {
        const std::size_t comma = rest.find(',');
        parts.push_back(rest.substr(0, comma));
        if (comma == std::string_view::npos) {
            break;
        }
        rest.remove_prefix(comma + 1);
    }
    const std::size_t expectedParts = command.kind == Command::Kind::Read ? 1 : 1 + kFieldCount;
    if (parts.size() != expectedParts || !IsHex(parts[0], 4)) {
        return std::nullopt;
    }
    command.sequence = parts[0];
    for (std::size_t i = 1; i < parts.size(); ++i) {
        if (i <= kNumericFieldCount) {
            if (!IsHex(parts[i], 1)) {
                return std::nullopt;
            }
            command.numbers[i - 1] = static_cast<int>(static_cast<std::uint32_t>(
                std::strtoul(std::string(parts[i]).c_str(), nullptr, 16)));
        } else {
            command.texts[i - 1 - kNumericFieldCount] = parts[i];
        }
    }
    return command;
}

bool Same(const Command& a, const Command& b) {
    return a.kind == b.kind && a.variant == b.variant && a.sequence == b.sequence &&
           a.numbers == b.numbers && a.texts == b.texts;
}

// A set rebuilt from the settings it applies: "11"/"13", its sequence, its ten fields.
std::string SetFromSettings(const SensorSettings& settings, const Command& set) {
    const std::string reply = BuildReply(settings, set.variant, set.sequence);
    const std::string_view fields(reply.data() + 4, reply.size() - 4 - 2);  // no "1000", no "\r\n"
    return (set.variant == Variant::LoRaWan ? "11" : "13") + std::string(fields);
}

void CheckCommand(std::string_view bytes) {
    const auto command = ParseCommand(bytes);
    const auto expected = Reference(bytes);
    if (command.has_value() != expected.has_value() || (command && !Same(*command, *expected))) {
        Fault();
    }
    if (!command) {
        return;
    }
    if (command->kind == Command::Kind::Read) {
        const std::string reply = BuildReply(SensorSettings{}, command->variant, command->sequence);
        if (reply.rfind("1000" + command->sequence, 0) != 0 || !reply.ends_with("\r\n") ||
            PadToThreshold(reply, command->variant).size() < ReplyThreshold(command->variant)) {
            Fault();
        }
        return;
    }
    if (BuildEcho(bytes) != std::string(bytes) + "\r\n") {
        Fault();
    }
    SensorSettings settings;
    ApplySet(settings, *command);
    const auto again = ParseCommand(SetFromSettings(settings, *command));
    if (!again || !Same(*again, *command)) {
        Fault();
    }
    SensorSettings reapplied;
    ApplySet(reapplied, *again);
    if (!(reapplied == settings)) {
        Fault();
    }
}

// What the assembler must hand over: the bytes of one burst, cut at kMaxCommandBytes.
void CheckBurst(const Burst& burst, const std::string& fed, TimePoint firstAt) {
    const bool overflowed = fed.size() > kMaxCommandBytes;
    if (burst.overflowed != overflowed || burst.bytes != fed.substr(0, kMaxCommandBytes) ||
        burst.firstByteAt != firstAt) {
        Fault();
    }
    if (!burst.overflowed) {
        CheckCommand(burst.bytes);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CheckCommand(std::string_view(reinterpret_cast<const char*>(data), size));

    CommandAssembler assembler;
    TimePoint now{};
    std::string fed;  // the burst so far, as the assembler should have it
    TimePoint firstAt{};
    TimePoint lastAt{};
    std::size_t pos = 0;
    while (pos < size) {
        const std::uint8_t header = data[pos++];
        now += kPauses[header >> 6];
        const std::size_t length = std::min<std::size_t>(header & 0x3F, size - pos);
        const std::string_view chunk(reinterpret_cast<const char*>(data) + pos, length);
        pos += length;

        // As the sensor serves the line: a burst whose gap ran out first, then what arrived.
        const bool due = !fed.empty() && now >= lastAt + kCommandGap;
        const auto burst = assembler.TakeComplete(now);
        if (burst.has_value() != due) {
            Fault();
        }
        if (burst) {
            CheckBurst(*burst, fed, firstAt);
            fed.clear();
        }
        assembler.Feed(chunk, now);
        if (!chunk.empty()) {
            if (fed.empty()) {
                firstAt = now;
            }
            fed += chunk;
            lastAt = now;
        }
        if (assembler.Deadline() !=
            (fed.empty() ? std::nullopt : std::optional<TimePoint>(lastAt + kCommandGap))) {
            Fault();
        }
    }
    now += kCommandGap;
    const auto last = assembler.TakeComplete(now);
    if (last.has_value() != !fed.empty()) {
        Fault();
    }
    if (last) {
        CheckBurst(*last, fed, firstAt);
    }
    return 0;
}
