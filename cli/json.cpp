#include "cli/json.h"

#include <cstdio>

namespace cli {

std::string JsonString(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            quoted += escaped;
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}

std::string JsonObject(const std::vector<std::pair<std::string, std::string>>& members) {
    std::string object = "{";
    for (const auto& [name, value] : members) {
        object += (object.size() > 1 ? ", " : "") + JsonString(name) + ": " + value;
    }
    return object + "}";
}

}  // namespace cli
