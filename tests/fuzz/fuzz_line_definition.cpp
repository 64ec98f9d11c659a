// BuildCommDCBA on any text: a definition it refuses leaves the DCB exactly as it was; one it
// takes sets only the line fields, to values a port can have, and taking it again changes
// nothing more.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "platform/comm.h"

namespace {

bool Same(const DCB& a, const DCB& b) {
    return std::memcmp(&a, &b, sizeof(DCB)) == 0;
}

// Whether definition, taken into before, breaks a rule above.
bool Breaks(const char* definition, const DCB& before) {
    DCB dcb = before;
    SetLastError(0);
    if (!BuildCommDCBA(definition, &dcb)) {
        return !Same(dcb, before) || GetLastError() != ERROR_INVALID_PARAMETER;
    }
    DCB again = dcb;
    const bool untouched =  // what is not a line setting
        dcb.XonLim == before.XonLim && dcb.XoffLim == before.XoffLim &&
        dcb.XonChar == before.XonChar && dcb.XoffChar == before.XoffChar &&
        dcb.ErrorChar == before.ErrorChar && dcb.EofChar == before.EofChar &&
        dcb.EvtChar == before.EvtChar && dcb.fErrorChar == before.fErrorChar &&
        dcb.fNull == before.fNull && dcb.fAbortOnError == before.fAbortOnError &&
        dcb.fTXContinueOnXoff == before.fTXContinueOnXoff;
    return !untouched || dcb.DCBlength != sizeof(DCB) || dcb.fBinary != 1 ||
           (dcb.BaudRate != before.BaudRate && dcb.BaudRate == 0) ||
           (dcb.Parity != before.Parity &&
            (dcb.Parity > SPACEPARITY || dcb.fParity != (dcb.Parity != NOPARITY))) ||
           (dcb.ByteSize != before.ByteSize && (dcb.ByteSize < 5 || dcb.ByteSize > 8)) ||
           (dcb.StopBits != before.StopBits && dcb.StopBits > TWOSTOPBITS) ||
           !BuildCommDCBA(definition, &again) || !Same(again, dcb);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Exactly the input and its NUL, so that reading beyond the end is caught.
    auto text = std::make_unique<char[]>(size + 1);
    std::memcpy(text.get(), data, size);
    text[size] = '\0';
    DCB zeros;
    DCB ones;
    std::memset(static_cast<void*>(&zeros), 0x00, sizeof zeros);
    std::memset(static_cast<void*>(&ones), 0xFF, sizeof ones);  // every bit of every field
    if (Breaks(text.get(), zeros) || Breaks(text.get(), ones)) {
        __builtin_trap();
    }
    return 0;
}
