// A worker's handle is a stand-in thread, created suspended and released when the worker ends:
// it then exits with the worker's code, so waits and GetExitCodeThread behave as for the worker.
// The framework keeps the handle open until then (a thread object is deleted after its end).
#include <map>
#include <mutex>

#include "platform/event.h"

namespace platform {
namespace {

std::mutex g_mutex;
std::map<HANDLE, DWORD*> g_exitCodes;  // the stand-ins not yet released

DWORD WINAPI ExitWith(LPVOID exitCode) {
    const DWORD code = *static_cast<DWORD*>(exitCode);
    delete static_cast<DWORD*>(exitCode);
    return code;
}

}  // namespace

HANDLE CreateThreadHandle() {
    auto* exitCode = new DWORD(STILL_ACTIVE);
    HANDLE thread = CreateThread(nullptr, 0, ExitWith, exitCode, CREATE_SUSPENDED, nullptr);
    if (thread == nullptr) {
        delete exitCode;
        return nullptr;
    }
    const std::lock_guard lock(g_mutex);
    g_exitCodes[thread] = exitCode;
    return thread;
}

void FinishThreadHandle(HANDLE thread, DWORD exitCode) {
    const std::lock_guard lock(g_mutex);
    const auto found = g_exitCodes.find(thread);
    if (found == g_exitCodes.end()) {
        return;
    }
    *found->second = exitCode;
    g_exitCodes.erase(found);
    ResumeThread(thread);
}

}  // namespace platform
