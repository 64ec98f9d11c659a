#include "tools/sensor-sim/sensor_model.h"

#include <cstdint>
#include <cstdio>

namespace sensor_sim {
namespace {

constexpr std::size_t kMinHexDigits = 4;
// The tool formats a 32-bit counter or value, which never takes more than eight digits.
constexpr std::size_t kMaxHexDigits = 8;

int DigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

bool IsHex(std::string_view text, std::size_t minDigits) {
    if (text.size() < minDigits || text.size() > kMaxHexDigits) {
        return false;
    }
    for (char c : text) {
        if (DigitValue(c) < 0) {
            return false;
        }
    }
    return true;
}

// Two's complement of the 32-bit pattern, as the tool sends negative numbers.
int HexValue(std::string_view digits) {
    std::uint32_t value = 0;
    for (char c : digits) {
        value = value * 16 + static_cast<std::uint32_t>(DigitValue(c));
    }
    return static_cast<int>(value);
}

}  // namespace

const char* VariantName(Variant variant) {
    return variant == Variant::LoRaWan ? "LoRaWAN" : "NB-IoT";
}

std::optional<Command> ParseCommand(std::string_view bytes) {
    if (bytes.size() < 2 || bytes[0] != '1' || bytes[1] < '0' || bytes[1] > '3') {
        return std::nullopt;
    }
    Command command;
    const int code = bytes[1] - '0';
    command.kind = (code % 2 == 0) ? Command::Kind::Read : Command::Kind::Set;
    command.variant = (code < 2) ? Variant::LoRaWan : Variant::NbIot;
    const std::string_view rest = bytes.substr(2);

    if (command.kind == Command::Kind::Read) {
        if (!IsHex(rest, kMinHexDigits)) {
            return std::nullopt;
        }
        command.sequence = rest;
        return command;
    }

    std::size_t comma = rest.find(',');
    if (comma == std::string_view::npos || !IsHex(rest.substr(0, comma), kMinHexDigits)) {
        return std::nullopt;
    }
    command.sequence = rest.substr(0, comma);
    for (std::size_t field = 0; field < kFieldCount; ++field) {
        if (comma == std::string_view::npos) {
            return std::nullopt;  // fewer than ten fields
        }
        const std::size_t start = comma + 1;
        comma = rest.find(',', start);
        const std::string_view text =
            rest.substr(start, comma == std::string_view::npos ? rest.npos : comma - start);
        if (field < kNumericFieldCount) {
            if (!IsHex(text, 1)) {
                return std::nullopt;
            }
            command.numbers[field] = HexValue(text);
        } else {
            command.texts[field - kNumericFieldCount] = text;
        }
    }
    if (comma != std::string_view::npos) {
        return std::nullopt;  // more than ten fields
    }
    return command;
}

void ApplySet(SensorSettings& settings, const Command& set) {
    settings.address = set.numbers[0];
    settings.interval = set.numbers[1];
    settings.rangeMax = set.numbers[2];
    settings.rangeMin = set.numbers[3];
    settings.highAlarm = set.numbers[4];
    settings.lowAlarm = set.numbers[5];
    if (set.variant == Variant::LoRaWan) {
        settings.frequency = set.texts[0];
        settings.devEui = set.texts[1];
        settings.appEui = set.texts[2];
        settings.appKey = set.texts[3];
    } else {
        settings.nbBand = set.texts[0];
        settings.imei = set.texts[1];
        settings.serverIp = set.texts[2];
        settings.serverPort = set.texts[3];
    }
}

std::string FormatHex(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%04X", static_cast<unsigned>(value));
    return text;
}

std::size_t ReplyThreshold(Variant variant) {
    return variant == Variant::LoRaWan ? 100 : 50;
}

std::string BuildReply(const SensorSettings& settings, Variant variant, std::string_view sequence) {
    std::string line = "1000";
    line += sequence;
    for (int value : {settings.address, settings.interval, settings.rangeMax, settings.rangeMin,
                      settings.highAlarm, settings.lowAlarm}) {
        line += ',';
        line += FormatHex(value);
    }
    const bool lora = variant == Variant::LoRaWan;
    for (const std::string* text :
         {lora ? &settings.frequency : &settings.nbBand, lora ? &settings.devEui : &settings.imei,
          lora ? &settings.appEui : &settings.serverIp,
          lora ? &settings.appKey : &settings.serverPort}) {
        line += ',';
        line += *text;
    }
    line += "\r\n";
    return line;
}

std::string BuildEcho(std::string_view command) {
    std::string line(command);
    line += "\r\n";
    return line;
}

std::string PadToThreshold(std::string answer, Variant variant) {
    const std::size_t threshold = ReplyThreshold(variant);
    if (answer.size() < threshold) {
        answer.append(threshold - answer.size(), ' ');
    }
    return answer;
}

}  // namespace sensor_sim
