// The reply parser on any bytes from the line: a reply is taken exactly when ten commas follow
// index 0 and no NUL is in it, its fields are the texts between them (the tenth runs to the end), and the set command
// made of those fields is read back into the same fields, so a set's echo gives what was sent.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "sensor/command.h"
#include "sensor/reply_parser.h"

namespace {

[[noreturn]] void Fault() {
    __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const char* bytes = reinterpret_cast<const char*>(data);
    std::vector<std::size_t> commas;
    bool nul = false;
    for (std::size_t i = 0; i < size; ++i) {
        if (i > 0 && data[i] == ',') {
            commas.push_back(i);
        }
        nul = nul || data[i] == 0;
    }
    const auto fields = sensor::SplitReply(CString(bytes, static_cast<int>(size)));
    if (fields.has_value() != (commas.size() >= SETTINGS_FIELD_COUNT && !nul)) {
        Fault();
    }
    if (!fields) {
        return 0;
    }
    for (std::size_t k = 0; k < SETTINGS_FIELD_COUNT; ++k) {
        const std::size_t start = commas[k] + 1;
        const std::size_t end = k + 1 < SETTINGS_FIELD_COUNT ? commas[k + 1] : size;
        if ((*fields)[k] != CString(bytes + start, static_cast<int>(end - start))) {
            Fault();
        }
    }
    // Both variants and any sequence, picked by something the fuzzer controls.
    const CString echo =
        sensor::SetCommand(size % 2 == 0, static_cast<int>(size * 2654435761u), *fields);
    if (sensor::SplitReply(echo) != fields) {
        Fault();
    }
    return 0;
}
