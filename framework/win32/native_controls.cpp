// The controls of a dialog as USER32 controls: static text and picture, push and radio buttons,
// group boxes, edits, combo boxes and the progress bar. A control shows the framework's state
// and reports what the user does to it; it never changes that state on its own (a radio button
// does not check itself), and what the user typed ahead of the framework is never overwritten.
#include <algorithm>
#include <cstring>

#include "framework/win32/native_screen.h"

namespace win32 {
namespace {

// The framework's class names and style bits (Windows' own values).
constexpr char kStatic[] = "Static";
constexpr char kButton[] = "Button";
constexpr char kEdit[] = "Edit";
constexpr char kComboBox[] = "ComboBox";
constexpr char kProgress[] = "msctls_progress32";
constexpr DWORD kTypeMask = 0xF;
constexpr DWORD kComboTypeMask = 0x3;

// Set while a control is shown from the state: its notifications then are not the user's.
bool g_applying = false;

bool IsBitmap(const Control& c) {
    return c.windowClass == kStatic && (c.style & SS_TYPEMASK) == SS_BITMAP;
}

bool IsRadio(const Control& c) {
    return c.windowClass == kButton && (c.style & kTypeMask) == BS_AUTORADIOBUTTON;
}

bool IsEditableCombo(const Control& c) {
    return c.windowClass == kComboBox && (c.style & kComboTypeMask) != CBS_DROPDOWNLIST;
}

// A bitmap resource is a BMP file's bytes.
HBITMAP BitmapFrom(std::span<const unsigned char> bytes) {
    BITMAPFILEHEADER file{};
    if (bytes.size() < sizeof file + sizeof(BITMAPINFOHEADER)) {
        return nullptr;
    }
    std::memcpy(&file, bytes.data(), sizeof file);
    if (file.bfType != 0x4D42 || file.bfOffBits < sizeof file || file.bfOffBits >= bytes.size()) {
        return nullptr;
    }
    // Copied, so that the header is aligned for the system.
    std::vector<unsigned char> rest(bytes.begin() + sizeof file, bytes.end());
    const auto* info = reinterpret_cast<const BITMAPINFO*>(rest.data());
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap =
        CreateDIBitmap(screen, &info->bmiHeader, CBM_INIT,
                       rest.data() + (file.bfOffBits - sizeof file), info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

std::vector<std::wstring> ComboItems(HWND combo) {
    std::vector<std::wstring> items;
    const auto count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (WPARAM i = 0; i < static_cast<WPARAM>(std::max<LRESULT>(count, 0)); ++i) {
        std::wstring item(static_cast<std::size_t>(SendMessageW(combo, CB_GETLBTEXTLEN, i, 0)) + 1,
                          L'\0');
        item.resize(static_cast<std::size_t>(
            SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.data()))));
        items.push_back(std::move(item));
    }
    return items;
}

void ShowText(HWND hwnd, const std::string& text) {
    const std::wstring wide = Wide(text);
    if (WindowText(hwnd) != wide) {
        SetWindowTextW(hwnd, wide.c_str());
    }
}

void ApplyCombo(Control& control, const Shown& shown) {
    std::vector<std::wstring> items;
    for (const std::string& item : shown.items) {
        items.push_back(Wide(item));
    }
    const bool ahead = control.posted != shown.inputsTaken;
    const bool editable = IsEditableCombo(control);
    if (ComboItems(control.hwnd) != items) {
        // Refilling the list resets the edit part: what the user typed stays, and its cursor.
        const std::wstring typed = WindowText(control.hwnd);
        const LRESULT selection = SendMessageW(control.hwnd, CB_GETEDITSEL, 0, 0);
        SendMessageW(control.hwnd, CB_RESETCONTENT, 0, 0);
        for (const std::wstring& item : items) {
            SendMessageW(control.hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
        }
        if (ahead && editable) {
            SetWindowTextW(control.hwnd, typed.c_str());
            SendMessageW(control.hwnd, CB_SETEDITSEL, 0, selection);
        }
    }
    if (ahead) {
        return;
    }
    // An editable box whose text was typed has no selection; leaving the list's selection
    // alone keeps the text and its cursor where the user has them.
    const bool selects = !editable || shown.curSel >= 0;
    if (selects && SendMessageW(control.hwnd, CB_GETCURSEL, 0, 0) != shown.curSel) {
        SendMessageW(control.hwnd, CB_SETCURSEL, static_cast<WPARAM>(shown.curSel), 0);
    }
    if (editable) {
        ShowText(control.hwnd, shown.text);
    }
}

void ApplyEdit(Control& control, const Shown& shown) {
    const bool readOnly = (shown.style & ES_READONLY) != 0;
    if (((GetWindowLongW(control.hwnd, GWL_STYLE) & ES_READONLY) != 0) != readOnly) {
        SendMessageW(control.hwnd, EM_SETREADONLY, readOnly ? TRUE : FALSE, 0);
    }
    SendMessageW(control.hwnd, EM_LIMITTEXT, shown.typingLimit, 0);
    // Keys the framework has not taken in yet stay, and so do the cursor and the selection.
    if (control.posted == shown.inputsTaken) {
        // Text the program sets shows from its start, as the edit puts its cursor there.
        ShowText(control.hwnd, shown.text);
    }
}

void ApplyProgress(Control& control, const Shown& shown) {
    SendMessageW(control.hwnd, PBM_SETRANGE32, static_cast<WPARAM>(shown.rangeMin),
                 std::max(shown.rangeMin, shown.rangeMax));
    if (SendMessageW(control.hwnd, PBM_GETPOS, 0, 0) != shown.pos) {
        SendMessageW(control.hwnd, PBM_SETPOS, static_cast<WPARAM>(shown.pos), 0);
    }
    SendMessageW(control.hwnd, PBM_SETBARCOLOR, 0,
                 shown.barColored ? static_cast<LPARAM>(shown.barColor) : CLR_DEFAULT);
}

void ApplyToolTip(Dialog& dialog, Control& control, const std::string& text) {
    if (control.toolTip == text) {
        return;
    }
    control.toolTip = text;
    if (dialog.toolTips == nullptr) {
        dialog.toolTips = CreateWindowExW(
            0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
            CW_USEDEFAULT, CW_USEDEFAULT, dialog.hwnd, nullptr, GetModuleHandleW(nullptr), nullptr);
        SendMessageW(dialog.toolTips, TTM_SETMAXTIPWIDTH, 0, 600);
    }
    std::wstring wide = Wide(text);
    // The control and what lies inside it (a combo box's edit) show the tip.
    std::vector<HWND> parts{control.hwnd};
    for (HWND child = GetWindow(control.hwnd, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        parts.push_back(child);
    }
    for (HWND part : parts) {
        TOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = dialog.hwnd;
        tool.uId = reinterpret_cast<UINT_PTR>(part);
        tool.lpszText = wide.data();
        SendMessageW(dialog.toolTips, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        if (!text.empty()) {
            SendMessageW(dialog.toolTips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        }
    }
}

// Where the control goes: its template rectangle, but a picture has its bitmap's own size.
RECT PlaceOf(const Dialog& dialog, const Control& control, const Shown& shown) {
    RECT place = MapDialogUnits(shown.left, shown.top, shown.right, shown.bottom, dialog.units);
    BITMAP size{};
    if (control.bitmap != nullptr && GetObjectW(control.bitmap, sizeof size, &size) != 0) {
        place.right = place.left + size.bmWidth;
        place.bottom = place.top + size.bmHeight;
    }
    return place;
}

}  // namespace

HWND CreateControl(const Dialog& dialog, const Shown& shown) {
    // Shown, enabled and checked from the state once created.
    DWORD style = (shown.style & ~(WS_VISIBLE | WS_DISABLED)) | WS_CHILD;
    DWORD exStyle = shown.exStyle;
    const wchar_t* windowClass = nullptr;
    if (shown.windowClass == kStatic) {
        windowClass = WC_STATICW;
    } else if (shown.windowClass == kButton) {
        windowClass = WC_BUTTONW;
        if ((style & kTypeMask) == BS_AUTORADIOBUTTON) {
            // Checked by the framework, which also clears the rest of the group.
            style = (style & ~kTypeMask) | BS_RADIOBUTTON;
        }
    } else if (shown.windowClass == kEdit) {
        windowClass = WC_EDITW;
        // A dialog draws a bordered edit with the sunken client edge.
        if ((style & WS_BORDER) != 0) {
            style &= ~WS_BORDER;
            exStyle |= WS_EX_CLIENTEDGE;
        }
    } else if (shown.windowClass == kComboBox) {
        windowClass = WC_COMBOBOXW;
    } else if (shown.windowClass == kProgress) {
        windowClass = PROGRESS_CLASSW;
    } else {
        return nullptr;
    }
    const RECT place =
        MapDialogUnits(shown.left, shown.top, shown.right, shown.bottom, dialog.units);
    HWND hwnd =
        CreateWindowExW(exStyle, windowClass, Wide(shown.text).c_str(), style, place.left,
                        place.top, place.right - place.left, place.bottom - place.top, dialog.hwnd,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(shown.id)),
                        GetModuleHandleW(nullptr), nullptr);
    if (hwnd == nullptr) {
        return nullptr;
    }
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(dialog.font), FALSE);
    if (shown.windowClass == kButton && (style & kTypeMask) == BS_GROUPBOX) {
        // A frame is drawn before the controls it frames, so that its lines do not cut into a
        // label that touches them: siblings that overlap paint from the top of the z-order
        // down. Clicks go through it to what lies beneath.
        SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    if (shown.windowClass == kProgress) {
        // The bar's own colour is drawn by the classic control only, not by a visual style. A
        // class list that names no class turns the style off; Wine ignores an empty one.
        SetWindowTheme(hwnd, L" ", L" ");
    }
    return hwnd;
}

void ApplyControl(Dialog& dialog, Control& control, const Shown& shown) {
    g_applying = true;
    control.style = shown.style;
    if (IsBitmap(control) && control.bitmap == nullptr) {
        control.bitmap = BitmapFrom(ImageBytes(shown.imageId));
        SendMessageW(control.hwnd, STM_SETIMAGE, IMAGE_BITMAP,
                     reinterpret_cast<LPARAM>(control.bitmap));
    }
    const RECT place = PlaceOf(dialog, control, shown);
    RECT now{};
    GetWindowRect(control.hwnd, &now);
    MapWindowPoints(nullptr, dialog.hwnd, reinterpret_cast<POINT*>(&now), 2);
    if (!EqualRect(&now, &place)) {
        MoveWindow(control.hwnd, place.left, place.top, place.right - place.left,
                   place.bottom - place.top, TRUE);
    }
    if (control.windowClass == kEdit) {
        ApplyEdit(control, shown);
    } else if (control.windowClass == kComboBox) {
        ApplyCombo(control, shown);
    } else if (control.windowClass == kProgress) {
        ApplyProgress(control, shown);
    } else if (!IsBitmap(control)) {
        ShowText(control.hwnd, shown.text);
    }
    if (IsRadio(control)) {
        SendMessageW(control.hwnd, BM_SETCHECK, shown.checked ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    const bool enabled = (shown.style & WS_DISABLED) == 0;
    if ((IsWindowEnabled(control.hwnd) != FALSE) != enabled) {
        EnableWindow(control.hwnd, enabled ? TRUE : FALSE);
    }
    const bool visible = (shown.style & WS_VISIBLE) != 0;
    if (((GetWindowLongW(control.hwnd, GWL_STYLE) & WS_VISIBLE) != 0) != visible) {
        ShowWindow(control.hwnd, visible ? SW_SHOWNA : SW_HIDE);
    }
    ApplyToolTip(dialog, control, shown.toolTip);
    // Only the framework's moves of the focus are shown: an older state of the control that had
    // it must not pull the focus back from where the user has just put it.
    const bool gainsFocus = shown.focused && !control.focused;
    control.focused = shown.focused;
    if (shown.focused && GetActiveWindow() == dialog.hwnd) {
        FocusFromState(control.hwnd, gainsFocus);
    }
    g_applying = false;
}

void ControlNotified(Control& control, WORD code) {
    if (g_applying) {
        return;
    }
    if (control.windowClass == kButton && code == BN_CLICKED) {
        PostInput(Input::Click, control.key);
    } else if (control.windowClass == kEdit && code == EN_CHANGE) {
        ++control.posted;
        PostInput(Input::SetText, control.key, Utf8(WindowText(control.hwnd)));
    } else if (control.windowClass == kComboBox && code == CBN_EDITCHANGE) {
        ++control.posted;
        PostInput(Input::SetText, control.key, Utf8(WindowText(control.hwnd)));
    } else if (control.windowClass == kComboBox && code == CBN_SELCHANGE) {
        ++control.posted;
        PostInput(Input::SelectItem, control.key, {},
                  static_cast<int>(SendMessageW(control.hwnd, CB_GETCURSEL, 0, 0)));
    }
}

void DestroyControl(Control& control) {
    DestroyWindow(control.hwnd);
    if (control.bitmap != nullptr) {
        DeleteObject(control.bitmap);
    }
}

}  // namespace win32
