// What the simulated sensor knows and says: its settings, the two commands it understands and
// the lines it answers with. Pure functions of their inputs; no time, no I/O.
//
// Read:  "10" (LoRaWAN) or "12" (NB-IoT), then the sequence field (4 to 8 hex digits).
// Set:   "11" or "13", the sequence field, then exactly ten comma-prefixed fields: six numbers
//        in hexadecimal (1 to 8 digits) and four texts of the variant, none holding a comma.
// Reply: "1000" + the request's sequence field + the ten fields from the settings + "\r\n".
// Echo:  the set command as received + "\r\n".
// An answer shorter than the variant's threshold is padded with spaces after its line end.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace sensor_sim {

enum class Variant { LoRaWan, NbIot };

const char* VariantName(Variant variant);

// A sensor as shipped, with a few values apart from the tool's own defaults so that a read
// visibly changes the dialog.
struct SensorSettings {
    int address = 7;
    int interval = 30;  // minutes
    int rangeMax = 9999;
    int rangeMin = 0;
    int highAlarm = 1200;  // kPa
    int lowAlarm = 0;      // kPa
    std::string frequency = "868500000";
    std::string devEui = "70B3D57ED0010727";
    std::string appEui = "70B3D57ED0010727";
    std::string appKey = "5A1F0C33E8D2B7946C0A17F4D39E2B61";
    std::string nbBand = "5";
    std::string imei = "460012345678966";
    std::string serverIp = "255.255.255.255";
    std::string serverPort = "8080";

    bool operator==(const SensorSettings&) const = default;
};

inline constexpr std::size_t kFieldCount = 10;
inline constexpr std::size_t kNumericFieldCount = 6;

struct Command {
    enum class Kind { Read, Set };
    Kind kind = Kind::Read;
    Variant variant = Variant::LoRaWan;
    std::string sequence;
    std::array<int, kNumericFieldCount> numbers{};                    // a set's fields 1 to 6
    std::array<std::string, kFieldCount - kNumericFieldCount> texts;  // a set's fields 7 to 10
};

// The whole of `bytes` must be one command; anything else gives nothing.
std::optional<Command> ParseCommand(std::string_view bytes);

void ApplySet(SensorSettings& settings, const Command& set);

// "%0.4X" of the value's 32-bit pattern: at least four upper-case digits, -1 as "FFFFFFFF".
std::string FormatHex(int value);

// Bytes the tool waits for before it looks at an answer.
std::size_t ReplyThreshold(Variant variant);

std::string BuildReply(const SensorSettings& settings, Variant variant, std::string_view sequence);
std::string BuildEcho(std::string_view command);

std::string PadToThreshold(std::string answer, Variant variant);

}  // namespace sensor_sim
