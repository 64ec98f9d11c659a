// Per-thread message queues. Retrieval order is Windows': messages sent from other threads
// (handled inside the retrieval), then posted messages, then user input, then timers. Timers are
// not queued: a due timer yields one WM_TIMER when nothing else waits, and missed periods fold.
// A thread that waits in SendMessage, a modal loop or a message box keeps handling messages that
// other threads send it, so a synchronous notification cannot deadlock against its sender.
#pragma once

#include <functional>

#include "framework/messages.h"

struct UserInput;

using TIMERPROC = void (*)(HWND, UINT, UINT_PTR, DWORD);

LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
inline LRESULT SendMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return SendMessage(hwnd, message, wParam, lParam);
}
BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
inline BOOL PostMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return PostMessage(hwnd, message, wParam, lParam);
}
// Handles pending sent messages; with PM_REMOVE also takes the next posted message or timer
// (user input on the way is carried out).
BOOL PeekMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeMsg);
LRESULT DispatchMessage(const MSG* msg);

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc);
BOOL KillTimer(HWND hwnd, UINT_PTR id);

namespace framework {

// Runs the calling thread's message loop until done() holds. done() is checked after every
// message and, with the hub lock held, whenever another thread changes something: it may
// read only state written under that lock or by this thread under it.
void RunMessageLoopUntil(const std::function<bool()>& done);

// Blocks until done() holds, serving meanwhile only what another thread may be waiting for from
// this one: the messages it sends here and, on the user-interface thread, the presenter's work
// (that thread draws every thread's boxes). Posted messages, input and timers wait. done() is
// checked as for RunMessageLoopUntil; a worker thread's end notifies the hub.
void WaitServingSentMessages(const std::function<bool()>& done);

// Gives the calling thread its queue now, so that messages sent to a window it creates are
// never lost for want of one.
void EnsureThreadQueue();

// Drops the window's timers and posted messages (it is being destroyed).
void ForgetWindowMessages(HWND hwnd);

// The calling thread's queue goes away: messages that other threads are still sending to it
// return 0, as when the target thread has ended.
void EndThreadQueue();

// Hands a message to its window's handler: the C++ object attached to it, else the window
// class's own procedure. Returns 0 if the window does not exist.
LRESULT DispatchToWindow(const MSG& msg);

// Carries out one user action (message loop of the window's thread).
void ProcessUserInput(const UserInput& input);

}  // namespace framework
