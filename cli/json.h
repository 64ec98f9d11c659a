// The little JSON kaldo-sensor-cli writes: strings quoted, objects from name and value pairs.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace cli {

// text as a JSON string, quotes included. What PrintableText escapes is escaped here too, as
// \u escapes; a byte that is not UTF-8 becomes the text \xNN, as plain output shows it.
std::string JsonString(const std::string& text);

// {"name": value, ...}; the values are JSON already.
std::string JsonObject(const std::vector<std::pair<std::string, std::string>>& members);

}  // namespace cli
