// CSerialPort: the tool's one COM port, opened exclusively for overlapped I/O at 8-N-1 with fixed
// one-second time-outs. The user-interface thread opens it and queues messages for writing; the
// monitor thread (MonitorThread) does every read and write while it runs.
#pragma once

#include <atomic>

#include "framework/framework.h"
#include "platform/comm.h"

// Notifications from the monitor thread; wParam is 0 or the received byte, lParam the port number.
#define UWM_PORT_BREAK (WM_USER + 1)
#define UWM_PORT_CTS (WM_USER + 2)
#define UWM_PORT_ERR (WM_USER + 4)
#define UWM_PORT_RING (WM_USER + 5)
#define UWM_PORT_RXBYTE (WM_USER + 7)
#define UWM_PORT_RXFLAG (WM_USER + 8)

// Every queue of the port, and every operation pending on it.
constexpr DWORD kPurgeAll = PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR;
// The longest message QueueWrite takes, and the monitor's copy of it.
constexpr int kTxBufferSize = 512;

// Length of the message waiting in the transmit buffer.
extern int g_nTxLength;
// Port status taken after an event wait that completed at once.
extern COMSTAT g_comstat;

class CSerialPort {
public:
    CSerialPort();
    virtual ~CSerialPort();

    BOOL OpenPort(CWnd* pPortOwner, int nPort, int nBaud);
    void QueueWrite(const char* pBytes, int nLength);
    void ReportError(const char* pszStep);

    static UINT MonitorThread(LPVOID pParam);
    // Starts MonitorThread on this port and keeps it in m_pMonitor; after a successful OpenPort.
    void StartMonitor();

    CWinThread* m_pMonitor = nullptr;

protected:
    void DrainReceive();
    void FlushWrite();
    // Ends the pending event wait, which uses m_ovIo, and waits for its end; with m_csPort held.
    void EndEventWait();
    void StopMonitor();
    // The events, locks and transmit buffer a fresh open starts from.
    void ResetResources(CWnd* pPortOwner, int nPort);
    // Time-outs, event mask and line settings of the open port; the first step that fails is
    // reported and the rest skipped.
    void ConfigureLine(int nBaud);

    CRITICAL_SECTION m_csPort;
    // Guards the hand-over of the transmit buffer, so a message queued while the monitor writes
    // never changes the bytes being written.
    CRITICAL_SECTION m_csTxBuffer;
    // A critical section is opaque: whether the two exist is kept beside them.
    bool m_bSectionsInitialized = false;
    // Raised by StartMonitor, cleared by the monitor as it ends.
    std::atomic<BOOL> m_bMonitorRunning{FALSE};
    HANDLE m_hStop = nullptr;
    HANDLE m_hPort = nullptr;
    HANDLE m_hWriteReady = nullptr;
    HANDLE m_aWaitHandles[3] = {nullptr, nullptr, nullptr};
    OVERLAPPED m_ovIo;
    // Where a pending event wait reports its events: it may complete after the pass that
    // issued it, so it cannot live on the monitor's stack.
    DWORD m_dwPortEvent = 0;
    COMMTIMEOUTS m_timeouts;
    DCB m_dcbState;
    CWnd* m_pOwnerWnd = nullptr;
    int m_nPort = 0;
    char* m_pTxBuffer = nullptr;
    DWORD m_dwEventMask = 0;
    int m_nTxBufferSize = 0;
};
