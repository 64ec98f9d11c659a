// The framework's dialogs as top-level windows of their own class, each with a USER32 control
// per control of its template, laid out in dialog units of the template's font. A dialog shows
// the framework's state and reports what acts on it as a whole: Enter, Esc and its close box.
#include <algorithm>
#include <memory>

#include "framework/win32/native_screen.h"

namespace win32 {
namespace {

constexpr wchar_t kDialogClass[] = L"KaldoDialog";
// The template's dialog-manager bits, which a window of its own class does not take.
constexpr DWORD kDialogStyleBits = 0xFFFF;
constexpr DWORD kDsModalFrame = 0x80;
constexpr UINT_PTR kServeTimer = 1;
constexpr UINT kServeEveryMs = 10;

std::vector<std::unique_ptr<Dialog>> g_dialogs;  // creation order
int g_systemLoops = 0;
HWND g_systemLoopWindow = nullptr;
bool g_systemLoopEnding = false;  // asked once: a capture taken later is the user's

HICON AppIcon(int size) {
    // The icon resource has the framework's main-frame id.
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(128),
                                         IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

Dialog* DialogOfHandle(HWND hwnd) {
    for (auto& dialog : g_dialogs) {
        if (dialog->hwnd == hwnd) {
            return dialog.get();
        }
    }
    return nullptr;
}

void FocusFirstTabStop(const Dialog& dialog) {
    for (const Control& c : dialog.controls) {
        const DWORD needed = WS_TABSTOP | WS_VISIBLE;
        if ((c.style & needed) == needed && (c.style & WS_DISABLED) == 0) {
            SetFocus(c.hwnd);
            return;
        }
    }
}

void FocusFromDialogState(const Dialog& dialog) {
    for (const Control& c : dialog.controls) {
        if (c.focused) {
            FocusFromState(c.hwnd);
            return;
        }
    }
    FocusFirstTabStop(dialog);
}

// Centred on the owner, or on the screen's work area, on the first showing.
void Show(Dialog& dialog) {
    if (!dialog.shownBefore) {
        dialog.shownBefore = true;
        RECT area{};
        if (HWND owner = GetWindow(dialog.hwnd, GW_OWNER)) {
            GetWindowRect(owner, &area);
        } else {
            SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
        }
        RECT frame{};
        GetWindowRect(dialog.hwnd, &frame);
        const int width = frame.right - frame.left;
        const int height = frame.bottom - frame.top;
        SetWindowPos(dialog.hwnd, nullptr, (area.left + area.right - width) / 2,
                     (area.top + area.bottom - height) / 2, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ShowWindow(dialog.hwnd, SW_SHOW);
    FocusFromDialogState(dialog);
}

void ApplyDialog(Dialog& dialog, const Shown& shown) {
    const std::wstring title = Wide(shown.text);
    if (WindowText(dialog.hwnd) != title) {
        SetWindowTextW(dialog.hwnd, title.c_str());
    }
    // A disabled dialog (the owner of a modal dialog or box) takes no input and looks as before.
    const bool enabled = (shown.style & WS_DISABLED) == 0;
    if ((IsWindowEnabled(dialog.hwnd) != FALSE) != enabled) {
        EnableWindow(dialog.hwnd, enabled ? TRUE : FALSE);
        // The box or dialog that disabled it has gone while it could not take the activation.
        if (enabled && GetActiveWindow() == nullptr && IsWindowVisible(dialog.hwnd)) {
            SetActiveWindow(dialog.hwnd);
        }
    }
    const bool visible = (shown.style & WS_VISIBLE) != 0;
    if (visible && !IsWindowVisible(dialog.hwnd)) {
        Show(dialog);
    } else if (!visible && IsWindowVisible(dialog.hwnd)) {
        ShowWindow(dialog.hwnd, SW_HIDE);
    }
}

LRESULT CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Dialog* dialog = DialogOfHandle(hwnd);
    if (dialog == nullptr) {
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    if (ServeInSystemLoop(hwnd, message, wParam)) {
        return 0;
    }
    switch (message) {
        case WM_COMMAND:
            if (lParam != 0) {
                if (Control* control = ControlOfWindow(*dialog, reinterpret_cast<HWND>(lParam))) {
                    ControlNotified(*control, HIWORD(wParam));
                }
            }
            return 0;
        case WM_CLOSE:
            // The framework decides whether the dialog ends.
            PostInput(Input::Close, dialog->key);
            return 0;
        case WM_ACTIVATE:
            // Back to the control that had the focus, as a dialog does; else to the one the
            // framework has focused.
            if (LOWORD(wParam) == WA_INACTIVE) {
                const HWND focus = GetFocus();
                dialog->savedFocus = IsChild(hwnd, focus) ? focus : nullptr;
            } else if (!IsChild(hwnd, GetFocus())) {
                if (dialog->savedFocus != nullptr && IsWindow(dialog->savedFocus)) {
                    SetFocus(dialog->savedFocus);
                } else {
                    FocusFromDialogState(*dialog);
                }
            }
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

bool InsideOf(HWND outer, HWND hwnd) {
    return hwnd == outer || IsChild(outer, hwnd);
}

}  // namespace

void StartScreen() {
    StartLoop();
    static const bool registered = [] {
        INITCOMMONCONTROLSEX controls{};
        controls.dwSize = sizeof controls;
        controls.dwICC = ICC_PROGRESS_CLASS | ICC_BAR_CLASSES;
        InitCommonControlsEx(&controls);
        const HINSTANCE instance = GetModuleHandleW(nullptr);
        WNDCLASSEXW dialogClass{};
        dialogClass.cbSize = sizeof dialogClass;
        dialogClass.lpfnWndProc = DialogProc;
        dialogClass.hInstance = instance;
        dialogClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        dialogClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        dialogClass.lpszClassName = kDialogClass;
        RegisterClassExW(&dialogClass);
        RegisterBoxClass(instance);
        return true;
    }();
    (void)registered;
}

Dialog* FindDialog(WindowKey key) {
    for (auto& dialog : g_dialogs) {
        if (dialog->key == key) {
            return dialog.get();
        }
    }
    return nullptr;
}

Dialog* DialogOfWindow(HWND hwnd) {
    for (auto& dialog : g_dialogs) {
        if (InsideOf(dialog->hwnd, hwnd)) {
            return dialog.get();
        }
    }
    return nullptr;
}

Control* ControlOfWindow(Dialog& dialog, HWND hwnd) {
    for (Control& c : dialog.controls) {
        if (InsideOf(c.hwnd, hwnd)) {
            return &c;
        }
    }
    return nullptr;
}

bool TakeDialogKey(HWND root, WPARAM key) {
    Dialog* dialog = DialogOfHandle(root);
    if (dialog == nullptr) {
        return false;
    }
    for (HWND w = GetFocus(); w != nullptr && w != root; w = GetParent(w)) {
        if (SendMessageW(w, CB_GETDROPPEDSTATE, 0, 0) != 0) {
            wchar_t className[16] = {};
            GetClassNameW(w, className, 16);
            if (lstrcmpiW(className, WC_COMBOBOXW) == 0) {
                return false;
            }
        }
    }
    PostInput(key == VK_RETURN ? Input::Enter : Input::Escape, dialog->key);
    return true;
}

namespace {

void EnterSystemLoop(HWND hwnd) {
    if (g_systemLoops++ == 0) {
        g_systemLoopWindow = hwnd;
        g_systemLoopEnding = false;
        SetTimer(hwnd, kServeTimer, kServeEveryMs, nullptr);
    }
}

void ExitSystemLoop(HWND hwnd) {
    if (g_systemLoops > 0 && --g_systemLoops == 0) {
        KillTimer(hwnd, kServeTimer);
        g_systemLoopWindow = nullptr;
    }
}

}  // namespace

// Windows moves a window and runs a menu in loops of its own, inside the window's procedure:
// the framework's loop is served from a timer meanwhile, so its timers and the messages other
// threads send it do not stall.
bool ServeInSystemLoop(HWND hwnd, UINT message, WPARAM wParam) {
    switch (message) {
        case WM_ENTERSIZEMOVE:
        case WM_ENTERMENULOOP:
            EnterSystemLoop(hwnd);
            return false;
        case WM_EXITSIZEMOVE:
        case WM_EXITMENULOOP:
            ExitSystemLoop(hwnd);
            return false;
        case WM_TIMER:
            if (wParam == kServeTimer) {
                ServeFramework();
                return true;
            }
            return false;
        default:
            return false;
    }
}

void EndSystemLoop() {
    if (g_systemLoops == 0 || g_systemLoopEnding) {
        return;
    }
    g_systemLoopEnding = true;
    EndMenu();
    ReleaseCapture();
    if (g_systemLoopWindow != nullptr) {
        SendMessageW(g_systemLoopWindow, WM_CANCELMODE, 0, 0);
    }
}

void CreateShown(const Shown& shown) {
    if (!shown.isDialog) {
        Dialog* dialog = FindDialog(shown.parent);
        if (dialog == nullptr) {
            return;
        }
        HWND hwnd = CreateControl(*dialog, shown);
        if (hwnd == nullptr) {
            return;
        }
        Control& added = dialog->controls.emplace_back();
        added.key = shown.key;
        added.hwnd = hwnd;
        added.windowClass = shown.windowClass;
        added.style = shown.style;
        ApplyControl(*dialog, added, shown);
        return;
    }
    auto dialog = std::make_unique<Dialog>();
    dialog->key = shown.key;
    dialog->font = CreateDialogFont(shown.fontFace, shown.fontPointSize);
    dialog->units = BaseUnitsOf(dialog->font);
    RECT frame =
        MapDialogUnits(0, 0, shown.right - shown.left, shown.bottom - shown.top, dialog->units);
    const DWORD style = shown.style & ~(WS_VISIBLE | WS_DISABLED | kDialogStyleBits);
    DWORD exStyle = shown.exStyle;
    if ((shown.style & kDsModalFrame) != 0) {
        exStyle |= WS_EX_DLGMODALFRAME;
    }
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    const Dialog* owner = FindDialog(shown.parent);
    Dialog& added = *g_dialogs.emplace_back(std::move(dialog));
    added.hwnd = CreateWindowExW(exStyle, kDialogClass, Wide(shown.text).c_str(), style, 0, 0,
                                 frame.right - frame.left, frame.bottom - frame.top,
                                 owner != nullptr ? owner->hwnd : nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    if (owner == nullptr && (style & WS_SYSMENU) != 0) {
        // The main window's icon, in its caption and the task bar.
        SendMessageW(added.hwnd, WM_SETICON, ICON_BIG,
                     reinterpret_cast<LPARAM>(AppIcon(GetSystemMetrics(SM_CXICON))));
        SendMessageW(added.hwnd, WM_SETICON, ICON_SMALL,
                     reinterpret_cast<LPARAM>(AppIcon(GetSystemMetrics(SM_CXSMICON))));
    }
    ApplyDialog(added, shown);
}

void ChangeShown(const Shown& shown) {
    if (shown.isDialog) {
        if (Dialog* dialog = FindDialog(shown.key)) {
            ApplyDialog(*dialog, shown);
        }
        return;
    }
    if (Dialog* dialog = FindDialog(shown.parent)) {
        auto it = std::find_if(dialog->controls.begin(), dialog->controls.end(),
                               [&](const Control& c) { return c.key == shown.key; });
        if (it != dialog->controls.end()) {
            ApplyControl(*dialog, *it, shown);
        }
    }
}

void DestroyShown(WindowKey key) {
    for (auto& dialog : g_dialogs) {
        auto it = std::find_if(dialog->controls.begin(), dialog->controls.end(),
                               [&](const Control& c) { return c.key == key; });
        if (it != dialog->controls.end()) {
            DestroyControl(*it);
            dialog->controls.erase(it);
            return;
        }
    }
    auto it = std::find_if(g_dialogs.begin(), g_dialogs.end(),
                           [&](const auto& d) { return d->key == key; });
    if (it == g_dialogs.end()) {
        return;
    }
    std::unique_ptr<Dialog> dialog = std::move(*it);
    g_dialogs.erase(it);
    OrphanBoxes(dialog->hwnd);
    for (Control& c : dialog->controls) {
        DestroyControl(c);
    }
    DestroyWindow(dialog->hwnd);
    DeleteObject(dialog->font);
}

}  // namespace win32
