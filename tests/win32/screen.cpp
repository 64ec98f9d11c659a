#include "tests/win32/screen.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef UNICODE
#define UNICODE
#endif
#include <windows.h>

namespace screen {
namespace {

HWND Handle(Window window) {
    return static_cast<HWND>(window);
}

std::string Utf8(const std::wstring& text) {
    std::string utf8(
        static_cast<std::size_t>(WideCharToMultiByte(
            CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr)),
        '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(),
                        static_cast<int>(utf8.size()), nullptr, nullptr);
    return utf8;
}

std::wstring WideText(HWND hwnd) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

void PostKey(HWND hwnd, WPARAM key) {
    PostMessageW(hwnd, WM_KEYDOWN, key, 1);
    PostMessageW(hwnd, WM_KEYUP, key, 0xC0000001);
}

}  // namespace

Window Dialog(const std::string& caption) {
    struct Search {
        std::wstring caption;
        HWND found = nullptr;
    } search;
    search.caption.assign(caption.begin(), caption.end());
    EnumWindows(
        [](HWND hwnd, LPARAM lParam) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lParam);
            wchar_t className[32] = {};
            GetClassNameW(hwnd, className, 32);
            if (lstrcmpW(className, L"KaldoDialog") == 0 && IsWindowVisible(hwnd) &&
                WideText(hwnd) == s->caption) {
                s->found = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

Window Item(Window dialog, int id) {
    return GetDlgItem(Handle(dialog), id);
}

std::string Text(Window window) {
    return Utf8(WideText(Handle(window)));
}

bool Enabled(Window window) {
    return IsWindowEnabled(Handle(window)) != FALSE;
}

void Click(Window button) {
    PostMessageW(Handle(button), BM_CLICK, 0, 0);
}

void Type(Window window, const std::string& keys) {
    // A combo box's keys go to its edit, where the user types them.
    HWND target = Handle(window);
    if (HWND edit = FindWindowExW(target, nullptr, L"Edit", nullptr)) {
        target = edit;
    }
    for (const char key : keys) {
        switch (key) {
            case '^':
                PostKey(target, VK_HOME);
                break;
            case '\n':
                PostKey(target, VK_RETURN);
                break;
            case '\x1b':
                PostKey(target, VK_ESCAPE);
                break;
            case 'v':
                PostKey(target, VK_DOWN);
                break;
            case '*':
                PostMessageW(target, EM_SETSEL, 0, -1);
                break;
            default:
                PostMessageW(target, WM_CHAR, static_cast<unsigned char>(key), 1);
                break;
        }
    }
}

void Focus(Window window) {
    // As a click: the pointer goes there (without a window manager the X focus follows it), the
    // window is activated, then the control focused.
    RECT place{};
    GetWindowRect(Handle(window), &place);
    SetCursorPos((place.left + place.right) / 2, (place.top + place.bottom) / 2);
    SetForegroundWindow(GetAncestor(Handle(window), GA_ROOT));
    SetFocus(Handle(window));
}

void CloseBox(Window window) {
    PostMessageW(Handle(window), WM_SYSCOMMAND, SC_CLOSE, 0);
}

std::vector<Box> Boxes() {
    std::vector<Box> boxes;
    EnumWindows(
        [](HWND hwnd, LPARAM lParam) -> BOOL {
            wchar_t className[32] = {};
            GetClassNameW(hwnd, className, 32);
            if (lstrcmpW(className, L"KaldoMessageBox") != 0 || !IsWindowVisible(hwnd)) {
                return TRUE;
            }
            Box box;
            box.window = hwnd;
            box.caption = Utf8(WideText(hwnd));
            for (HWND child = GetWindow(hwnd, GW_CHILD); child != nullptr;
                 child = GetWindow(child, GW_HWNDNEXT)) {
                const LONG style = GetWindowLongW(child, GWL_STYLE);
                GetClassNameW(child, className, 32);
                if (lstrcmpiW(className, L"Static") != 0) {
                    continue;
                }
                if ((style & SS_TYPEMASK) == SS_ICON) {
                    box.icon = true;
                } else {
                    box.text = Utf8(WideText(child));
                }
            }
            reinterpret_cast<std::vector<Box>*>(lParam)->push_back(box);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&boxes));
    return boxes;
}

}  // namespace screen
