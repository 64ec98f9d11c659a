#include "cli/arguments.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "platform/printable_text.h"
#include "res/resource.h"
#include "ui/main_dialog.h"

namespace cli {
namespace {

// The alarms travel as four hexadecimal digits.
constexpr int kLargestAlarm = 0xFFFF;

struct SetOption {
    enum class Kind { Interval, Alarm, Hex, Text };
    enum class Variant { Both, LoraWan, Nb };
    const char* name;
    int control;
    Kind kind;
    int limit;  // Hex: the digits its field needs; Text: the characters its field takes
    Variant variant;
};

constexpr SetOption kSetOptions[] = {
    {"--interval", IDC_COMBO_INTERVAL, SetOption::Kind::Interval, 0, SetOption::Variant::Both},
    {"--high-alarm", IDC_EDIT_HIGH_ALARM, SetOption::Kind::Alarm, 0, SetOption::Variant::Both},
    {"--low-alarm", IDC_EDIT_LOW_ALARM, SetOption::Kind::Alarm, 0, SetOption::Variant::Both},
    {"--app-eui", IDC_EDIT_APP_EUI, SetOption::Kind::Hex, APP_EUI_LIMIT,
     SetOption::Variant::LoraWan},
    {"--app-key", IDC_EDIT_APP_KEY, SetOption::Kind::Hex, APP_KEY_LIMIT,
     SetOption::Variant::LoraWan},
    {"--server-ip", IDC_EDIT_SERVER_IP, SetOption::Kind::Text, SERVER_IP_LIMIT,
     SetOption::Variant::Nb},
    {"--server-port", IDC_EDIT_SERVER_PORT, SetOption::Kind::Text, SERVER_PORT_LIMIT,
     SetOption::Variant::Nb},
};

std::optional<int> ParseNumber(const std::string& text, int lowest, int highest) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < lowest ||
        value > highest) {
        return std::nullopt;
    }
    return value;
}

std::string IntervalChoices() {
    std::string choices;
    for (const char* interval : kIntervals) {
        choices += std::string(choices.empty() ? "" : ", ") + interval;
    }
    return choices;
}

// Why the value may not go into the option's field, or empty.
std::string CheckValue(const SetOption& option, const std::string& value) {
    const std::string name = option.name;
    switch (option.kind) {
        case SetOption::Kind::Interval:
            if (std::find(std::begin(kIntervals), std::end(kIntervals), value) ==
                std::end(kIntervals)) {
                return name + " takes one of " + IntervalChoices() + " (minutes), not \"" +
                       platform::PrintableText(value) + "\"";
            }
            return {};
        case SetOption::Kind::Alarm:
            if (!ParseNumber(value, 0, kLargestAlarm)) {
                return name + " takes a whole number of kPa from 0 to " +
                       std::to_string(kLargestAlarm) + ", not \"" + platform::PrintableText(value) +
                       "\"";
            }
            return {};
        case SetOption::Kind::Hex:
            if (value.size() != static_cast<std::size_t>(option.limit) ||
                value.find_first_not_of("0123456789ABCDEFabcdef") != std::string::npos) {
                return name + " takes " + std::to_string(option.limit) +
                       " hexadecimal digits, not \"" + platform::PrintableText(value) + "\"";
            }
            return {};
        case SetOption::Kind::Text:
            if (value.size() > static_cast<std::size_t>(option.limit)) {
                return name + " takes at most " + std::to_string(option.limit) +
                       " characters, not " + std::to_string(value.size());
            }
            // A comma would end the field on the line, and the sensor takes plain ASCII.
            if (std::any_of(value.begin(), value.end(),
                            [](char c) { return c < ' ' || c > '~' || c == ','; })) {
                return name + " takes printable characters other than a comma, not \"" +
                       platform::PrintableText(value) + "\"";
            }
            return {};
    }
    return {};
}

std::optional<Request::Command> ParseCommand(const std::string& word) {
    if (word == "ports") {
        return Request::Command::Ports;
    }
    if (word == "read") {
        return Request::Command::Read;
    }
    if (word == "set") {
        return Request::Command::Set;
    }
    if (word == "help" || word == "--help" || word == "-h") {
        return Request::Command::Help;
    }
    return std::nullopt;
}

}  // namespace

