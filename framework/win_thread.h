// Threads and the application object. The application object is the user-interface thread's
// thread object; AfxBeginThread starts worker threads that take part in the framework's waits.
#pragma once

#include "framework/cwnd.h"

using AFX_THREADPROC = UINT (*)(LPVOID);

class CWinThread : public CCmdTarget {
public:
    CWinThread() = default;
    ~CWinThread() override;

    CWnd* m_pMainWnd = nullptr;
    BOOL m_bAutoDelete = TRUE;
    HANDLE m_hThread = nullptr;  // waitable; signalled with the exit code when the thread ends

    // A worker's main window is the application's.
    virtual CWnd* GetMainWnd();
    DWORD ResumeThread();

private:
    friend CWinThread* AfxBeginThread(AFX_THREADPROC, LPVOID, int, UINT, DWORD,
                                      LPSECURITY_ATTRIBUTES);
    bool m_bStarted = false;  // guarded by the hub lock
};

class CWinApp : public CWinThread {
public:
    explicit CWinApp(LPCSTR lpszAppName = nullptr);
    ~CWinApp() override;

    LPCSTR m_pszAppName = nullptr;

    virtual BOOL InitInstance();

    CWnd* GetMainWnd() override { return m_pMainWnd; }
};

CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam,
                           int nPriority = THREAD_PRIORITY_NORMAL, UINT nStackSize = 0,
                           DWORD dwCreateFlags = 0,
                           LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);
// Ends the calling worker thread with the exit code; does not return.
[[noreturn]] void AfxEndThread(UINT nExitCode, BOOL bDelete = TRUE);
CWinThread* AfxGetThread();
CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();

namespace framework {
// Waits until every worker thread started by AfxBeginThread has finished its clean-up.
void WaitForWorkerThreads();
}  // namespace framework
