// The Windows communications API over termios: COM ports opened by name, line settings,
// time-outs, event masks, purges and overlapped reads, writes and event waits.
//
// What a port does here, where Windows leaves it to the driver:
// - "COMn" names resolve as com_names.h describes. A port is always opened exclusively.
// - A read returns what has arrived, up to the count asked for; it pends only while nothing has,
//   until bytes arrive or the total read time-out (ReadTotalTimeoutConstant + multiplier x count;
//   none when both are 0) runs out, which completes it with 0 bytes. ReadIntervalTimeout MAXDWORD
//   with both totals 0 never pends. A write pends until all of it is written or the total write
//   time-out runs out. Time-outs run on the wait hub's clock.
// - Events reported: EV_RXCHAR (input is waiting) and EV_CTS (the CTS line changed since the
//   mask was set or the change was last reported). The other EV_ bits may be set but never fire.
//   A device whose driver cannot report line changes (modem_lines.h) fails a wait for EV_CTS with
//   ERROR_NOT_SUPPORTED.
// - One wait, one read and one write may be pending per port, each with its own OVERLAPPED.
// - A null OVERLAPPED makes ReadFile, WriteFile and WaitCommEvent wait for completion.
// - Hang-up (the other side of a pseudo-terminal closed, a USB adapter pulled): pending reads
//   and writes, and from then on every read, write, purge and status query, fail with
//   ERROR_DEVICE_NOT_CONNECTED. The first event wait after it fails the same way (completing
//   with that error if it was pending); later waits stay pending, with nothing watched, until
//   a purge, SetCommMask or CloseHandle.
// - CloseHandle abandons pending operations: their events are signalled, but their OVERLAPPED,
//   buffers and event masks are not written any more.
#pragma once

#include "platform/last_error.h"
#include "platform/windows_types.h"

constexpr DWORD MAXDWORD = 0xFFFFFFFF;

constexpr DWORD GENERIC_READ = 0x80000000;
constexpr DWORD GENERIC_WRITE = 0x40000000;
constexpr DWORD OPEN_EXISTING = 3;
constexpr DWORD FILE_FLAG_OVERLAPPED = 0x40000000;

constexpr BYTE NOPARITY = 0;
constexpr BYTE ODDPARITY = 1;
constexpr BYTE EVENPARITY = 2;
constexpr BYTE MARKPARITY = 3;
constexpr BYTE SPACEPARITY = 4;

constexpr BYTE ONESTOPBIT = 0;
constexpr BYTE ONE5STOPBITS = 1;
constexpr BYTE TWOSTOPBITS = 2;

constexpr DWORD DTR_CONTROL_DISABLE = 0;
constexpr DWORD DTR_CONTROL_ENABLE = 1;
constexpr DWORD DTR_CONTROL_HANDSHAKE = 2;

constexpr DWORD RTS_CONTROL_DISABLE = 0;
constexpr DWORD RTS_CONTROL_ENABLE = 1;
constexpr DWORD RTS_CONTROL_HANDSHAKE = 2;
constexpr DWORD RTS_CONTROL_TOGGLE = 3;

constexpr DWORD EV_RXCHAR = 0x0001;
constexpr DWORD EV_RXFLAG = 0x0002;
constexpr DWORD EV_TXEMPTY = 0x0004;
constexpr DWORD EV_CTS = 0x0008;
constexpr DWORD EV_DSR = 0x0010;
constexpr DWORD EV_RLSD = 0x0020;
constexpr DWORD EV_BREAK = 0x0040;
constexpr DWORD EV_ERR = 0x0080;
constexpr DWORD EV_RING = 0x0100;

constexpr DWORD PURGE_TXABORT = 0x0001;
constexpr DWORD PURGE_RXABORT = 0x0002;
constexpr DWORD PURGE_TXCLEAR = 0x0004;
constexpr DWORD PURGE_RXCLEAR = 0x0008;

