// Events and waits with Windows semantics: manual- and auto-reset events, wait-any where the
// lowest signalled index wins, and wait-all.
#pragma once

#include "platform/windows_types.h"

HANDLE CreateEventA(LPSECURITY_ATTRIBUTES attributes, BOOL manualReset, BOOL initialState,
                    LPCSTR name);
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);
DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds);
DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);

void Sleep(DWORD milliseconds);
BOOL SwitchToThread();

namespace platform {
// For code that already holds the hub lock (overlapped completions).
bool SetEventLocked(HANDLE event);
bool ResetEventLocked(HANDLE event);
bool IsEventSignalledLocked(HANDLE event);
}  // namespace platform

// Thread handles: waitable, signalled when the thread ends, carrying its exit code.
constexpr DWORD STILL_ACTIVE = 259;
BOOL GetExitCodeThread(HANDLE thread, LPDWORD exitCode);

namespace platform {
HANDLE CreateThreadHandle();
void FinishThreadHandle(HANDLE thread, DWORD exitCode);
}  // namespace platform
