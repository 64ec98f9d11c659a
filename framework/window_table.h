// The framework's windows: one record per window, keyed by HWND. A window belongs to the thread
// that created it; only that thread touches its record, other threads reach it by messages.
#pragma once

#include <memory>
#include <thread>
#include <vector>

#include "framework/presenter.h"

class CWnd;

struct WindowData : WindowState {
    std::thread::id thread;
    CWnd* object = nullptr;           // the C++ object that handles its messages, if any
    std::unique_ptr<CWnd> temporary;  // stand-in object handed out by FromHandle
    std::vector<HWND> children;       // controls, in tab order
    bool created = false;             // the presenter has been told
};

namespace framework {

HWND CreateWindowData(std::unique_ptr<WindowData> data);
// Owning thread only. Null if the window does not exist.
WindowData* FindWindowData(HWND hwnd);
// Any thread.
bool WindowExists(HWND hwnd);
bool WindowThread(HWND hwnd, std::thread::id* thread);
// Removes the record; returns it so it can be destroyed outside the table's lock. The last one's
// removal notifies the hub.
std::unique_ptr<WindowData> RemoveWindowData(HWND hwnd);
// Any thread: whether any window exists.
bool AnyWindowLeft();

// Tells the presenter the window's current state.
void PublishWindow(WindowData& window);

}  // namespace framework
