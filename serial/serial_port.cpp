#include "serial/serial_port.h"

#include <cstdio>
#include <cstring>

int g_nTxLength = 0;

namespace {
constexpr DWORD kPortEventMask = EV_RXCHAR | EV_CTS;
constexpr DWORD kPortTimeoutMs = 1000;
constexpr std::size_t kNameBufferSize = 50;

// The event stays signalled for a monitor that may still be looking at it; a new one takes its
// place, and the old handle is closed, as nothing can wait on it any more.
void ReplaceEvent(HANDLE& hEvent) {
    if (hEvent != nullptr) {
        ResetEvent(hEvent);
        CloseHandle(hEvent);
    }
    hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
}
}  // namespace

CSerialPort::CSerialPort() {
    m_ovIo.Offset = 0;
    m_ovIo.OffsetHigh = 0;
    m_ovIo.hEvent = nullptr;
}

CSerialPort::~CSerialPort() {
    StopMonitor();
    delete[] m_pTxBuffer;
    for (HANDLE* pHandle : {&m_hPort, &m_hStop, &m_hWriteReady, &m_ovIo.hEvent}) {
        if (*pHandle != nullptr) {
            CloseHandle(*pHandle);
        }
    }
    if (m_csPort.lock != nullptr) {
        DeleteCriticalSection(&m_csPort);
        DeleteCriticalSection(&m_csTxBuffer);
    }
}

void CSerialPort::StartMonitor() {
    // Raised before the thread exists, so that a stop right after this waits for it.
    m_bMonitorRunning = TRUE;
    m_pMonitor = AfxBeginThread(MonitorThread, this, THREAD_PRIORITY_NORMAL, 0, 0, nullptr);
}

void CSerialPort::StopMonitor() {
    if (!m_bMonitorRunning) {
        return;
    }
    // The stop event stays set until the next OpenPort. The monitor may be delivering a byte to
    // this very thread or sit in a report box that this thread draws: the wait serves both.
    SetEvent(m_hStop);
    framework::WaitServingSentMessages([this] { return m_bMonitorRunning == FALSE; });
}

BOOL CSerialPort::OpenPort(CWnd* pPortOwner, int nPort, int nBaud) {
    StopMonitor();
    ResetResources(pPortOwner, nPort);

    EnterCriticalSection(&m_csPort);
    if (m_hPort != nullptr) {
        CloseHandle(m_hPort);
        m_hPort = nullptr;
    }

    char szPort[kNameBufferSize];
    std::snprintf(szPort, sizeof szPort, "COM%d", nPort);
    m_hPort = CreateFileA(szPort, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                          FILE_FLAG_OVERLAPPED, nullptr);
    if (m_hPort == INVALID_HANDLE_VALUE) {
        m_hPort = nullptr;
        LeaveCriticalSection(&m_csPort);
        return FALSE;
    }
    // The port stays open even when its configuration fails.
    ConfigureLine(nBaud);
    PurgeComm(m_hPort, kPurgeAll);
    LeaveCriticalSection(&m_csPort);
    return TRUE;
}

void CSerialPort::ResetResources(CWnd* pPortOwner, int nPort) {
    ReplaceEvent(m_ovIo.hEvent);
    ReplaceEvent(m_hWriteReady);
    ReplaceEvent(m_hStop);
    m_aWaitHandles[0] = m_hStop;
    m_aWaitHandles[1] = m_ovIo.hEvent;
    m_aWaitHandles[2] = m_hWriteReady;

    if (m_csPort.lock != nullptr) {
        DeleteCriticalSection(&m_csPort);
        DeleteCriticalSection(&m_csTxBuffer);
    }
    InitializeCriticalSection(&m_csPort);
    InitializeCriticalSection(&m_csTxBuffer);

    m_pOwnerWnd = pPortOwner;

    delete[] m_pTxBuffer;
    m_pTxBuffer = new char[kTxBufferSize];
    g_nTxLength = 0;

    m_nPort = nPort;
    m_nTxBufferSize = kTxBufferSize;
    m_dwEventMask = kPortEventMask;
}

void CSerialPort::ConfigureLine(int nBaud) {
    m_timeouts.ReadIntervalTimeout = kPortTimeoutMs;
    m_timeouts.ReadTotalTimeoutMultiplier = kPortTimeoutMs;
    m_timeouts.ReadTotalTimeoutConstant = kPortTimeoutMs;
    m_timeouts.WriteTotalTimeoutMultiplier = kPortTimeoutMs;
    m_timeouts.WriteTotalTimeoutConstant = kPortTimeoutMs;

    char szLine[kNameBufferSize];
    std::snprintf(szLine, sizeof szLine, "baud=%d parity=%c data=%d stop=%d", nBaud, 'N', 8, 1);

    if (!SetCommTimeouts(m_hPort, &m_timeouts)) {
        ReportError("SetCommTimeouts()");
    } else if (!SetCommMask(m_hPort, kPortEventMask)) {
        ReportError("SetCommMask()");
    } else if (!GetCommState(m_hPort, &m_dcbState)) {
        ReportError("GetCommState()");
    } else {
        m_dcbState.fRtsControl = RTS_CONTROL_ENABLE;
        if (!BuildCommDCBA(szLine, &m_dcbState)) {
            ReportError("BuildCommDCB()");
        } else if (!SetCommState(m_hPort, &m_dcbState)) {
            ReportError("SetCommState()");
        }
    }
}

void CSerialPort::QueueWrite(const char* pBytes, int nLength) {
    if (m_pTxBuffer == nullptr) {
        return;
    }
    // A longer message is refused whole: sent cut short, a set could misconfigure the sensor.
    if (pBytes == nullptr || nLength < 0 || nLength > m_nTxBufferSize) {
        SetLastError(ERROR_INVALID_PARAMETER);
        ReportError("QueueWrite()");
        return;
    }
    EnterCriticalSection(&m_csTxBuffer);
    g_nTxLength = nLength;
    std::memcpy(m_pTxBuffer, pBytes, static_cast<std::size_t>(nLength));
    LeaveCriticalSection(&m_csTxBuffer);
    SetEvent(m_hWriteReady);
}

void CSerialPort::ReportError(const char* pszStep) {
    const DWORD dwError = GetLastError();
    char* pszSystemText = nullptr;
    const DWORD nSystemText = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr, dwError,
        LANG_USER_DEFAULT, reinterpret_cast<LPSTR>(&pszSystemText), 0, nullptr);
    CString strSystemText;
    if (nSystemText != 0) {
        strSystemText = pszSystemText;
    } else {
        strSystemText.Format("Unknown error %u.", static_cast<unsigned>(dwError));
    }
    // Composed at any length, so a long system text neither overflows nor cuts off the port.
    CString strReport;
    strReport.Format("WARNING:  %s Failed with the following error: \n%s\nPort: %d\n", pszStep,
                     strSystemText.GetString(), m_nPort);
    MessageBoxA(nullptr, strReport, "Application Error", MB_ICONERROR);
    LocalFree(pszSystemText);
}
