// What the framework shows and what it asks of a screen. A presenter mirrors the state of the
// windows (it never owns it: the framework's window table does) and shows message boxes; a
// user's actions come back through PostUserInput. Two presenters exist: headless (tests, with
// a user agent) and Qt 6 (real widgets).
#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "framework/messages.h"
#include "platform/wait_hub.h"

constexpr COLORREF CLR_DEFAULT = 0xFF000000;

// How long the user may make an edit's text, as on Windows: its limit (30000 when none was set),
// or the length of a longer text the program put there. Text the program sets is never cut.
inline std::size_t EditTypingLimit(int limit, std::size_t shownLength) {
    return std::max<std::size_t>(limit > 0 ? static_cast<std::size_t>(limit) : 30000, shownLength);
}

// The visible state of one window (a dialog or a control).
struct WindowState {
    HWND hwnd = nullptr;
    HWND parent = nullptr;  // the dialog of a control; the owner of a dialog
    int id = 0;
    UINT templateId = 0;  // for dialogs
    std::string windowClass;
    DWORD style = 0;
    DWORD exStyle = 0;
    std::string text;
    bool checked = false;
    std::vector<std::string> items;
    int curSel = -1;
    int limit = 0;  // 0: no limit
    int rangeMin = 0;
    int rangeMax = 100;
    int pos = 0;
    COLORREF barColor = CLR_DEFAULT;
    RECT rect;  // dialog units
    int imageId = 0;
    std::string fontFace;
    int fontPointSize = 0;
    bool focused = false;
    std::string toolTip;  // shown while the pointer rests on the window; empty: none
    // The user's SetText and SelectItem inputs to it that the framework has carried out or
    // refused: a view that counts what it posted knows which of its changes are still on the way.
    unsigned inputsTaken = 0;

    bool IsDialog() const { return parent == nullptr || (style & 0x40000000) == 0; }
    bool IsEnabled() const { return (style & 0x08000000) == 0; }
    bool IsVisible() const { return (style & 0x10000000) != 0; }
};

struct MessageBoxState {
    int id = 0;
    HWND owner = nullptr;
    std::string text;
    std::string caption;
    UINT type = 0;
};

class Presenter {
public:
    virtual ~Presenter() = default;
    // User-interface thread only. A dialog is created before its controls, which come in tab order.
    virtual void WindowCreated(const WindowState& state) = 0;
    virtual void WindowChanged(const WindowState& state) = 0;
    virtual void WindowDestroyed(HWND hwnd) = 0;
    // Any thread.
    virtual void MessageBoxOpened(const MessageBoxState& box) = 0;
    virtual void MessageBoxClosed(int boxId) = 0;
    // How the current thread sleeps while its message loop waits; null for the default.
    virtual platform::Sleeper* SleeperForCurrentThread() { return nullptr; }
};

// The process's presenter; the headless one until another is installed.
Presenter& GetPresenter();
void SetPresenter(std::unique_ptr<Presenter> presenter);

// A user's action on a window, from any thread; the window's thread carries it out in its
// message loop, as Windows does with input, if the window can take input at that moment.
struct UserInput {
    enum class Kind { Click, SetText, SelectItem, Enter, Escape, Close, Focus };
    Kind kind;
    HWND hwnd = nullptr;  // the control, or for Enter/Escape/Close the dialog
    std::string text;
    int index = -1;
};
void PostUserInput(const UserInput& input);

// Closes an open message box as its OK button would; any thread. Returns false if not open.
bool CloseMessageBox(int boxId, int result);
