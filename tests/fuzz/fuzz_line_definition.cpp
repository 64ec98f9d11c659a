// BuildCommDCBA on any text: a definition it refuses leaves the DCB exactly as it was; one it
// takes sets only the line fields, to values a port can have, and taking it again changes
// nothing more.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "platform/comm.h"

namespace {

[[noreturn]] void Fault() {
    __builtin_trap();
}

DCB Filled(unsigned char byte) {
    DCB dcb;
    std::memset(&dcb, byte, sizeof dcb);
    return dcb;
}

bool Same(const DCB& a, const DCB& b) {
    return std::memcmp(&a, &b, sizeof(DCB)) == 0;
}

void Check(const char* definition, const DCB& before) {
    DCB dcb = before;
    SetLastError(0);
    if (!BuildCommDCBA(definition, &dcb)) {
        if (!Same(dcb, before) || GetLastError() != ERROR_INVALID_PARAMETER) {
            Fault();
        }
        return;
    }
    // Not line settings: never touched.
    if (dcb.XonLim != before.XonLim || dcb.XoffLim != before.XoffLim ||
        dcb.XonChar != before.XonChar || dcb.XoffChar != before.XoffChar ||
        dcb.ErrorChar != before.ErrorChar || dcb.EofChar != before.EofChar ||
        dcb.EvtChar != before.EvtChar || dcb.fErrorChar != before.fErrorChar ||
        dcb.fNull != before.fNull || dcb.fAbortOnError != before.fAbortOnError ||
        dcb.fTXContinueOnXoff != before.fTXContinueOnXoff) {
        Fault();
    }
    if (dcb.DCBlength != sizeof(DCB) || dcb.fBinary != 1) {
        Fault();
    }
    if (dcb.BaudRate != before.BaudRate && dcb.BaudRate == 0) {
        Fault();
    }
    if (dcb.Parity != before.Parity &&
        (dcb.Parity > SPACEPARITY || dcb.fParity != (dcb.Parity != NOPARITY))) {
        Fault();
    }
    if (dcb.ByteSize != before.ByteSize && (dcb.ByteSize < 5 || dcb.ByteSize > 8)) {
        Fault();
    }
    if (dcb.StopBits != before.StopBits && dcb.StopBits > TWOSTOPBITS) {
        Fault();
    }
    DCB again = dcb;
    if (!BuildCommDCBA(definition, &again) || !Same(again, dcb)) {
        Fault();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Exactly the input and its NUL, so that reading beyond the end is caught.
    auto text = std::make_unique<char[]>(size + 1);
    std::memcpy(text.get(), data, size);
    text[size] = '\0';
    Check(text.get(), Filled(0x00));
    Check(text.get(), Filled(0xFF));
    return 0;
}