struct DCB {
    DWORD DCBlength = 0;
    DWORD BaudRate = 0;
    DWORD fBinary : 1 = 0;
    DWORD fParity : 1 = 0;
    DWORD fOutxCtsFlow : 1 = 0;
    DWORD fOutxDsrFlow : 1 = 0;
    DWORD fDtrControl : 2 = 0;
    DWORD fDsrSensitivity : 1 = 0;
    DWORD fTXContinueOnXoff : 1 = 0;
    DWORD fOutX : 1 = 0;
    DWORD fInX : 1 = 0;
    DWORD fErrorChar : 1 = 0;
    DWORD fNull : 1 = 0;
    DWORD fRtsControl : 2 = 0;
    DWORD fAbortOnError : 1 = 0;
    DWORD fDummy2 : 17 = 0;
    WORD wReserved = 0;
    WORD XonLim = 0;
    WORD XoffLim = 0;
    BYTE ByteSize = 0;
    BYTE Parity = 0;
    BYTE StopBits = 0;
    char XonChar = 0;
    char XoffChar = 0;
    char ErrorChar = 0;
    char EofChar = 0;
    char EvtChar = 0;
    WORD wReserved1 = 0;
};
using LPDCB = DCB*;

struct COMMTIMEOUTS {
    DWORD ReadIntervalTimeout = 0;
    DWORD ReadTotalTimeoutMultiplier = 0;
    DWORD ReadTotalTimeoutConstant = 0;
    DWORD WriteTotalTimeoutMultiplier = 0;
    DWORD WriteTotalTimeoutConstant = 0;
};
using LPCOMMTIMEOUTS = COMMTIMEOUTS*;

struct COMSTAT {
    DWORD fCtsHold : 1 = 0;
    DWORD fDsrHold : 1 = 0;
    DWORD fRlsdHold : 1 = 0;
    DWORD fXoffHold : 1 = 0;
    DWORD fXoffSent : 1 = 0;
    DWORD fEof : 1 = 0;
    DWORD fTxim : 1 = 0;
    DWORD fReserved : 25 = 0;
    DWORD cbInQue = 0;
    DWORD cbOutQue = 0;
};
using LPCOMSTAT = COMSTAT*;

// Opens "COMn" or "\\.\COMn" (n from 1). share, security attributes and template are ignored: a comm port is
// always exclusive. creation must be OPEN_EXISTING. Fails with ERROR_FILE_NOT_FOUND for a port
// that does not exist, ERROR_ACCESS_DENIED for one that is in use (by this or another program),
// ERROR_PRIVILEGE_NOT_HELD for one the user may not open.
HANDLE CreateFileA(LPCSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES attributes,
                   DWORD creation, DWORD flags, HANDLE templateFile);

BOOL SetCommTimeouts(HANDLE port, LPCOMMTIMEOUTS timeouts);
BOOL GetCommTimeouts(HANDLE port, LPCOMMTIMEOUTS timeouts);
// Completes a pending WaitCommEvent with the event mask 0.
BOOL SetCommMask(HANDLE port, DWORD mask);
BOOL GetCommMask(HANDLE port, LPDWORD mask);
BOOL GetCommState(HANDLE port, LPDCB dcb);
// Only fills dcb from a definition such as "baud=115200 parity=N data=8 stop=1".
BOOL BuildCommDCBA(LPCSTR definition, LPDCB dcb);
BOOL SetCommState(HANDLE port, LPDCB dcb);
// PURGE_TXABORT/PURGE_RXABORT complete a pending WaitCommEvent with the mask 0 and cancel the
// pending write/read (ERROR_OPERATION_ABORTED); PURGE_TXCLEAR/PURGE_RXCLEAR empty the queues.
BOOL PurgeComm(HANDLE port, DWORD flags);
// errors is always 0: line errors are not counted.
BOOL ClearCommError(HANDLE port, LPDWORD errors, LPCOMSTAT status);
BOOL WaitCommEvent(HANDLE port, LPDWORD eventMask, LPOVERLAPPED overlapped);
BOOL ReadFile(HANDLE port, LPVOID buffer, DWORD count, LPDWORD read, LPOVERLAPPED overlapped);
BOOL WriteFile(HANDLE port, LPCVOID buffer, DWORD count, LPDWORD written, LPOVERLAPPED overlapped);
BOOL GetOverlappedResult(HANDLE port, LPOVERLAPPED overlapped, LPDWORD transferred, BOOL wait);
