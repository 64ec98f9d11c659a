// The bridge between the framework and the system's own windows. <windows.h> and the
// framework's headers clash (message and style macros, POINT, RECT, MSG, SendMessage), so no
// file includes both: the presenter's side (win32_presenter.cpp, win_main.cpp) sees the
// framework, the screen's side (native_*.cpp) sees <windows.h>, and both see only these plain
// C++ types. Style bits and message values keep their Windows values on both sides.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "platform/wait_hub.h"

namespace win32 {

// A framework window's handle, opaque to the screen's side.
using WindowKey = const void*;

// What a dialog or control shows: the framework's state of it, in plain types.
struct Shown {
    WindowKey key = nullptr;
    WindowKey parent = nullptr;  // the dialog of a control; the owner of a dialog
    bool isDialog = false;
    int id = 0;
    std::string windowClass;
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    std::string text;  // UTF-8
    bool checked = false;
    std::vector<std::string> items;
    int curSel = -1;
    std::size_t typingLimit = 0;  // the framework's rule for typing into an edit
    int rangeMin = 0;
    int rangeMax = 100;
    int pos = 0;
    bool barColored = false;
    std::uint32_t barColor = 0;                    // COLORREF
    int left = 0, top = 0, right = 0, bottom = 0;  // dialog units
    int imageId = 0;
    std::string fontFace;
    int fontPointSize = 0;
    bool focused = false;
    std::string toolTip;
    unsigned inputsTaken = 0;
};

struct ShownBox {
    int id = 0;
    WindowKey owner = nullptr;
    std::string text;
    std::string caption;
    std::uint32_t type = 0;  // MB_* bits
};

enum class Input { Click, SetText, SelectItem, Enter, Escape, Close, Focus };

// The screen's side, on the user-interface thread unless said otherwise.
void StartScreen();
void CreateShown(const Shown& shown);
void ChangeShown(const Shown& shown);
void DestroyShown(WindowKey key);
void OpenBox(const ShownBox& box);
void CloseBox(int boxId);
// How the user-interface thread sleeps: in the system's message wait, serving its windows.
platform::Sleeper& UiSleeper();
// Any thread: the user-interface thread runs task when it next sleeps, woken for it.
void RunOnUiThread(std::function<void()> task);

// The framework's side, called by the screen's side on the user-interface thread.
void PostInput(Input input, WindowKey key, const std::string& text = {}, int index = -1);
void BoxDone(int boxId);
// Handles what the framework has ready (sent messages, input, posted messages, due timers)
// without waiting: the thread's loop is held by a system loop (a window being moved).
void ServeFramework();
// The bytes of a bitmap resource; empty if there is none.
std::span<const unsigned char> ImageBytes(int resourceId);

}  // namespace win32
