#include "tests/hardening/line_commands.h"

namespace hardening {
namespace {

constexpr std::size_t kPrefixLength = 2;
constexpr std::size_t kMinDigits = 4;
constexpr std::size_t kMaxDigits = 8;
constexpr int kNumericFields = 6;
constexpr int kTextFields = 4;

bool IsUpperHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

struct Parser {
    std::string_view burst;
    bool cutShort;

    // The commands from `pos` to the end, or nothing.
    std::optional<std::vector<LineCommand>> From(std::size_t pos) const {
        if (pos == burst.size()) {
            return std::vector<LineCommand>{};
        }
        if (cutShort && burst.size() - pos < kPrefixLength) {
            return std::vector<LineCommand>{};
        }
        const std::string_view prefix = burst.substr(pos, kPrefixLength);
        if (prefix == "10" || prefix == "12") {
            return Read(pos + kPrefixLength);
        }
        if (prefix == "11" || prefix == "13") {
            return Set(pos + kPrefixLength);
        }
        return std::nullopt;
    }

    std::optional<std::vector<LineCommand>> Then(LineCommand command, std::size_t pos) const {
        auto rest = From(pos);
        if (rest) {
            rest->insert(rest->begin(), command);
        }
        return rest;
    }

    bool EndsShort(std::size_t pos) const { return cutShort && pos >= burst.size(); }

    std::optional<std::vector<LineCommand>> Read(std::size_t pos) const {
        if (EndsShort(pos + kMinDigits - 1)) {
            return std::vector<LineCommand>{};
        }
        for (std::size_t digits = kMinDigits; digits <= kMaxDigits; ++digits) {
            if (pos + digits > burst.size()) {
                break;
            }
            const auto value = ParseHexField(burst.substr(pos, digits));
            if (value) {
                if (auto split = Then(LineCommand{false, *value}, pos + digits)) {
                    return split;
                }
            }
        }
        return std::nullopt;
    }

    std::optional<std::vector<LineCommand>> Set(std::size_t pos) const {
        // The sequence, then the six numbers: each ends at a comma.
        std::optional<std::uint32_t> sequence;
        for (int field = 0; field <= kNumericFields; ++field) {
            const std::size_t comma = burst.find(',', pos);
            if (comma == std::string_view::npos) {
                return cutShort && IsHexRun(pos) ? std::optional(std::vector<LineCommand>{})
                                                 : std::nullopt;
            }
            const auto value = ParseHexField(burst.substr(pos, comma - pos));
            if (!value) {
                return std::nullopt;
            }
            if (field == 0) {
                sequence = value;
            }
            pos = comma + 1;
        }
        // Fields 7 to 10 are texts: three more commas at least, and the last text runs to the
        // end of the burst or to where the next command starts.
        for (int comma = 1; comma < kTextFields; ++comma) {
            pos = burst.find(',', pos);
            if (pos == std::string_view::npos) {
                return cutShort ? std::optional(std::vector<LineCommand>{}) : std::nullopt;
            }
            ++pos;
        }
        const LineCommand command{true, *sequence};
        if (auto split = Then(command, burst.size())) {
            return split;
        }
        for (std::size_t next = burst.size(); next-- > pos;) {
            if (burst[next] == '1') {
                if (auto split = Then(command, next)) {
                    return split;
                }
            }
        }
        return std::nullopt;
    }

    // The burst was cut inside a hexadecimal field that runs to its end.
    bool IsHexRun(std::size_t pos) const {
        for (std::size_t i = pos; i < burst.size(); ++i) {
            if (!IsUpperHexDigit(burst[i])) {
                return false;
            }
        }
        return burst.size() - pos <= kMaxDigits;
    }
};

}  // namespace

std::optional<std::uint32_t> ParseHexField(std::string_view text) {
    if (text.size() < kMinDigits || text.size() > kMaxDigits ||
        (text.size() > kMinDigits && text[0] == '0')) {
        return std::nullopt;
    }
    std::uint32_t value = 0;
    for (char c : text) {
        if (!IsUpperHexDigit(c)) {
            return std::nullopt;
        }
        value = value * 16 + static_cast<std::uint32_t>(c <= '9' ? c - '0' : c - 'A' + 10);
    }
    return value;
}

std::optional<std::vector<LineCommand>> SplitBurst(std::string_view burst, bool cutShort) {
    if (burst.empty()) {
        return std::nullopt;
    }
    return Parser{burst, cutShort}.From(0);
}

}  // namespace hardening
