// The framework's message boxes as windows of their own: caption, icon, text and an OK button,
// laid out as the system lays out its own boxes. The system's MessageBox is not used: it runs a
// message loop of its own, in which the framework's timers and the messages other threads send
// it would wait. A box is shown and the framework's loop (or a waiting worker) goes on; its OK
// button, Enter, Esc or its close box tell the framework.
#include <algorithm>
#include <map>
#include <set>

#include "framework/win32/native_screen.h"

namespace win32 {
namespace {

constexpr wchar_t kBoxClass[] = L"KaldoMessageBox";
constexpr std::uint32_t kIconMask = 0xF0;
constexpr std::uint32_t kIconError = 0x10;
constexpr std::uint32_t kIconExclamation = 0x30;
constexpr std::uint32_t kIconInformation = 0x40;

struct Box {
    HWND hwnd = nullptr;  // null: closed by the user, waiting for the framework's close
    HFONT font = nullptr;
};

// Every box opened and not yet both shown and closed.
std::map<int, Box> g_boxes;
// Boxes the framework closed before they were shown.
std::set<int> g_closedEarly;

const wchar_t* IconFor(std::uint32_t type) {
    switch (type & kIconMask) {
        case kIconError:
            return IDI_ERROR;
        case kIconExclamation:
            return IDI_WARNING;
        case kIconInformation:
            return IDI_INFORMATION;
        default:
            return nullptr;
    }
}

int BoxIdOf(HWND hwnd) {
    for (const auto& [id, box] : g_boxes) {
        if (box.hwnd == hwnd) {
            return id;
        }
    }
    return 0;
}

void Release(Box& box) {
    if (box.hwnd != nullptr) {
        DestroyWindow(box.hwnd);
        box.hwnd = nullptr;
    }
    if (box.font != nullptr) {
        DeleteObject(box.font);
        box.font = nullptr;
    }
}

// The user closed it: gone from the screen at once, then the framework is told.
void Done(HWND hwnd) {
    const int id = BoxIdOf(hwnd);
    if (id == 0) {
        return;
    }
    Release(g_boxes[id]);
    BoxDone(id);
}

LRESULT CALLBACK BoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (ServeInSystemLoop(hwnd, message, wParam)) {
        return 0;
    }
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                Done(hwnd);
            }
            return 0;
        case WM_CLOSE:
            Done(hwnd);
            return 0;
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

HWND CreateChild(HWND box, const wchar_t* windowClass, const std::wstring& text, DWORD style,
                 const RECT& place, int id, HFONT font) {
    HWND child = CreateWindowExW(
        0, windowClass, text.c_str(), WS_CHILD | WS_VISIBLE | style, place.left, place.top,
        place.right - place.left, place.bottom - place.top, box,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return child;
}

HWND Create(const ShownBox& shown, HFONT font) {
    HWND owner = nullptr;
    if (Dialog* dialog = FindDialog(shown.owner)) {
        owner = dialog->hwnd;
    }
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
    HWND hwnd = CreateWindowExW(exStyle, kBoxClass, Wide(shown.caption).c_str(), style, 0, 0, 0, 0,
                                owner, nullptr, GetModuleHandleW(nullptr), nullptr);

    // Measured in the message font, with the system's margins in dialog units of it.
    const BaseUnits units = BaseUnitsOf(font);
    const int margin = MulDiv(7, units.charWidth, 4);
    const int gap = MulDiv(4, units.charHeight, 8);
    const HICON icon =
        IconFor(shown.type) != nullptr ? LoadIconW(nullptr, IconFor(shown.type)) : nullptr;
    const int iconSize = icon != nullptr ? GetSystemMetrics(SM_CXICON) : 0;
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    const std::wstring text = Wide(shown.text);
    RECT textRect{0, 0, (area.right - area.left) * 3 / 5, 0};
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, font);
    DrawTextW(screen, text.c_str(), static_cast<int>(text.size()), &textRect,
              DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    const int buttonWidth = MulDiv(50, units.charWidth, 4);
    const int buttonHeight = MulDiv(14, units.charHeight, 8);

    const int textLeft = margin + (icon != nullptr ? iconSize + margin : 0);
    const int bodyHeight = std::max<int>(iconSize, textRect.bottom);
    const int clientWidth =
        std::max<int>(textLeft + textRect.right + margin, buttonWidth + 2 * margin);
    const int clientHeight = margin + bodyHeight + 2 * gap + buttonHeight + margin;
    if (icon != nullptr) {
        HWND iconControl =
            CreateChild(hwnd, WC_STATICW, L"", SS_ICON,
                        {margin, margin, margin + iconSize, margin + iconSize}, -1, font);
        SendMessageW(iconControl, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    }
    const int textTop = margin + (bodyHeight - textRect.bottom) / 2;
    CreateChild(hwnd, WC_STATICW, text, SS_LEFT | SS_NOPREFIX,
                {textLeft, textTop, textLeft + textRect.right, textTop + textRect.bottom}, -1,
                font);
    const int buttonLeft = (clientWidth - buttonWidth) / 2;
    const int buttonTop = clientHeight - margin - buttonHeight;
    HWND ok = CreateChild(
        hwnd, WC_BUTTONW, L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP,
        {buttonLeft, buttonTop, buttonLeft + buttonWidth, buttonTop + buttonHeight}, IDOK, font);

    // Centred on its owner, or on the screen's work area.
    RECT frame{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    RECT over = area;
    if (owner != nullptr) {
        GetWindowRect(owner, &over);
    }
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    SetWindowPos(hwnd, nullptr, (over.left + over.right - width) / 2,
                 (over.top + over.bottom - height) / 2, width, height, SWP_NOZORDER);
    ShowWindow(hwnd, SW_SHOW);
    SetFocus(ok);
    if (icon != nullptr) {
        MessageBeep(shown.type & kIconMask);
    }
    return hwnd;
}

HFONT MessageFont() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    return CreateFontIndirectW(&metrics.lfMessageFont);
}

}  // namespace

void RegisterBoxClass(HINSTANCE instance) {
    WNDCLASSEXW boxClass{};
    boxClass.cbSize = sizeof boxClass;
    boxClass.lpfnWndProc = BoxProc;
    boxClass.hInstance = instance;
    boxClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    boxClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    boxClass.lpszClassName = kBoxClass;
    RegisterClassExW(&boxClass);
}

void OpenBox(const ShownBox& shown) {
    if (g_closedEarly.erase(shown.id) > 0) {
        return;
    }
    Box& box = g_boxes[shown.id];
    box.font = MessageFont();
    box.hwnd = Create(shown, box.font);
}

void CloseBox(int boxId) {
    auto it = g_boxes.find(boxId);
    if (it == g_boxes.end()) {
        g_closedEarly.insert(boxId);
        return;
    }
    Release(it->second);
    g_boxes.erase(it);
}

bool TakeBoxKey(HWND root, WPARAM) {
    if (BoxIdOf(root) == 0) {
        return false;
    }
    // An OK box ends the same way on Enter and on Esc.
    Done(root);
    return true;
}

void OrphanBoxes(HWND owner) {
    for (auto& [id, box] : g_boxes) {
        if (box.hwnd != nullptr && GetWindow(box.hwnd, GW_OWNER) == owner) {
            SetWindowLongPtrW(box.hwnd, GWLP_HWNDPARENT, 0);
        }
    }
}

}  // namespace win32