std::variant<Request, std::string> ParseArguments(const std::vector<std::string>& args) {
    Request request;
    if (args.empty()) {
        return std::string("no command given");
    }
    const auto command = ParseCommand(args[0]);
    if (!command) {
        return "unknown command \"" + platform::PrintableText(args[0]) + "\"";
    }
    request.command = *command;
    std::vector<std::string> seen;
    std::vector<const SetOption*> variantOptions;
    for (std::size_t i = 1; i < args.size(); ++i) {
        std::string name = args[i];
        std::optional<std::string> value;
        if (const auto equals = name.find('='); equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
        }
        if (std::find(seen.begin(), seen.end(), name) != seen.end()) {
            return platform::PrintableText(name) + " is given twice";
        }
        seen.push_back(name);
        if (name == "--help" || name == "-h") {
            request.command = Request::Command::Help;
            return request;
        }
        if (name == "--json" || name == "--nb") {
            if (value || (name == "--nb" && request.command == Request::Command::Ports)) {
                return name + " is not taken here";
            }
            (name == "--json" ? request.json : request.nb) = true;
            continue;
        }
        const SetOption* option = nullptr;
        for (const SetOption& candidate : kSetOptions) {
            if (name == candidate.name) {
                option = &candidate;
            }
        }
        const bool takesValue = (name == "--com" && request.command != Request::Command::Ports) ||
                                (option != nullptr && request.command == Request::Command::Set);
        if (!takesValue) {
            return "\"" + platform::PrintableText(name) + "\" is not an option of " + args[0];
        }
        if (!value) {
            if (i + 1 == args.size()) {
                return name + " needs a value";
            }
            value = args[++i];
        }
        if (option == nullptr) {
            const auto com = ParseNumber(*value, 1, kLastCom);
            if (!com) {
                return "--com takes a port number from 1 to " + std::to_string(kLastCom) +
                       ", not \"" + platform::PrintableText(*value) + "\"";
            }
            request.com = *com;
            continue;
        }
        if (const std::string wrong = CheckValue(*option, *value); !wrong.empty()) {
            return wrong;
        }
        if (option->variant != SetOption::Variant::Both) {
            variantOptions.push_back(option);
        }
        request.changes.push_back({option->control, *value});
    }
    if (request.command != Request::Command::Ports && request.command != Request::Command::Help &&
        request.com == 0) {
        return args[0] + " needs --com N";
    }
    for (const SetOption* option : variantOptions) {
        if ((option->variant == SetOption::Variant::Nb) != request.nb) {
            return std::string(option->name) + " is a setting of " +
                   (request.nb ? "LoRaWAN sensors: leave out --nb" : "NB sensors: add --nb");
        }
    }
    return request;
}

std::string Usage() {
    return "Usage:\n"
           "  kaldo-sensor-cli ports [--json]\n"
           "  kaldo-sensor-cli read --com N [--nb] [--json]\n"
           "  kaldo-sensor-cli set --com N [--nb] [--interval M] [--high-alarm K] [--low-alarm K]\n"
           "                   [--app-eui X] [--app-key X] [--server-ip X] [--server-port X] "
           "[--json]\n"
           "\n"
           "ports  lists COM1 to COM10: the device, what it is, and whether it can be opened.\n"
           "read   reads the sensor on COMn as \"Sensor Initial\" does and prints its settings.\n"
           "set    reads, changes the given settings and writes them as \"Sensor Set\" does;\n"
           "       it succeeds only when the sensor echoes the settings exactly.\n"
           "--nb   an NB-IoT sensor (the default is LoRaWAN); --server-ip and --server-port\n"
           "       are its settings, --app-eui and --app-key those of LoRaWAN sensors.\n"
           "--interval takes " +
           IntervalChoices() +
           " (minutes); the alarms take kPa.\n"
           "\n"
           "Exit codes:\n"
           "  0  done (set: the sensor echoed the settings: \"The Parameters have been set "
           "correctly\")\n"
           "  1  the tool said something unexpected, or asked a question\n"
           "  2  bad arguments; no port was touched\n"
           "  3  no such port, or it may not be opened\n"
           "  4  another program holds the port (\"The port is used by others\")\n"
           "  5  the read timed out (\"Initial is FAIL, please try again\")\n"
           "  6  the read's reply was not accepted\n"
           "  7  the set checks refused the settings; nothing was sent\n"
           "  8  the set timed out (\"Setting is FAIL, please try again\")\n"
           "  9  the set's echo was not accepted\n";
}

}  // namespace cli
