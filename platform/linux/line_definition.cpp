#include "platform/line_definition.h"

#include <optional>

namespace platform {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) {
            return false;
        }
    }
    return true;
}

template <typename T>
struct Choice {
    std::string_view text;
    T value;
};

template <typename T, std::size_t N>
std::optional<T> Pick(std::string_view text, const Choice<T> (&choices)[N]) {
    for (const auto& c : choices) {
        if (SameText(text, c.text)) {
            return c.value;
        }
    }
    return std::nullopt;
}

std::optional<DWORD> ParseBaud(std::string_view text) {
    // Seven digits hold every real rate and cannot overflow a DWORD.
    if (text.empty() || text.size() > 7) {
        return std::nullopt;
    }
    DWORD value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + static_cast<DWORD>(c - '0');
    }
    constexpr Choice<DWORD> kShortForms[] = {{"11", 110},  {"15", 150},  {"30", 300},
                                             {"60", 600},  {"12", 1200}, {"24", 2400},
                                             {"48", 4800}, {"96", 9600}, {"19", 19200}};
    if (auto rate = Pick(text, kShortForms)) {
        return rate;
    }
    return value == 0 ? std::nullopt : std::optional<DWORD>(value);
}

constexpr Choice<BYTE> kParities[] = {
    {"n", NOPARITY}, {"e", EVENPARITY}, {"o", ODDPARITY}, {"m", MARKPARITY}, {"s", SPACEPARITY}};
constexpr Choice<BYTE> kDataBits[] = {{"5", 5}, {"6", 6}, {"7", 7}, {"8", 8}};
constexpr Choice<BYTE> kStopBits[] = {{"1", ONESTOPBIT}, {"1.5", ONE5STOPBITS}, {"2", TWOSTOPBITS}};
constexpr Choice<bool> kSwitch[] = {{"on", true}, {"off", false}};
constexpr Choice<DWORD> kDtr[] = {
    {"on", DTR_CONTROL_ENABLE}, {"off", DTR_CONTROL_DISABLE}, {"hs", DTR_CONTROL_HANDSHAKE}};
constexpr Choice<DWORD> kRts[] = {{"on", RTS_CONTROL_ENABLE},
                                  {"off", RTS_CONTROL_DISABLE},
                                  {"hs", RTS_CONTROL_HANDSHAKE},
                                  {"tg", RTS_CONTROL_TOGGLE}};

struct Definition {
    std::optional<DWORD> baud;
    std::optional<BYTE> parity;
    std::optional<BYTE> data;
    std::optional<BYTE> stop;
    std::optional<bool> xon;
    std::optional<bool> odsr;
    std::optional<bool> octs;
    std::optional<bool> idsr;
    std::optional<DWORD> dtr;
    std::optional<DWORD> rts;
};

// Stores a parsed value; a bad value or a key given twice makes the definition malformed.
template <typename T>
bool Store(std::optional<T>& slot, std::optional<T> parsed) {
    if (slot || !parsed) {
        return false;
    }
    slot = parsed;
    return true;
}

bool ParsePair(std::string_view key, std::string_view value, Definition& def) {
    if (SameText(key, "baud")) {
        return Store(def.baud, ParseBaud(value));
    }
    if (SameText(key, "parity")) {
        return Store(def.parity, Pick(value, kParities));
    }
    if (SameText(key, "data")) {
        return Store(def.data, Pick(value, kDataBits));
    }
    if (SameText(key, "stop")) {
        return Store(def.stop, Pick(value, kStopBits));
    }
    if (SameText(key, "xon")) {
        return Store(def.xon, Pick(value, kSwitch));
    }
    if (SameText(key, "odsr")) {
        return Store(def.odsr, Pick(value, kSwitch));
    }
    if (SameText(key, "octs")) {
        return Store(def.octs, Pick(value, kSwitch));
    }
    if (SameText(key, "idsr")) {
        return Store(def.idsr, Pick(value, kSwitch));
    }
    if (SameText(key, "dtr")) {
        return Store(def.dtr, Pick(value, kDtr));
    }
    if (SameText(key, "rts")) {
        return Store(def.rts, Pick(value, kRts));
    }
    return false;
}

std::optional<Definition> Parse(std::string_view text) {
    Definition def;
    bool any = false;
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (IsBlank(text[pos])) {
            ++pos;
            continue;
        }
        std::size_t end = pos;
        while (end < text.size() && !IsBlank(text[end])) {
            ++end;
        }
        const std::string_view token = text.substr(pos, end - pos);
        pos = end;
        const std::size_t equals = token.find('=');
        if (equals == std::string_view::npos ||
            !ParsePair(token.substr(0, equals), token.substr(equals + 1), def)) {
            return std::nullopt;
        }
        any = true;
    }
    if (!any) {
        return std::nullopt;
    }
    return def;
}

}  // namespace

bool ParseLineDefinition(std::string_view definition, DCB& dcb) {
    const auto def = Parse(definition);
    if (!def) {
        return false;
    }
    dcb.DCBlength = sizeof(DCB);
    dcb.fBinary = 1;
    dcb.fOutX = 0;
    dcb.fInX = 0;
    dcb.fOutxCtsFlow = 0;
    dcb.fOutxDsrFlow = 0;
    if (dcb.fDtrControl == DTR_CONTROL_HANDSHAKE) {
        dcb.fDtrControl = DTR_CONTROL_ENABLE;
    }
    if (dcb.fRtsControl == RTS_CONTROL_HANDSHAKE) {
        dcb.fRtsControl = RTS_CONTROL_ENABLE;
    }
    if (def->baud) {
        dcb.BaudRate = *def->baud;
    }
    if (def->parity) {
        dcb.Parity = *def->parity;
        dcb.fParity = *def->parity != NOPARITY;
    }
    if (def->data) {
        dcb.ByteSize = *def->data;
    }
    if (def->stop) {
        dcb.StopBits = *def->stop;
    } else if (def->baud == 110u) {
        dcb.StopBits = TWOSTOPBITS;
    }
    if (def->xon) {
        dcb.fOutX = *def->xon;
        dcb.fInX = *def->xon;
    }
    if (def->odsr) {
        dcb.fOutxDsrFlow = *def->odsr;
    }
    if (def->octs) {
        dcb.fOutxCtsFlow = *def->octs;
    }
    if (def->idsr) {
        dcb.fDsrSensitivity = *def->idsr;
    }
    if (def->dtr) {
        dcb.fDtrControl = *def->dtr;
    }
    if (def->rts) {
        dcb.fRtsControl = *def->rts;
    }
    return true;
}

}  // namespace platform
