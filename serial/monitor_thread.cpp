// The port monitor: the worker thread that carries all traffic on an open port. It waits for a
// stop request, a port event or a queued write, in that order of priority.
#include <cstring>

#include "serial/serial_port.h"

COMSTAT g_comstat;

namespace {
constexpr UINT kMonitorExitCode = 100;

struct LineEvent {
    DWORD bit;
    UINT message;
};
// The order in which the line events are told to the owner.
constexpr LineEvent kLineEvents[] = {
    {EV_CTS, UWM_PORT_CTS}, {EV_RXFLAG, UWM_PORT_RXFLAG}, {EV_BREAK, UWM_PORT_BREAK},
    {EV_ERR, UWM_PORT_ERR}, {EV_RING, UWM_PORT_RING},
};
}  // namespace

UINT CSerialPort::MonitorThread(LPVOID pParam) {
    auto* pPort = static_cast<CSerialPort*>(pParam);
    if (pPort->m_hPort != nullptr) {
        PurgeComm(pPort->m_hPort, kPurgeAll);
    }
    for (;;) {
        if (WaitCommEvent(pPort->m_hPort, &pPort->m_dwPortEvent, &pPort->m_ovIo)) {
            DWORD dwErrors = 0;
            if (!ClearCommError(pPort->m_hPort, &dwErrors, &g_comstat)) {
                g_comstat.cbInQue = 0;
            }
            if (g_comstat.cbInQue == 0) {
                continue;
            }
        } else {
            // 87: the previous pass's wait is still outstanding; 997: it will complete later.
            const DWORD dwError = GetLastError();
            DWORD dwMask = 0;
            // A port that cannot report line events (a pseudo-terminal under Wine, some
            // virtual-COM drivers) still receives: it waits for input alone from now on, without
            // a box. Nobody handles the CTS notification, so nothing is lost.
            if (dwError == ERROR_NOT_SUPPORTED && GetCommMask(pPort->m_hPort, &dwMask) &&
                (dwMask & EV_CTS) != 0 && SetCommMask(pPort->m_hPort, EV_RXCHAR)) {
                continue;
            }
            if (dwError != ERROR_INVALID_PARAMETER && dwError != ERROR_IO_PENDING) {
                pPort->ReportError("WaitCommEvent()");
            }
        }

        switch (WaitForMultipleObjects(3, pPort->m_aWaitHandles, FALSE, INFINITE)) {
            case WAIT_OBJECT_0:
                // The system writes the end of a wait still pending into m_ovIo and
                // m_dwPortEvent, even after the port is closed: it must end while they exist.
                EnterCriticalSection(&pPort->m_csPort);
                pPort->EndEventWait();
                LeaveCriticalSection(&pPort->m_csPort);
                // The port may go once the flag is down: nothing here touches it after.
                pPort->m_bMonitorRunning = FALSE;
                AfxEndThread(kMonitorExitCode);
            case WAIT_OBJECT_0 + 1: {
                // The mask the port was given, not the events that fired.
                DWORD dwMask = 0;
                GetCommMask(pPort->m_hPort, &dwMask);
                const HWND hOwner =
                    pPort->m_pOwnerWnd != nullptr ? pPort->m_pOwnerWnd->GetSafeHwnd() : nullptr;
                for (const LineEvent& event : kLineEvents) {
                    if ((dwMask & event.bit) != 0) {
                        ::SendMessage(hOwner, event.message, 0, pPort->m_nPort);
                    }
                }
                if ((dwMask & EV_RXCHAR) != 0) {
                    pPort->DrainReceive();
                }
                break;
            }
            case WAIT_OBJECT_0 + 2:
                pPort->FlushWrite();
                break;
            default:
                break;
        }
    }
}

void CSerialPort::DrainReceive() {
    for (;;) {
        COMSTAT comstat{};
        DWORD dwErrors = 0;
        EnterCriticalSection(&m_csPort);
        // A failed query counts as an empty queue: its count is not to be trusted.
        const BOOL bStatus = ClearCommError(m_hPort, &dwErrors, &comstat);
        LeaveCriticalSection(&m_csPort);
        if (!bStatus || comstat.cbInQue == 0) {
            return;
        }

        BYTE byte = 0;
        DWORD dwRead = 0;
        const char* pszFailedStep = nullptr;
        EnterCriticalSection(&m_csPort);
        BOOL bRead = ReadFile(m_hPort, &byte, 1, &dwRead, &m_ovIo);
        if (!bRead) {
            if (GetLastError() == ERROR_IO_PENDING) {
                bRead = GetOverlappedResult(m_hPort, &m_ovIo, &dwRead, TRUE);
                if (!bRead) {
                    pszFailedStep = "GetOverlappedResults() in ReadFile()";
                }
            } else {
                pszFailedStep = "ReadFile()";
            }
        }
        LeaveCriticalSection(&m_csPort);
        if (pszFailedStep != nullptr) {
            ReportError(pszFailedStep);
        }
        // A read that timed out with nothing has nothing to deliver.
        if (bRead && dwRead == 1) {
            CWnd* pMainWnd = AfxGetThread()->GetMainWnd();
            ::SendMessage(pMainWnd != nullptr ? pMainWnd->GetSafeHwnd() : nullptr, UWM_PORT_RXBYTE,
                          byte, m_nPort);
        }
    }
}

void CSerialPort::FlushWrite() {
    // The message is copied out under the buffer's lock, so a QueueWrite arriving meanwhile
    // cannot change the bytes on their way; it sets the write event again for the next pass.
    // Taking the message empties the buffer: a QueueWrite whose message went out with this
    // pass sets the event once more, and that pass must find nothing to write again.
    char message[kTxBufferSize];
    EnterCriticalSection(&m_csTxBuffer);
    const int nLength = g_nTxLength;
    std::memcpy(message, m_pTxBuffer, static_cast<std::size_t>(nLength));
    g_nTxLength = 0;
    ResetEvent(m_hWriteReady);
    LeaveCriticalSection(&m_csTxBuffer);
    if (nLength == 0) {
        return;
    }

    EnterCriticalSection(&m_csPort);
    m_ovIo.Offset = 0;
    m_ovIo.OffsetHigh = 0;
    // The pending event wait uses m_ovIo too: its end is taken before the OVERLAPPED serves again.
    EndEventWait();
    // Unread received bytes are lost here, before every write.
    PurgeComm(m_hPort, kPurgeAll);
    const char* pszFailedStep = nullptr;
    DWORD dwWritten = 0;
    if (!WriteFile(m_hPort, message, static_cast<DWORD>(nLength), &dwWritten, &m_ovIo)) {
        if (GetLastError() == ERROR_IO_PENDING) {
            if (!GetOverlappedResult(m_hPort, &m_ovIo, &dwWritten, TRUE)) {
                pszFailedStep = "GetOverlappedResults() in WriteFile()";
            }
        } else {
            pszFailedStep = "WriteFile()";
        }
    }
    LeaveCriticalSection(&m_csPort);
    if (pszFailedStep != nullptr) {
        ReportError(pszFailedStep);
    }
}

void CSerialPort::EndEventWait() {
    // A new mask ends the wait on every system (a purge only under Wine, which completes it
    // late, onto the next use of the OVERLAPPED).
    DWORD dwMask = 0;
    DWORD dwIgnored = 0;
    if (GetCommMask(m_hPort, &dwMask) && SetCommMask(m_hPort, dwMask)) {
        GetOverlappedResult(m_hPort, &m_ovIo, &dwIgnored, TRUE);
    }
}
