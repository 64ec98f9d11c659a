// The screen's side of the Windows presenter, shared by its native_*.cpp files: the dialogs and
// controls on screen, as USER32 windows, keyed by the framework's handles. Includes
// <windows.h>, so the framework's headers never come in here (bridge.h says why).
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef UNICODE
#define UNICODE
#endif
#include <windows.h>
// After <windows.h>, which they need.
#include <commctrl.h>
#include <uxtheme.h>

#include <string>
#include <vector>

#include "framework/win32/bridge.h"

namespace win32 {

std::wstring Wide(const std::string& utf8);
std::string Utf8(const std::wstring& text);
std::wstring WindowText(HWND hwnd);

// Dialog units, computed as on Windows and as the Qt presenter does: a quarter of the font's
// average character width across, an eighth of its height down.
struct BaseUnits {
    int charWidth = 0;   // average width of the Latin letters, rounded
    int charHeight = 0;  // the font's line height
};
HFONT CreateDialogFont(const std::string& face, int pointSize);
BaseUnits BaseUnitsOf(HFONT font);
RECT MapDialogUnits(int left, int top, int right, int bottom, BaseUnits units);

struct Control {
    WindowKey key = nullptr;
    HWND hwnd = nullptr;
    std::string windowClass;
    std::uint32_t style = 0;  // the framework's, not the native window's
    bool focused = false;
    // Values the user gave it (text, selection) and posted: until the framework has taken in
    // all of them, its state is older than what the control shows.
    unsigned posted = 0;
    HBITMAP bitmap = nullptr;
    std::string toolTip;
};

struct Dialog {
    WindowKey key = nullptr;
    HWND hwnd = nullptr;
    HFONT font = nullptr;
    BaseUnits units;
    bool shownBefore = false;
    HWND savedFocus = nullptr;  // the focus it had when it was last deactivated
    HWND toolTips = nullptr;
    std::vector<Control> controls;  // in template (tab) order
};

// The dialogs on screen (native_dialogs.cpp).
Dialog* FindDialog(WindowKey key);
Dialog* DialogOfWindow(HWND hwnd);                    // hwnd is the dialog or inside it
Control* ControlOfWindow(Dialog& dialog, HWND hwnd);  // hwnd is the control or inside it
// Keys on the framework's dialogs: Enter and Esc act on the dialog as a whole. False if the
// key is not the dialog's (a dropped combo box list closes on it).
bool TakeDialogKey(HWND root, WPARAM key);
// A system loop (a window being moved, a menu) holds the thread: it is asked to end when a wait
// of the framework starts inside it (a box opens), which then serves the user.
void EndSystemLoop();
// Serves the framework while a system loop runs in hwnd's procedure; true if it took the message.
bool ServeInSystemLoop(HWND hwnd, UINT message, WPARAM wParam);

// Controls (native_controls.cpp).
HWND CreateControl(const Dialog& dialog, const Shown& shown);
void ApplyControl(Dialog& dialog, Control& control, const Shown& shown);
void ControlNotified(Control& control, WORD code);
void DestroyControl(Control& control);

// Message boxes (native_boxes.cpp).
void RegisterBoxClass(HINSTANCE instance);
bool TakeBoxKey(HWND root, WPARAM key);
// The owner is going: its boxes stay open on their own (a worker may still wait for one).
void OrphanBoxes(HWND owner);

// Focus given from the framework's state (moved: the state moved it there): not reported back
// as the user's move, and not given while a move of the user's is on its way to the framework.
void FocusFromState(HWND hwnd, bool moved = true);
// Makes the calling thread the user-interface thread (native_loop.cpp).
void StartLoop();
bool IsUiThread();

}  // namespace win32
