// HexToInt on any text: -1 for an empty text or one longer than eight characters, otherwise the
// text right-aligned into eight hex digits (anything not a hex digit read as 0) in 32 bits.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "sensor/reply_parser.h"

namespace {

// Pads to eight places and lets the C runtime read the digits.
int Reference(const std::uint8_t* data, std::size_t size) {
    if (size == 0 || size > 8) {
        return -1;
    }
    char digits[9] = "00000000";
    for (std::size_t i = 0; i < size; ++i) {
        digits[8 - size + i] = std::isxdigit(data[i]) ? static_cast<char>(data[i]) : '0';
    }
    return static_cast<int>(static_cast<std::uint32_t>(std::strtoul(digits, nullptr, 16)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const CString text(reinterpret_cast<const char*>(data), static_cast<int>(size));
    if (HexToInt(text) != Reference(data, size)) {
        __builtin_trap();
    }
    return 0;
}
