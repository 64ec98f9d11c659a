// Message boxes. On a thread with windows a box runs a nested message loop, so timers and sent
// messages keep being handled while it is open, and disables its owner meanwhile. A worker
// thread's box is shown without blocking the user-interface thread; the worker waits for it.
#pragma once

#include "framework/messages.h"
#include "framework/window_styles.h"

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

// The application's name: the executable's file name without extension, unless the
// application object was given one.
LPCSTR AfxGetAppName();

// A box with the application's name as caption, owned by the main window; without an icon in
// type it shows the exclamation icon.
int AfxMessageBox(LPCSTR text, UINT type = MB_OK);

namespace framework {
// Marks the calling thread as a worker: its boxes do not run a message loop.
void SetWorkerThread();
}  // namespace framework
