#include "platform/comm_termios.h"

namespace platform {
namespace {

struct Rate {
    DWORD baud;
    speed_t speed;
};

constexpr Rate kRates[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},
    {150, B150},         {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000},
};

bool ValidFraming(const DCB& dcb) {
    if (dcb.ByteSize < 5 || dcb.ByteSize > 8 || dcb.Parity > SPACEPARITY ||
        dcb.StopBits > TWOSTOPBITS) {
        return false;
    }
    // As on Windows: 1.5 stop bits go only with 5 data bits, 2 only with 6 to 8.
    if (dcb.StopBits == ONE5STOPBITS) {
        return dcb.ByteSize == 5;
    }
    return dcb.StopBits != TWOSTOPBITS || dcb.ByteSize != 5;
}

// Linux has no RTS toggling, DTR handshaking or DSR flow control on a serial line.
bool SupportedFlowControl(const DCB& dcb) {
    if (dcb.fRtsControl == RTS_CONTROL_TOGGLE || dcb.fDtrControl == DTR_CONTROL_HANDSHAKE ||
        dcb.fOutxDsrFlow != 0) {
        return false;
    }
    return !((dcb.fOutX != 0 || dcb.fInX != 0) && dcb.XonChar == dcb.XoffChar);
}

tcflag_t CharacterSize(BYTE byteSize) {
    switch (byteSize) {
        case 5:
            return CS5;
        case 6:
            return CS6;
        case 7:
            return CS7;
        default:
            return CS8;
    }
}

tcflag_t ParityFlags(BYTE parity) {
    switch (parity) {
        case ODDPARITY:
            return PARENB | PARODD;
        case EVENPARITY:
            return PARENB;
        case MARKPARITY:
            return PARENB | CMSPAR | PARODD;
        case SPACEPARITY:
            return PARENB | CMSPAR;
        default:
            return 0;
    }
}

BYTE ByteSizeOf(tcflag_t cflag) {
    switch (cflag & CSIZE) {
        case CS5:
            return 5;
        case CS6:
            return 6;
        case CS7:
            return 7;
        default:
            return 8;
    }
}

BYTE ParityOf(tcflag_t cflag) {
    if ((cflag & PARENB) == 0) {
        return NOPARITY;
    }
    if ((cflag & CMSPAR) != 0) {
        return (cflag & PARODD) != 0 ? MARKPARITY : SPACEPARITY;
    }
    return (cflag & PARODD) != 0 ? ODDPARITY : EVENPARITY;
}

}  // namespace

std::optional<speed_t> SpeedForBaud(DWORD baud) {
    for (const auto& r : kRates) {
        if (r.baud == baud) {
            return r.speed;
        }
    }
    return std::nullopt;
}

std::optional<DWORD> BaudForSpeed(speed_t speed) {
    for (const auto& r : kRates) {
        if (r.speed == speed) {
            return r.baud;
        }
    }
    return std::nullopt;
}

void MakeRaw(termios& settings) {
    cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD;
    settings.c_cc[VMIN] = 1;
    settings.c_cc[VTIME] = 0;
}

DWORD ApplyDcb(const DCB& dcb, termios& settings) {
    const auto speed = SpeedForBaud(dcb.BaudRate);
    if (!speed || !ValidFraming(dcb) || !SupportedFlowControl(dcb)) {
        return ERROR_INVALID_PARAMETER;
    }
    termios t = settings;
    cfsetispeed(&t, *speed);
    cfsetospeed(&t, *speed);
    t.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    t.c_cflag |= CharacterSize(dcb.ByteSize) | ParityFlags(dcb.Parity);
    if (dcb.StopBits != ONESTOPBIT) {
        t.c_cflag |= CSTOPB;
    }
    if (dcb.fOutxCtsFlow != 0 || dcb.fRtsControl == RTS_CONTROL_HANDSHAKE) {
        t.c_cflag |= CRTSCTS;
    }
    t.c_iflag &= ~(INPCK | IXON | IXOFF);
    if (dcb.fParity != 0 && dcb.Parity != NOPARITY) {
        t.c_iflag |= INPCK;
    }
    if (dcb.fOutX != 0) {
        t.c_iflag |= IXON;
    }
    if (dcb.fInX != 0) {
        t.c_iflag |= IXOFF;
    }
    if (dcb.fOutX != 0 || dcb.fInX != 0) {
        t.c_cc[VSTART] = static_cast<cc_t>(dcb.XonChar);
        t.c_cc[VSTOP] = static_cast<cc_t>(dcb.XoffChar);
    }
    settings = t;
    return ERROR_SUCCESS;
}

DCB ReadDcb(const termios& settings, DWORD rtsControl, DWORD dtrControl) {
    DCB dcb;
    dcb.DCBlength = sizeof(DCB);
    dcb.BaudRate = BaudForSpeed(cfgetospeed(&settings)).value_or(0);
    dcb.fBinary = 1;
    dcb.ByteSize = ByteSizeOf(settings.c_cflag);
    dcb.Parity = ParityOf(settings.c_cflag);
    dcb.fParity = (settings.c_iflag & INPCK) != 0;
    if ((settings.c_cflag & CSTOPB) == 0) {
        dcb.StopBits = ONESTOPBIT;
    } else {
        dcb.StopBits = dcb.ByteSize == 5 ? ONE5STOPBITS : TWOSTOPBITS;
    }
    const bool handshake = (settings.c_cflag & CRTSCTS) != 0;
    dcb.fOutxCtsFlow = handshake;
    dcb.fRtsControl = handshake ? RTS_CONTROL_HANDSHAKE : rtsControl;
    dcb.fDtrControl = dtrControl;
    dcb.fOutX = (settings.c_iflag & IXON) != 0;
    dcb.fInX = (settings.c_iflag & IXOFF) != 0;
    dcb.XonChar = static_cast<char>(settings.c_cc[VSTART]);
    dcb.XoffChar = static_cast<char>(settings.c_cc[VSTOP]);
    return dcb;
}

}  // namespace platform
