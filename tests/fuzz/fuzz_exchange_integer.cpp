// The integer rule of the dialog's data exchange on any text: optional blanks, an optional sign,
// decimal digits, optional blanks, and a value that fits an int; a failure leaves the value
// alone.
#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <regex>
#include <string>

#include "framework/data_exchange.h"

namespace {

bool Reference(const std::string& text, int* value) {
    static const std::regex kInteger("[ \t]*([+-]?[0-9]+)[ \t]*");
    std::smatch match;
    if (!std::regex_match(text, match, kInteger)) {
        return false;
    }
    errno = 0;
    const long long parsed = std::strtoll(match[1].str().c_str(), nullptr, 10);
    if (errno == ERANGE || parsed < INT_MIN || parsed > INT_MAX) {
        return false;
    }
    *value = static_cast<int>(parsed);
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // An edit's text, as the exchange reads it: up to the first NUL.
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string shown(text.c_str());
    constexpr int kUntouched = 0x5A5A5A5A;
    int expected = kUntouched;
    int value = kUntouched;
    const bool expectedOk = Reference(shown, &expected);
    const bool ok = framework::ParseExchangeInteger(shown.c_str(), &value);
    if (ok != expectedOk || value != expected) {
        __builtin_trap();
    }
    return 0;
}
