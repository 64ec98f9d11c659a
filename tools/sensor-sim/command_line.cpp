#include "tools/sensor-sim/command_line.h"

#include <charconv>
#include <cstdint>

namespace sensor_sim {
namespace {

constexpr std::uint64_t kMaxComNumber = 255;
constexpr std::uint64_t kMaxMilliseconds = 24ull * 60 * 60 * 1000;

using Milliseconds = std::chrono::milliseconds;

struct ValueFlag {
    const char* name;
    std::uint64_t min;
    std::uint64_t max;
    void (*apply)(CommandLine&, std::uint64_t);
};

constexpr ValueFlag kValueFlags[] = {
    {"--com", 1, kMaxComNumber,
     [](CommandLine& l, std::uint64_t v) { l.comNumber = static_cast<int>(v); }},
    {"--delay", 0, kMaxMilliseconds,
     [](CommandLine& l, std::uint64_t v) { l.options.replyDelay = Milliseconds(v); }},
    {"--short", 0, kMaxQueuedBytes,
     [](CommandLine& l, std::uint64_t v) { l.options.cutTo = static_cast<std::size_t>(v); }},
    {"--split", 0, kMaxQueuedBytes,
     [](CommandLine& l, std::uint64_t v) { l.options.splitAt = static_cast<std::size_t>(v); }},
    {"--split-pause", 0, kMaxMilliseconds,
     [](CommandLine& l, std::uint64_t v) { l.options.splitPause = Milliseconds(v); }},
    {"--noise", 0, kMaxQueuedBytes,
     [](CommandLine& l, std::uint64_t v) { l.options.noiseBytes = static_cast<std::size_t>(v); }},
    {"--hang-up-after", 0, kMaxQueuedBytes,
     [](CommandLine& l, std::uint64_t v) { l.options.hangUpAfter = static_cast<std::size_t>(v); }},
    {"--flood", 0, kMaxQueuedBytes,
     [](CommandLine& l, std::uint64_t v) { l.options.floodBytes = static_cast<std::size_t>(v); }},
    {"--seed", 0, UINT32_MAX,
     [](CommandLine& l, std::uint64_t v) { l.options.seed = static_cast<std::uint32_t>(v); }},
};

// A whole decimal number in [min, max], nothing else.
std::optional<std::uint64_t> Number(const std::string& text, std::uint64_t min, std::uint64_t max) {
    std::uint64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || stop != end || value < min || value > max) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::optional<CommandLine> ParseCommandLine(const std::vector<std::string>& args,
                                            std::string& error) {
    CommandLine line;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& flag = args[i];
        if (flag == "--help" || flag == "-h") {
            line.help = true;
            continue;
        }
        if (flag == "--nb") {
            line.options.variant = Variant::NbIot;
            continue;
        }
        if (flag == "--paced") {
            line.options.paced = true;
            continue;
        }
        if (flag == "--silent") {
            line.options.silent = true;
            continue;
        }
        if (flag == "--corrupt-echo") {
            line.options.corruptEcho = true;
            continue;
        }
        const ValueFlag* match = nullptr;
        for (const ValueFlag& candidate : kValueFlags) {
            if (flag == candidate.name) {
                match = &candidate;
            }
        }
        if (match == nullptr) {
            error = "unknown option " + flag;
            return std::nullopt;
        }
        if (i + 1 == args.size()) {
            error = flag + " needs a value";
            return std::nullopt;
        }
        const auto value = Number(args[++i], match->min, match->max);
        if (!value) {
            error = "bad value for " + flag + ": " + args[i];
            return std::nullopt;
        }
        match->apply(line, *value);
    }
    return line;
}

std::string Usage() {
    return "Usage: kaldo-sensor-sim [options]\n"
           "Serves a simulated pressure sensor on a pseudo-terminal linked as COMn.\n"
           "\n"
           "  --com N            COM number to link (1-255, default 3)\n"
           "  --nb               NB-IoT sensor (default LoRaWAN)\n"
           "  --paced            send at 115200 baud line speed (default all at once)\n"
           "  --delay MS         wait MS milliseconds before answering\n"
           "Misbehaviour:\n"
           "  --silent           take commands in, never answer\n"
           "  --short N          answer with the first N bytes only\n"
           "  --split N          send N bytes, pause, then the rest\n"
           "  --split-pause MS   that pause (default 200)\n"
           "  --noise N          N random bytes before each answer\n"
           "  --corrupt-echo     change the last character of each set echo\n"
           "  --hang-up-after N  hang up after N bytes of an answer\n"
           "  --flood N          answer every command with N random bytes, at full speed\n"
           "  --seed S           seed of the random bytes (default 1)\n"
           "  --help             this text\n"
           "\n"
           "Runs until SIGINT, SIGTERM, SIGHUP, SIGQUIT or SIGPIPE, and removes its link then.\n"
           "SIGUSR1 hangs the line up, SIGUSR2 reconnects it.\n";
}

}  // namespace sensor_sim
