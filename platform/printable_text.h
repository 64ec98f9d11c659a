// Text from outside the tool (a sensor's fields, a process name, a sysfs string) shown as data: a
// terminal or a widget must never take a byte of it as a command. Valid UTF-8 stays as it is;
// control characters, DEL, C1 controls, the marks that reorder text on screen, and bytes that are
// not UTF-8 become visible escapes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// One step through UTF-8: the code point at the start and its length in bytes, or, for a byte
// that does not start a well-formed sequence (overlong, surrogate, cut short), valid false and a
// length of 1.
struct Utf8Step {
    char32_t code = 0;
    std::size_t length = 1;
    bool valid = false;
};
Utf8Step DecodeUtf8(std::string_view text);

// A code point that must not reach a terminal or a widget as it is.
bool IsHiddenCode(char32_t code);

// "\x1b" for a byte that is a control or not UTF-8, "\u202e" for a hidden code point beyond
// ASCII, "\\" for a backslash, so that every escape reads back unambiguously.
std::string PrintableText(std::string_view text);

}  // namespace platform
