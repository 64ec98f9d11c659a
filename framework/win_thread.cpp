#include "framework/win_thread.h"

#include <mutex>
#include <thread>
#include <vector>

#include "framework/message_box.h"
#include "platform/event.h"
#include "platform/handle_table.h"
#include "platform/wait_hub.h"

namespace {

using platform::WaitHub;

CWinApp* g_app = nullptr;
thread_local CWinThread* t_thread = nullptr;
int g_runningWorkers = 0;  // guarded by the hub lock

// Worker threads are joined, not left to end on their own: a thread still tearing down its
// thread_local storage while the process exits deadlocks the MinGW runtime's key clean-up, and
// the tool never ends. A worker names itself ended when its own work is done; the next start
// or the final wait joins it, which waits only for that tear-down. Never destroyed: a program
// that ends without the final wait must not be ended by a joinable thread's destructor.
std::mutex g_threadsMutex;
std::vector<std::thread>& g_threads = *new std::vector<std::thread>;
std::vector<std::thread::id> g_endedThreads;

void JoinEndedThreads() {
    std::vector<std::thread> joining;
    {
        std::lock_guard lock(g_threadsMutex);
        for (auto it = g_threads.begin(); it != g_threads.end();) {
            if (std::erase(g_endedThreads, it->get_id()) > 0) {
                joining.push_back(std::move(*it));
                it = g_threads.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (std::thread& t : joining) {
        t.join();
    }
}

// Thrown by AfxEndThread to unwind the worker's stack to its entry.
struct ThreadExit {
    UINT exitCode;
};

void RunWorker(CWinThread* thread, AFX_THREADPROC proc, LPVOID param, const bool* started) {
    auto& hub = WaitHub::Instance();
    hub.AdoptRegistration();
    t_thread = thread;
    framework::SetWorkerThread();
    {
        auto lock = hub.Lock();
        const std::function<bool()> go = [started] { return *started; };
        hub.Wait(lock, go, std::nullopt);
    }
    UINT exitCode = 0;
    try {
        exitCode = proc(param);
    } catch (const ThreadExit& exit) {
        exitCode = exit.exitCode;
    }
    framework::EndThreadQueue();
    // Once the handle is signalled the owner may delete a thread object it keeps: read first.
    HANDLE handle = thread->m_hThread;
    const bool autoDelete = thread->m_bAutoDelete != FALSE;
    platform::FinishThreadHandle(handle, exitCode);
    if (autoDelete) {
        delete thread;
    }
    hub.UnregisterCurrentThread();
    {
        std::lock_guard lock(g_threadsMutex);
        g_endedThreads.push_back(std::this_thread::get_id());
    }
    auto lock = hub.Lock();
    --g_runningWorkers;
    hub.NotifyLocked();
}

}  // namespace

CWinThread::~CWinThread() {
    if (m_hThread != nullptr) {
        CloseHandle(m_hThread);
    }
}

CWnd* CWinThread::GetMainWnd() {
    if (m_pMainWnd != nullptr) {
        return m_pMainWnd;
    }
    return g_app != nullptr ? g_app->m_pMainWnd : nullptr;
}

DWORD CWinThread::ResumeThread() {
    auto lock = WaitHub::Instance().Lock();
    const DWORD previous = m_bStarted ? 0 : 1;
    m_bStarted = true;
    WaitHub::Instance().NotifyLocked();
    return previous;
}

CWinApp::CWinApp(LPCSTR lpszAppName) : m_pszAppName(lpszAppName) {
    g_app = this;
}

CWinApp::~CWinApp() {
    if (g_app == this) {
        g_app = nullptr;
    }
}

BOOL CWinApp::InitInstance() {
    return TRUE;
}

CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int, UINT,
                           DWORD dwCreateFlags, LPSECURITY_ATTRIBUTES) {
    JoinEndedThreads();
    auto* thread = new CWinThread;
    thread->m_hThread = platform::CreateThreadHandle();
    thread->m_bStarted = (dwCreateFlags & CREATE_SUSPENDED) == 0;
    auto& hub = WaitHub::Instance();
    hub.RegisterStartingThread();
    {
        auto lock = hub.Lock();
        ++g_runningWorkers;
    }
    std::lock_guard threadsLock(g_threadsMutex);
    g_threads.emplace_back(RunWorker, thread, pfnThreadProc, pParam, &thread->m_bStarted);
    return thread;
}

void AfxEndThread(UINT nExitCode, BOOL) {
    throw ThreadExit{nExitCode};
}

CWinThread* AfxGetThread() {
    return t_thread != nullptr ? t_thread : g_app;
}

CWinApp* AfxGetApp() {
    return g_app;
}

CWnd* AfxGetMainWnd() {
    CWinThread* thread = AfxGetThread();
    return thread != nullptr ? thread->GetMainWnd() : nullptr;
}

namespace framework {
void WaitForWorkerThreads() {
    auto& hub = WaitHub::Instance();
    auto lock = hub.Lock();
    const std::function<bool()> allDone = [] { return g_runningWorkers == 0; };
    hub.Wait(lock, allDone, std::nullopt);
    lock.unlock();
    // Every worker has named itself ended by now.
    JoinEndedThreads();
}
}  // namespace framework
