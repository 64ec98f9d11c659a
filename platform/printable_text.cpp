#include "platform/printable_text.h"

#include <cstdio>

namespace platform {

Utf8Step DecodeUtf8(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char first = byte(0);
    if (first < 0x80) {
        return {first, 1, true};
    }
    // The lead byte's pattern, the bits of it that carry the code, and the smallest code that
    // needs that many bytes (a smaller one is overlong).
    struct Lead {
        unsigned char mask, pattern, bits;
        std::size_t length;
        char32_t lowest;
    };
    static constexpr Lead kLeads[] = {
        {0xE0, 0xC0, 0x1F, 2, 0x80}, {0xF0, 0xE0, 0x0F, 3, 0x800}, {0xF8, 0xF0, 0x07, 4, 0x10000}};
    const Lead* lead = nullptr;
    for (const Lead& candidate : kLeads) {
        if ((first & candidate.mask) == candidate.pattern) {
            lead = &candidate;
        }
    }
    if (lead == nullptr) {
        return {};
    }
    const std::size_t length = lead->length;
    char32_t code = first & lead->bits;
    if (text.size() < length) {
        return {};
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) {
            return {};
        }
        code = (code << 6) | (byte(i) & 0x3F);
    }
    if (code < lead->lowest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return {};
    }
    return {code, length, true};
}

bool IsHiddenCode(char32_t code) {
    return code < 0x20 || (code >= 0x7F && code <= 0x9F) || code == 0x061C ||
           (code >= 0x200B && code <= 0x200F) || (code >= 0x2028 && code <= 0x202E) ||
           (code >= 0x2066 && code <= 0x2069) || code == 0xFEFF;
}

std::string PrintableText(std::string_view text) {
    std::string shown;
    shown.reserve(text.size());
    while (!text.empty()) {
        const Utf8Step step = DecodeUtf8(text);
        char escape[12];
        if (!step.valid || (step.code < 0x80 && IsHiddenCode(step.code))) {
            std::snprintf(escape, sizeof escape, "\\x%02x", static_cast<unsigned char>(text[0]));
            shown += escape;
        } else if (IsHiddenCode(step.code)) {
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(step.code));
            shown += escape;
        } else if (step.code == '\\') {
            shown += "\\\\";
        } else {
            shown.append(text.substr(0, step.length));
        }
        text.remove_prefix(step.length);
    }
    return shown;
}

}  // namespace platform
