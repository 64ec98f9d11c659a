#include "cli/json.h"

#include <cstdio>

#include "platform/printable_text.h"

namespace cli {

std::string JsonString(const std::string& text) {
    std::string quoted = "\"";
    for (std::string_view rest = text; !rest.empty();) {
        const platform::Utf8Step step = platform::DecodeUtf8(rest);
        char escaped[12];
        if (!step.valid) {
            // JSON holds only Unicode: a byte that is not UTF-8 is shown as plain output shows it.
            std::snprintf(escaped, sizeof escaped, "\\\\x%02x",
                          static_cast<unsigned char>(rest[0]));
            quoted += escaped;
        } else if (step.code == '"' || step.code == '\\') {
            quoted += '\\';
            quoted += static_cast<char>(step.code);
        } else if (platform::IsHiddenCode(step.code)) {
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(step.code));
            quoted += escaped;
        } else {
            quoted.append(rest.substr(0, step.length));
        }
        rest.remove_prefix(step.length);
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
